#include "core/IniRead.h"
#include "platform/ProgramPaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniReadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        paths = ProgramPaths::inFolder(tmp.path(), QStringLiteral("leafview"));
    }

    void write(const QString &file, const QByteArray &text)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir tmp;
    ProgramPaths paths;
};

TEST_F(IniReadTest, EmptyFileArgumentMeansTheSettingsFile)
{
    write(tmp.path() + QStringLiteral("/leafview.ini"), "[Main]\nLast Path=/srv/comics\n");
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), QStringLiteral("d")),
              QStringLiteral("/srv/comics"));
}

TEST_F(IniReadTest, NamedFileIsReadInstead)
{
    const QString other = tmp.path() + QStringLiteral("/other.ini");
    write(tmp.path() + QStringLiteral("/leafview.ini"), "[Main]\nLast Path=/from/settings\n");
    write(other, "[Main]\nLast Path=/from/other\n");
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), QString(), other),
              QStringLiteral("/from/other"));
}

TEST_F(IniReadTest, MissingFileSectionOrKeyGivesTheDefault)
{
    const QString def = QStringLiteral("/home/reader");
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), def), def);
    write(paths.settingsFile(), "[Other]\nLast Path=/x\n[Main]\nFirst Path=/y\n");
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), def), def);
    // A folder where the file should be is no settings file.
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), def, tmp.path()), def);
}

TEST_F(IniReadTest, PresentButEmptyValueIsEmpty)
{
    write(paths.settingsFile(), "[Main]\nLast Path=\n");
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), QStringLiteral("d")), QString());
}

TEST_F(IniReadTest, SectionAndKeyIgnoreCase)
{
    write(paths.settingsFile(), "[MAIN]\nlast path=/srv/책\n");
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), QStringLiteral("d")),
              QStringLiteral("/srv/책"));
}

TEST_F(IniReadTest, CommaValuesComeBackWhole)
{
    write(paths.settingsFile(), "[Main]\nLast Path=/srv/Comics, old\nQuoted=\"/srv/a,b\"\n");
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), QString()),
              QStringLiteral("/srv/Comics, old"));
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Quoted"), QString()), QStringLiteral("/srv/a,b"));
}

TEST_F(IniReadTest, LongValueIsCut)
{
    const QByteArray longPath = "/" + QByteArray(3000, 'x');
    write(paths.settingsFile(), "[Main]\nLast Path=" + longPath + "\n");
    const QString v = Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), QString());
    EXPECT_EQ(v.size(), kIniValueMax);
    EXPECT_EQ(v, QString::fromLatin1(longPath.left(kIniValueMax)));
}

} // namespace
