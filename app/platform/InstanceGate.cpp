#include "platform/InstanceGate.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

namespace {
constexpr int kHandOverMs = 3000;
constexpr int kMaxMessage = 64 * 1024;
const QByteArray kTaken = QByteArrayLiteral("ok\n");
} // namespace

InstanceGate::InstanceGate(const QString &dataFolder, QObject *parent)
    : QObject(parent), m_dataFolder(QDir(dataFolder).absolutePath())
{
}

InstanceGate::~InstanceGate()
{
    release();
}

QString InstanceGate::serverName(const QString &dataFolder)
{
    // Socket paths are short; the folder's hash keeps two installations apart.
    const QByteArray h =
        QCryptographicHash::hash(QDir(dataFolder).absolutePath().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("leafview-") + QString::fromLatin1(h.left(16));
}

bool InstanceGate::claim(const QString &path)
{
    if (!m_lock) {
        m_lock = std::make_unique<QLockFile>(m_dataFolder + QStringLiteral("/leafview.lock"));
        // Never stale by age: only a lock whose process is gone is taken over.
        m_lock->setStaleLockTime(0);
    }
    if (m_lock->isLocked() || m_lock->tryLock(0)) {
        listen();
        return true;
    }
    // Another start holds the lock: hand the path over and wait for its word.
    QLocalSocket socket;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kHandOverMs) {
        socket.connectToServer(serverName(m_dataFolder));
        if (socket.waitForConnected(250))
            break;
        // The holder may be starting and not listening yet.
        QThread::msleep(50);
    }
    if (socket.state() == QLocalSocket::ConnectedState) {
        socket.write(path.toUtf8() + '\n');
        socket.waitForBytesWritten(1000);
        while (socket.bytesAvailable() < kTaken.size() && waited.elapsed() < kHandOverMs * 2) {
            // Events run while waiting: the holder may be a window of this very
            // process (a test), whose socket answers only through them.
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!socket.waitForReadyRead(20) && socket.state() != QLocalSocket::ConnectedState &&
                socket.bytesAvailable() < kTaken.size())
                break;
        }
        if (socket.read(kTaken.size()) == kTaken)
            return false;
    }
    // A holder that never answers is wedged: this start runs the window instead
    // of leaving the reader with nothing.
    return true;
}

void InstanceGate::listen()
{
    if (m_server)
        return;
    const QString name = serverName(m_dataFolder);
    // A socket file left by a process that is gone would refuse the name.
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceGate::onConnection);
    m_server->listen(name);
}

void InstanceGate::onConnection()
{
    while (QLocalSocket *s = m_server ? m_server->nextPendingConnection() : nullptr) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            if (s->bytesAvailable() > kMaxMessage) {
                s->abort();
                return;
            }
            if (!s->canReadLine())
                return;
            const QString path = QString::fromUtf8(s->readLine()).chopped(1);
            s->write(kTaken);
            s->flush();
            s->disconnectFromServer();
            emit pathReceived(path);
        });
    }
}

void InstanceGate::release()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    if (m_lock && m_lock->isLocked())
        m_lock->unlock();
}
