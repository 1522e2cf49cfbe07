#pragma once
// The main window as a benchmark starts it: a run of the program on a data
// folder of its own, silent prompts, the controls of the build, the only
// instance and never ending the process.
#include "core/Program.h"
#include "platform/ControlHost.h"
#include "platform/Prompts.h"
#include "views/Frm_ImgViewer.h"
#include "views/ViewerStartup.h"

#include <QTemporaryDir>

// The running program's paths with its data folder moved to `dataDir`.
ProgramPaths benchPaths(const QString &dataDir);

struct BenchWindow
{
    BenchWindow();

    QTemporaryDir data;
    const ProgramPaths paths;
    SilentPrompts prompts;
    ControlHost controls;
    ViewerStartup start;
    Frm_ImgViewer *w;
};
