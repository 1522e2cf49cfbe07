#include "BenchWindow.h"

ProgramPaths benchPaths(const QString &dataDir)
{
    ProgramPaths paths = ProgramPaths::forRunningProgram();
    paths.dataFolder = dataDir;
    return paths;
}

BenchWindow::BenchWindow() : paths(benchPaths(data.path())), start(paths, prompts, controls), w(&start.window())
{
    w->anotherInstanceRunning = [] { return false; };
    w->endProcess = [] {};
}
