#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTcpSocket;

// The start-up exchange with the configured web server: one usage request over
// a plain socket; a 200 answer leads to the version fetch and the remote
// banner, anything else (or any failure, or silence past the timeout) to the
// local banner. No message is ever shown, and nothing blocks the window: every
// step is an event, and every wait has a limit. Free of widgets, so it runs
// against a loopback server in tests.
class UsageExchange : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDefaultTimeoutMs = 5000;

    // `network` carries the version fetch (and, in the banner view, the remote
    // banner and its images); lent.
    explicit UsageExchange(QNetworkAccessManager *network, QObject *parent = nullptr);
    ~UsageExchange() override;

    // How long each wait (connect and first answer; the version fetch) may take.
    void setTimeout(int ms) { m_timeoutMs = ms; }

    // `host` as configured, possibly with ":port". An empty host ends at once
    // in the local banner without touching the network.
    void SockStart(const QString &host);

    // The texts of the exchange for `host`.
    static QString usageAddress(const QString &host);
    static QString requestHost(const QString &usageAddress);
    static QByteArray requestBytes(const QString &host);
    static QUrl versionAddress(const QString &host);
    static QUrl bannerAddress(const QString &host);
    // The status code of the first portion of an answer; 0 when it has none.
    static int statusOf(const QByteArray &firstPortion);
    // The published version: the text after the first "*"; empty without one.
    static QString publishedVersion(const QByteArray &versionText);
    // True when `published` names a later version than `ours`.
    static bool isNewer(const QString &published, const QString &ours);

signals:
    void showLocalBanner();
    void showRemoteBanner(const QUrl &address);
    // The version the server publishes, when its answer carried one.
    void versionPublished(const QString &version);

private:
    void Winsock1_Connect();
    void Winsock1_DataArrival();
    void Winsock1_Error();
    void fetchVersion();
    void versionArrived();
    void finish(bool remote);

    QNetworkAccessManager *m_network;
    QTcpSocket *Winsock1 = nullptr;
    QNetworkReply *m_versionReply = nullptr;
    QTimer m_wait;
    QString m_host;
    int m_timeoutMs = kDefaultTimeoutMs;
    bool m_done = false;
};
