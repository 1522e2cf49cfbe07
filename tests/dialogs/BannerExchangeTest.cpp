#include "CaseName.h"
#include "WithCases.h"
#include "FileTree.h"
#include "TestImages.h"
#include "core/Program.h"
#include "dialogs/BannerView.h"
#include "dialogs/UsageExchange.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

QByteArray httpAnswer(const QByteArray &body, const QByteArray &status = "200 OK")
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// A web server on the loopback interface: answers each path from a table and
// records every request; a path without an answer gets silence.
class LoopbackServer
{
public:
    LoopbackServer()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
                    *buffer += s->readAll();
                    if (!buffer->contains("\r\n\r\n"))
                        return;
                    requests << *buffer;
                    const QByteArray target = buffer->split(' ').value(1);
                    const QString path = QUrl(QString::fromLatin1(target)).path();
                    buffer->clear();
                    const auto it = answers.find(path);
                    if (it == answers.end())
                        return;
                    s->write(it->second);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString host() const { return QStringLiteral("localhost:%1").arg(server.serverPort()); }

    QTcpServer server;
    std::map<QString, QByteArray> answers;
    QList<QByteArray> requests;
};

class Exchange : public ::testing::Test
{
protected:
    void SetUp() override
    {
        network.setProxy(QNetworkProxy::NoProxy);
        ASSERT_TRUE(server.server.isListening());
        exchange.setTimeout(400);
    }
    // Runs the exchange; true when it ended in the remote banner.
    bool run(const QString &host)
    {
        QSignalSpy local(&exchange, &UsageExchange::showLocalBanner);
        QSignalSpy remote(&exchange, &UsageExchange::showRemoteBanner);
        QSignalSpy version(&exchange, &UsageExchange::versionPublished);
        exchange.SockStart(host);
        EXPECT_TRUE(QTest::qWaitFor([&] { return local.size() + remote.size() > 0; }, 5000));
        QTest::qWait(50); // nothing more may follow
        EXPECT_EQ(local.size() + remote.size(), 1);
        published = version.isEmpty() ? QString() : version.first().first().toString();
        if (!remote.isEmpty()) {
            EXPECT_EQ(remote.first().first().toUrl().toString(),
                      QStringLiteral("http://") + host + QStringLiteral("/banner/img_leaf.html"));
        }
        return !remote.isEmpty();
    }

    QNetworkAccessManager network;
    LoopbackServer server;
    UsageExchange exchange{&network};
    QString published;
};

struct AnswerCase
{
    const char *name;
    QByteArray usage;   // the answer to the usage request; empty: silence
    QByteArray version; // the answer to the version fetch; empty: silence
    bool remote;
    const char *published;
};

using ExchangeAnswers = WithCases<Exchange, AnswerCase>;

TEST_P(ExchangeAnswers, FollowTheUsageRequestSentByteForByteAndEndInTheRightBanner)
{
    if (!GetParam().usage.isEmpty())
        server.answers[QStringLiteral("/connect.htm")] = GetParam().usage;
    if (!GetParam().version.isEmpty())
        server.answers[QStringLiteral("/version/img_leaf.php")] = GetParam().version;
    EXPECT_EQ(run(server.host()), GetParam().remote);
    EXPECT_EQ(published, QString::fromLatin1(GetParam().published));
    const QByteArray port = QByteArray::number(server.server.serverPort());
    ASSERT_FALSE(server.requests.isEmpty());
    EXPECT_EQ(server.requests.first(), "GET http://localhost:" + port + "/connect.htm HTTP/1.1\r\n"
                                       "Host:LOCALHOST:" + port + " \r\n"
                                       "Connection: close\r\n"
                                       "Accept: */*\r\n"
                                       "\r\n");
    // The version is fetched exactly when the usage request was answered with 200.
    const bool fetched = server.requests.size() == 2 && server.requests.last().startsWith("GET /version/img_leaf.php ");
    EXPECT_EQ(fetched, GetParam().remote);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ExchangeAnswers,
    ::testing::Values(AnswerCase{"Ok", httpAnswer("hello"), httpAnswer("leaf*9.1.0"), true, "9.1.0"},
                      AnswerCase{"VersionWithoutStar", httpAnswer(""), httpAnswer("9.1.0"), true, ""},
                      AnswerCase{"VersionNeverAnswers", httpAnswer(""), QByteArray(), true, ""},
                      AnswerCase{"NotFound", httpAnswer("", "404 Not Found"), QByteArray(), false, ""},
                      AnswerCase{"NoSpace", QByteArray("garbage"), QByteArray(), false, ""},
                      AnswerCase{"NeverAnswers", QByteArray(), QByteArray(), false, ""}),
    CaseName());

