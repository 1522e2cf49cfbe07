#pragma once
// A reading session over a program folder of its own, driven without any window.
#include "CaseName.h"
#include "ScriptedPrompts.h"
#include "TestImages.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "core/SessionLifecycle.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class SessionTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Program app{ProgramPaths::inFolder(dir.path() + "/bin"), &prompts};
    ReadingSession s{app};

    void SetUp() override { app.lang.load(); }
    // The folder `book` becomes the source; `open` also opens it, as the open command does.
    void setFolder(const QString &book)
    {
        app.OpenPath = book;
        app.IsArchive = false;
    }
    void open(const QString &book)
    {
        setFolder(book);
        s.Open_Source();
    }
};
