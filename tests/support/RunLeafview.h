#pragma once
#include <QString>
#include <QStringList>

// Runs the built program in a child process (offscreen), as a user or a script would.
struct ProcessResult
{
    int exitCode = -1; // -1 when it crashed or did not finish
    QString out;
    QString err;
};

ProcessResult runLeafview(const QStringList &args, int timeoutMs = 60000);
