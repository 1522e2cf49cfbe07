#include "platform/LegacyCodePage.h"
#include "platform/TerminationSignals.h"

#include <QSignalSpy>
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
