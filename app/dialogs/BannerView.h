#pragma once
#include <QHash>
#include <QSet>
#include <QTextBrowser>
#include <QUrl>
#include <functional>

class Program;
class QNetworkAccessManager;
class QNetworkReply;

// The banner area of the top bar: shows the local banner file or a page fetched
// from the web server. The page and its images arrive through the network
// without blocking the window; each fetch has a time limit, and a page that
// cannot be fetched gives way to the local banner.
class BannerView : public QTextBrowser
{
    Q_OBJECT

public:
    static constexpr qint64 kMaxFetchBytes = 2 * 1024 * 1024;

    BannerView(QNetworkAccessManager *network, const QString &localBanner, QWidget *parent = nullptr);

    void setTimeout(int ms) { m_timeoutMs = ms; }
    // The network access for remote banners; lent. Without one only the local banner shows.
    void setNetwork(QNetworkAccessManager *network) { m_network = network; }
    void showLocal();
    void showRemote(const QUrl &address);
    // One short line above the banner (a newer version, for one).
    void setNotice(const QString &text);
    QString notice() const { return m_notice; }
    // The address of what is shown: the local file or the remote page.
    QUrl shownAddress() const { return m_shown; }
    // Remote images that have arrived.
    int remoteImagesLoaded() const { return int(m_images.size()); }

    QVariant loadResource(int type, const QUrl &name) override;

signals:
    // The banner on show changed (tests wait for it).
    void bannerShown();

private:
    QNetworkReply *fetch(const QUrl &address);
    void render();

    QNetworkAccessManager *m_network;
    QString m_localBanner;
    int m_timeoutMs = 5000;
    QUrl m_shown;
    QString m_html;   // the remote page, kept to lay it out again when an image arrives
    QString m_notice;
    QHash<QUrl, QByteArray> m_images;
    QSet<QUrl> m_pending;
    quint64 m_generation = 0; // answers for an earlier page are dropped
};

// Puts a banner view into the top bar's banner pane and returns the usage
// request that fills it: the "Host" setting of section "Network" names the web
// server; without one the local banner shows and nothing touches the network.
std::function<void()> InstallBanner(QWidget *pane, Program &program);
