#include "FileTree.h"
#include "platform/IniRead.h"
#include "platform/ProgramPaths.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// Sections and keys in any case; a value with a comma is one text.
TEST(IniRead, ThePerUserFileOverridesTheProgramFoldersKeyByKeyAndIsTheOneWritten)
{
    QTemporaryDir tmp;
    ProgramPaths paths = ProgramPaths::inFolder(tmp.path() + QStringLiteral("/program"));
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Language"), QStringLiteral("def")), QStringLiteral("def"));
    EXPECT_FALSE(Ini_Write(paths, QStringLiteral("Main"), QStringLiteral("Language"), QStringLiteral("English")));
    paths.userConfigFolder = tmp.path() + QStringLiteral("/config/Leafview");
    const QByteArray programFile = "[MAIN]\nLanguage=English\nLast Path=/program\n[Archive]\nCodePage=CP949\n";
    ASSERT_TRUE(writeFile(paths.settingsFile(), programFile));
    ASSERT_TRUE(writeFile(paths.userSettingsFile(), "[main]\nlast path=/srv/책, old\n[Keys]\nNext=Right\n"));
    const struct { const char *section, *key, *value; } cases[] = {
        {"Main", "Language", "English"},   // the program folder's alone
        {"MAIN", "Last Path", "/srv/책, old"}, // both: the user's, however either spells it
        {"Keys", "Next", "Right"},         // the user's alone
        {"Network", "Host", "def"},        // neither
    };
    for (const auto &c : cases)
        EXPECT_EQ(Ini_Read(paths, c.section, c.key, QStringLiteral("def")), QString::fromUtf8(c.value)) << c.key;
    const QList<QPair<QString, QString>> main = {{"Language", "English"}, {"Last Path", QString::fromUtf8("/srv/책, old")}};
    EXPECT_EQ(Ini_ReadSection(paths, QStringLiteral("Main")), main);
    // A file named apart is read alone.
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Language"), QStringLiteral("def"), tmp.path() + QStringLiteral("/other.ini")),
              QStringLiteral("def"));

    ASSERT_TRUE(Ini_Write(paths, QStringLiteral("Main"), QStringLiteral("LAST PATH"), QStringLiteral("/new")));
    ASSERT_TRUE(Ini_Write(paths, QStringLiteral("Archive"), QStringLiteral("CodePage"), QStringLiteral("Shift_JIS")));
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Main"), QStringLiteral("Last Path"), {}), QStringLiteral("/new"));
    EXPECT_EQ(Ini_Read(paths, QStringLiteral("Archive"), QStringLiteral("CodePage"), {}), QStringLiteral("Shift_JIS"));
    EXPECT_EQ(Ini_ReadSection(paths, QStringLiteral("Main")).size(), 2) << "the user's key written over, not beside";
    EXPECT_EQ(readFile(paths.settingsFile()), programFile);
}

// A read-only installation: everything written goes into the per-user data
// folder, but TmpZip, thrown away at every volume switch, into the runtime folder.
TEST(ProgramPaths, AReadOnlyProgramFolderPutsTmpZipInTheRuntimeOrCacheFolder)
{
    QTemporaryDir tmp;
    const QString program = tmp.path() + QStringLiteral("/program");
    const QString runtime = tmp.path() + QStringLiteral("/run");
    QDir().mkpath(program);
    QDir().mkpath(runtime);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    // runtimeDir: XDG_RUNTIME_DIR.
    const struct {
        const char *what;
        bool programWritable;
        QString runtimeDir;
        bool runtimeWritable;
        QString dataFolder, tmpZip;
    } cases[] = {
        {"portable", true, runtime, true, program, program + "/TmpZip"},
        {"installed", false, runtime, true, data, runtime + "/Leafview/TmpZip"},
        {"no runtime folder", false, QString(), true, data, cache + "/TmpZip"},
        {"runtime folder not ours", false, runtime, false, data, cache + "/TmpZip"},
        {"relative runtime folder", false, QStringLiteral("run"), true, data, cache + "/TmpZip"},
    };
    for (const auto &c : cases) {
        qputenv("XDG_RUNTIME_DIR", c.runtimeDir.toLocal8Bit());
        const ProgramPaths p = ProgramPaths::forProgramFolder(program, QStringLiteral("leafview"), [&](const QString &f) {
            return f == program ? c.programWritable : c.runtimeWritable;
        });
        EXPECT_EQ(p.dataFolder, c.dataFolder) << c.what;
        EXPECT_EQ(p.exportFolderFile(), c.dataFolder + "/imgviewer.ini") << c.what;
        EXPECT_EQ(p.tmpZip(), c.tmpZip) << c.what;
        EXPECT_TRUE(p.userSettingsFile().endsWith("/Leafview/leafview.ini")) << c.what;
        // A headless run or a worker writes into its own folder, TmpZip included.
        EXPECT_EQ(p.writingInto(tmp.path()).tmpZip(), tmp.path() + "/TmpZip") << c.what;
    }
    if (hadRuntime)
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
    else
        qunsetenv("XDG_RUNTIME_DIR");
}
} // namespace
