#include "FileTree.h"
#include "platform/IniRead.h"
#include "platform/ProgramPaths.h"

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
    ASSERT_TRUE(writeFile(tmp.path() + QStringLiteral("/leafview.ini"), "[MAIN]\nlast path=/srv/책, old\n"));
    EXPECT_EQ(read(QStringLiteral("Last Path")), QString::fromUtf8("/srv/책, old"));
    EXPECT_EQ(read(QStringLiteral("First Path")), QStringLiteral("def"));
    EXPECT_EQ(read(QStringLiteral("Last Path"), tmp.path() + QStringLiteral("/other.ini")), QStringLiteral("def"));
}
} // namespace
