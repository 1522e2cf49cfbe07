#pragma once
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs the built program in a child process (offscreen), as a user or a script would.
struct ProcessResult
{
    int exitCode = -1; // -1 when it crashed or did not finish
    QString out;
    QString err;
};

// This process's environment with the program drawing offscreen: no display is needed.
QProcessEnvironment offscreenEnvironment();

// The program of a program folder of this test process's own.
ProcessResult runLeafview(const QStringList &args, int timeoutMs = 60000);
// `program` in `env`.
ProcessResult runProgram(const QString &program, const QStringList &args,
                         const QProcessEnvironment &env = offscreenEnvironment(), int timeoutMs = 60000);
