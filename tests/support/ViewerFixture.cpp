#include "ViewerFixture.h"
#include "TestProgramFolder.h"

#include <QDir>

void ViewerFixture::SetUp()
{
    ASSERT_TRUE(data.isValid());
    ASSERT_TRUE(books.isValid());
    newRun();
}

void ViewerFixture::TearDown()
{
    viewer.reset();
}

void ViewerFixture::newRun()
{
    viewer.reset();
    ProgramPaths paths;
    paths.programFolder = TestProgramFolder::populate(data.path() + QStringLiteral("/program"));
    paths.dataFolder = data.path();
    paths.userConfigFolder = data.path() + QStringLiteral("/config");
    paths.executableName = QStringLiteral("leafview");
    viewer = std::make_unique<ViewerStartup>(paths, prompts, controls);
    app = &viewer->program();
    w = &viewer->window();
    w->anotherInstanceRunning = [] { return false; };
    w->endProcess = [this] { ++endCalls; };
    w->resize(1024, 768);
}

void ViewerFixture::startUp(const QString &commandLine)
{
    ASSERT_TRUE(w->Form_Load(commandLine));
    w->Tmr_Load_Timer();
}

void ViewerFixture::openFolder(const QString &folder)
{
    app->IsArchive = false;
    app->OpenPath = folder;
    w->Open_Source();
}

QString ViewerFixture::makeFolder(const QString &name)
{
    const QString p = books.path() + QLatin1Char('/') + name;
    QDir().mkpath(p);
    return p;
}