TEST_F(Exchange, RefusedConnectionEndsInTheLocalBanner)
{
    const QString host = server.host();
    server.server.close();
    EXPECT_FALSE(run(host));
}

TEST_F(Exchange, WithoutAHostNothingIsContacted)
{
    QSignalSpy local(&exchange, &UsageExchange::showLocalBanner);
    exchange.SockStart(QString());
    EXPECT_EQ(local.size(), 1);
    EXPECT_TRUE(server.requests.isEmpty());
    EXPECT_TRUE(UsageExchange::isNewer(QStringLiteral("1.10.0"), QStringLiteral("1.7.0")));
    EXPECT_FALSE(UsageExchange::isNewer(QStringLiteral("1.7.0"), QStringLiteral("1.7.0")));
    EXPECT_FALSE(UsageExchange::isNewer(QStringLiteral("soon"), QStringLiteral("1.7.0")));
}

TEST_F(Exchange, RemoteBannerAndItsImagesArriveWithoutBlocking)
{
    QTemporaryDir dir;
    const QString local = dir.path() + QStringLiteral("/banner.html");
    ASSERT_TRUE(writeFile(local, "<p>local words</p>"));
    server.answers[QStringLiteral("/banner/img_leaf.html")] = httpAnswer("<p>remote words</p><img src=\"dot.png\">");
    server.answers[QStringLiteral("/banner/dot.png")] = httpAnswer(TestImages::encoded(4, 4, Qt::green));

    BannerView view(&network, local);
    view.setTimeout(400);
    view.resize(160, 36);
    view.show();
    QSignalSpy shown(&view, &BannerView::bannerShown);
    view.showRemote(UsageExchange::bannerAddress(server.host()));
    EXPECT_FALSE(view.toPlainText().contains(QStringLiteral("remote")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.remoteImagesLoaded() == 1; }, 5000));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("remote words")));

    // A banner that cannot be fetched gives way to the local one.
    view.showRemote(QUrl(QStringLiteral("http://") + server.host() + QStringLiteral("/banner/missing.html")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.shownAddress().isLocalFile(); }, 5000));
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("local words")));
}

TEST_F(Exchange, TheBannerPaneFollowsTheHostSetting)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeFile(folder.path() + QStringLiteral("/banner.html"), "<p>local words</p>"));
    Program program(ProgramPaths::inFolder(folder.path()), nullptr);
    program.lang.load();
    server.answers[QStringLiteral("/connect.htm")] = httpAnswer("");
    server.answers[QStringLiteral("/version/img_leaf.php")] = httpAnswer("leaf*9.1.0");
    server.answers[QStringLiteral("/banner/img_leaf.html")] = httpAnswer("<p>remote words</p>");

    for (const bool configured : {false, true}) {
        if (configured) {
            ASSERT_TRUE(writeFile(program.paths.settingsFile(), "[Network]\nHost=" + server.host().toLatin1() + "\n"));
        }
        QWidget pane;
        const std::function<void()> start = InstallBanner(&pane, program);
        auto *view = pane.findChild<BannerView *>();
        ASSERT_NE(view, nullptr);
        start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->shownAddress().isEmpty() && !view->shownAddress().isLocalFile(); },
                                    configured ? 5000 : 300) == configured);
        EXPECT_TRUE(view->toPlainText().contains(configured ? QStringLiteral("remote words") : QStringLiteral("local words")));
        EXPECT_EQ(view->notice(), configured ? QStringLiteral("새 버전 9.1.0 이 나왔습니다") : QString());
        EXPECT_EQ(server.requests.size(), configured ? 3 : 0);
    }
}

} // namespace
