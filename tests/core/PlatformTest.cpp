#include "platform/LegacyCodePage.h"
#include "platform/SkinButton.h"
#include "platform/TerminationSignals.h"

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>

#include <gtest/gtest.h>

TEST(LegacyCodePage, Utf8FirstThenTheConfiguredCodePage)
{
    ASSERT_TRUE(LegacyCodePage::setName("CP949"));
    // "만화" in CP949 is not valid UTF-8.
    const QByteArray cp949("\xb8\xb8\xc8\xad", 4);
    EXPECT_EQ(LegacyCodePage::decodeName(cp949), QStringLiteral("만화"));
    EXPECT_EQ(LegacyCodePage::decodeName(QStringLiteral("만화").toUtf8()), QStringLiteral("만화"));
    EXPECT_EQ(LegacyCodePage::decodeName("plain.jpg"), QStringLiteral("plain.jpg"));

    // A Japanese archive read with CP932 configured.
    ASSERT_TRUE(LegacyCodePage::setName("CP932"));
    EXPECT_EQ(LegacyCodePage::decodeName(QByteArray("\x82\xa0", 2)), QStringLiteral("あ"));

    // An unknown name falls back to the Korean default and says so.
    EXPECT_FALSE(LegacyCodePage::setName("no-such-code-page"));
    EXPECT_EQ(LegacyCodePage::name(), QByteArray("CP949"));
    EXPECT_EQ(LegacyCodePage::decodeName(cp949), QStringLiteral("만화"));
}

TEST(TerminationSignals, SigtermBecomesAnOrdinaryCloseRequest)
{
    TerminationSignals termination;
    QSignalSpy spy(&termination, &TerminationSignals::requested);
    ASSERT_EQ(::raise(SIGTERM), 0); // the process survives: the request arrives as a signal
    EXPECT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.count(), 1);
}

// Skin files are read by the format their names give; one whose name lies is
// still read by its contents, and a missing one gives nothing.
TEST(SkinImage, ReadByItsNamedFormatOrItsContents)
{
    QTemporaryDir dir;
    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(qRgb(10, 200, 30));
    const struct
    {
        const char *name;
        const char *format; // nullptr: no file
    } cases[] = {{"b_next.bmp", "BMP"}, {"tip.gif", nullptr}, {"b_open.bmp", "PNG"}, {"bg_Top.png", "BMP"}};
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        if (c.format) {
            ASSERT_TRUE(img.save(path, c.format)) << c.name;
        }
        const QImage read = readSkinImage(path);
        const QPixmap shown = skinPixmap(path);
        EXPECT_EQ(read.size(), c.format ? img.size() : QSize(0, 0)) << c.name;
        EXPECT_EQ(shown.size(), read.size()) << c.name;
        if (c.format) {
            EXPECT_EQ(read.pixel(3, 2), img.pixel(3, 2)) << c.name;
        }
    }
}
