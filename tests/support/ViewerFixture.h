#pragma once
#include "ScriptedPrompts.h"
#include "views/Frm_ImgViewer.h"
#include "views/ViewerStartup.h"
#include "core/Program.h"
#include "platform/ControlHost.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A main window on a temporary data folder, with the real control libraries of
// the build tree and scripted dialogs. Start-up is left to the test.
class ViewerFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Recreates program and window (as a new run of the program would).
    void newRun();
    // Runs start-up up to and including the initial open.
    void startUp(const QString &commandLine = QString());
    // Opens a folder source as the open command does.
    void openFolder(const QString &folder);
    QString dataPath(const QString &name) const { return data.path() + QLatin1Char('/') + name; }
    // A fresh folder under the temporary folder.
    QString makeFolder(const QString &name);

    QTemporaryDir data;  // the program's data folder (resume file, TmpZip, ...)
    QTemporaryDir books; // sources to open
    ScriptedPrompts prompts;
    ControlHost controls;
    std::unique_ptr<ViewerStartup> viewer;
    Program *app = nullptr;
    Frm_ImgViewer *w = nullptr;
    int endCalls = 0;
};
