#include "dialogs/BannerView.h"

#include "platform/IniRead.h"
#include "core/Language.h"
#include "core/Program.h"
#include "dialogs/UsageExchange.h"

#include <QDesktopServices>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QVBoxLayout>

BannerView::BannerView(QNetworkAccessManager *network, const QString &localBanner, QWidget *parent)
    : QTextBrowser(parent), m_network(network), m_localBanner(localBanner)
{
    setObjectName(QStringLiteral("WebBrowser1"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A link in the banner opens in the desktop's browser, never inside the bar.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
        const QUrl target = m_shown.resolved(link);
        if (target.scheme() == QLatin1String("http") || target.scheme() == QLatin1String("https"))
            QDesktopServices::openUrl(target);
    });
    setFocusPolicy(Qt::NoFocus);
}

void BannerView::showLocal()
{
    ++m_generation;
    m_html.clear();
    m_shown = QUrl::fromLocalFile(m_localBanner);
    QFile page(m_localBanner);
    // A missing banner file leaves the area empty.
    if (page.open(QIODevice::ReadOnly))
        m_html = QString::fromUtf8(page.read(kMaxFetchBytes));
    m_images.clear();
    m_pending.clear();
    render();
    emit bannerShown();
}

void BannerView::showRemote(const QUrl &address)
{
    const quint64 generation = ++m_generation;
    QNetworkReply *reply = fetch(address);
    if (!reply) {
        showLocal();
        return;
    }
    connect(reply, &QNetworkReply::finished, this, [this, reply, address, generation] {
        reply->deleteLater();
        if (generation != m_generation)
            return;
        if (reply->error() != QNetworkReply::NoError || reply->bytesAvailable() > kMaxFetchBytes) {
            showLocal();
            return;
        }
        m_html = QString::fromUtf8(reply->readAll());
        m_images.clear();
        m_pending.clear();
        m_shown = address;
        render();
        emit bannerShown();
    });
}

void BannerView::setNotice(const QString &text)
{
    m_notice = text;
    render();
}

QNetworkReply *BannerView::fetch(const QUrl &address)
{
    if (!m_network || !address.isValid())
        return nullptr;
    QNetworkRequest request(address);
    request.setTransferTimeout(m_timeoutMs);
    QNetworkReply *reply = m_network->get(request);
    // A page that keeps streaming is cut off.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxFetchBytes)
            reply->abort();
    });
    return reply;
}

void BannerView::render()
{
    const QString line = m_notice.isEmpty()
                             ? QString()
                             : QStringLiteral("<div style=\"font-size:8pt; font-weight:bold; color:#86d17f;\">") +
                                   m_notice.toHtmlEscaped() + QStringLiteral("</div>");
    document()->setBaseUrl(m_shown);
    setHtml(line + m_html);
}

QVariant BannerView::loadResource(int type, const QUrl &name)
{
    const QUrl address = m_shown.resolved(name);
    const bool remote = address.scheme() == QLatin1String("http") || address.scheme() == QLatin1String("https");
    if (!remote)
        return QTextBrowser::loadResource(type, address);
    if (type != QTextDocument::ImageResource)
        return QVariant();
    if (const auto it = m_images.constFind(address); it != m_images.constEnd())
        return *it;
    if (m_pending.contains(address))
        return QVariant();
    // The image arrives later; the page is laid out again then.
    QNetworkReply *reply = fetch(address);
    if (!reply)
        return QVariant();
    m_pending.insert(address);
    const quint64 generation = m_generation;
    connect(reply, &QNetworkReply::finished, this, [this, reply, address, generation] {
        reply->deleteLater();
        if (generation != m_generation)
            return;
        if (reply->error() == QNetworkReply::NoError && reply->bytesAvailable() <= kMaxFetchBytes) {
            m_images.insert(address, reply->readAll());
            render();
        }
    });
    return QVariant();
}

std::function<void()> InstallBanner(QWidget *pane, Program &program)
{
    auto *view = new BannerView(nullptr, program.paths.programFolder + QStringLiteral("/banner.html"), pane);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    QPointer<BannerView> guarded(view);
    Program *app = &program;
    return [guarded, app] {
        if (!guarded)
            return;
        const QString host =
            Ini_Read(app->paths, QStringLiteral("Network"), QStringLiteral("Host"), QString()).trimmed();
        if (host.isEmpty()) {
            // Not even a network object is made: nothing may touch the network.
            guarded->showLocal();
            return;
        }
        auto *network = new QNetworkAccessManager(guarded);
        guarded->setNetwork(network);
        auto *exchange = new UsageExchange(network, guarded);
        QObject::connect(exchange, &UsageExchange::showLocalBanner, guarded, &BannerView::showLocal);
        QObject::connect(exchange, &UsageExchange::showRemoteBanner, guarded, &BannerView::showRemote);
        BannerView *view = guarded;
        QObject::connect(exchange, &UsageExchange::versionPublished, view, [view, app](const QString &version) {
            if (UsageExchange::isNewer(version, Language::versionText()))
                view->setNotice(app->lang.Msg_NewVersion.arg(version));
        });
        exchange->SockStart(host);
    };
}
