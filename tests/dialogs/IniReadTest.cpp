#include "platform/IniRead.h"
#include "platform/ProgramPaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
TEST(IniRead, ReadsTheSettingsFileByDefaultAndGivesTheDefaultForAMissingFileOrKey)
{
    QTemporaryDir tmp;
    const ProgramPaths paths = ProgramPaths::inFolder(tmp.path(), QStringLiteral("leafview"));
    const auto read = [&](const QString &key, const QString &file = QString()) {
        return Ini_Read(paths, QStringLiteral("Main"), key, QStringLiteral("def"), file);
    };
    EXPECT_EQ(read(QStringLiteral("Last Path")), QStringLiteral("def"));
    QFile f(tmp.path() + QStringLiteral("/leafview.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[MAIN]\nlast path=/srv/책, old\n");
    f.close();
    EXPECT_EQ(read(QStringLiteral("Last Path")), QString::fromUtf8("/srv/책, old"));
    EXPECT_EQ(read(QStringLiteral("First Path")), QStringLiteral("def"));
    EXPECT_EQ(read(QStringLiteral("Last Path"), tmp.path() + QStringLiteral("/other.ini")), QStringLiteral("def"));
}
} // namespace
