#include "dialogs/UsageExchange.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QVersionNumber>

namespace {
// The version text is a short line; anything longer is not one.
constexpr qint64 kVersionTextMax = 4096;
} // namespace

UsageExchange::UsageExchange(QNetworkAccessManager *network, QObject *parent) : QObject(parent), m_network(network)
{
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, [this] {
        // Silence counts as a failure, whichever step was waiting.
        if (m_versionReply) {
            m_versionReply->abort();
            return;
        }
        Winsock1_Error();
    });
}

UsageExchange::~UsageExchange()
{
    if (m_versionReply) {
        m_versionReply->disconnect(this);
        m_versionReply->abort();
        m_versionReply->deleteLater();
    }
}

QString UsageExchange::usageAddress(const QString &host)
{
    return QStringLiteral("http://") + host + QStringLiteral("/connect.htm");
}

QString UsageExchange::requestHost(const QString &usageAddress)
{
    QString h = usageAddress.toUpper();
    h.remove(QStringLiteral("HTTP://"));
    const qsizetype slash = h.indexOf(QLatin1Char('/'));
    return slash < 0 ? h : h.left(slash);
}

QByteArray UsageExchange::requestBytes(const QString &host)
{
    const QString address = usageAddress(host);
    // Single-byte characters: a host name is ASCII; anything else is sent as Latin-1.
    return QStringLiteral("GET ").toLatin1() + address.toLatin1() + " HTTP/1.1\r\n" + "Host:" +
           requestHost(address).toLatin1() + " \r\n" + "Connection: close\r\n" + "Accept: */*\r\n" + "\r\n";
}

QUrl UsageExchange::versionAddress(const QString &host)
{
    return QUrl(QStringLiteral("http://") + host + QStringLiteral("/version/img_leaf.php"));
}

QUrl UsageExchange::bannerAddress(const QString &host)
{
    return QUrl(QStringLiteral("http://") + host + QStringLiteral("/banner/img_leaf.html"));
}

int UsageExchange::statusOf(const QByteArray &firstPortion)
{
    const QList<QByteArray> pieces = firstPortion.split(' ');
    if (pieces.size() < 2)
        return 0;
    bool ok = false;
    const int code = pieces.at(1).trimmed().toInt(&ok);
    return ok ? code : 0;
}

QString UsageExchange::publishedVersion(const QByteArray &versionText)
{
    const QList<QByteArray> pieces = versionText.split('*');
    if (pieces.size() < 2)
        return QString();
    return QString::fromLatin1(pieces.at(1)).trimmed();
}

bool UsageExchange::isNewer(const QString &published, const QString &ours)
{
    const QVersionNumber p = QVersionNumber::fromString(published);
    return !p.isNull() && QVersionNumber::compare(p, QVersionNumber::fromString(ours)) > 0;
}

void UsageExchange::SockStart(const QString &host)
{
    m_host = host.trimmed();
    m_done = false;
    if (m_host.isEmpty()) {
        finish(false);
        return;
    }
    const QUrl url(usageAddress(m_host));
    if (!url.isValid() || url.host().isEmpty()) {
        finish(false);
        return;
    }
    delete Winsock1;
    Winsock1 = new QTcpSocket(this);
    connect(Winsock1, &QTcpSocket::connected, this, &UsageExchange::Winsock1_Connect);
    connect(Winsock1, &QTcpSocket::readyRead, this, &UsageExchange::Winsock1_DataArrival);
    connect(Winsock1, &QTcpSocket::errorOccurred, this, &UsageExchange::Winsock1_Error);
    m_wait.start(m_timeoutMs);
    Winsock1->connectToHost(url.host(), quint16(url.port(80)));
}

void UsageExchange::Winsock1_Connect()
{
    Winsock1->write(requestBytes(m_host));
}

void UsageExchange::Winsock1_DataArrival()
{
    if (m_done || !Winsock1)
        return;
    // Only the first portion of the answer is examined; the socket closes at once.
    const QByteArray first = Winsock1->readAll();
    Winsock1->disconnect(this);
    Winsock1->abort();
    Winsock1->deleteLater();
    Winsock1 = nullptr;
    m_wait.stop();
    if (statusOf(first) == 200)
        fetchVersion();
    else
        finish(false);
}

void UsageExchange::Winsock1_Error()
{
    if (m_done)
        return;
    if (Winsock1) {
        Winsock1->disconnect(this);
        Winsock1->abort();
        Winsock1->deleteLater();
        Winsock1 = nullptr;
    }
    finish(false);
}

void UsageExchange::fetchVersion()
{
    if (!m_network) {
        finish(true);
        return;
    }
    QNetworkRequest request(versionAddress(m_host));
    request.setTransferTimeout(m_timeoutMs);
    m_versionReply = m_network->get(request);
    connect(m_versionReply, &QNetworkReply::finished, this, &UsageExchange::versionArrived);
    m_wait.start(m_timeoutMs);
}

void UsageExchange::versionArrived()
{
    QNetworkReply *reply = m_versionReply;
    m_versionReply = nullptr;
    m_wait.stop();
    reply->deleteLater();
    // Whatever the version fetch brought, the server answered the usage request:
    // the remote banner follows. A text without "*" simply carries no version.
    if (reply->error() == QNetworkReply::NoError) {
        const QString version = publishedVersion(reply->read(kVersionTextMax));
        if (!version.isEmpty())
            emit versionPublished(version);
    }
    finish(true);
}

void UsageExchange::finish(bool remote)
{
    if (m_done)
        return;
    m_done = true;
    m_wait.stop();
    if (remote)
        emit showRemoteBanner(bannerAddress(m_host));
    else
        emit showLocalBanner();
}
