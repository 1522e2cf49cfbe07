#pragma once
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// One running window per data folder, as a second start used to find out by the
// platform's instance test. The first start holds a lock file there and listens
// on a local socket; a later start hands its path (or nothing) to the running
// window through that socket and ends. A lock left by a process that is gone is
// taken over; a holder that does not answer is not waited for.
class InstanceGate : public QObject
{
    Q_OBJECT
public:
    explicit InstanceGate(const QString &dataFolder, QObject *parent = nullptr);
    ~InstanceGate() override;

    // True when this process is to run the window. False when a running window
    // took `path` (empty: it only comes to the front): this start should end.
    bool claim(const QString &path);
    // Gives the lock and the socket up, so a start after this never reaches a
    // window that is shutting down.
    void release();

    // The socket name used for a data folder.
    static QString serverName(const QString &dataFolder);

signals:
    // A later start's path; empty when it named none.
    void pathReceived(const QString &path);

private:
    void listen();
    void onConnection();

    QString m_dataFolder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
