#include "RunLeafview.h"
#include "TestProgramFolder.h"

#include <QProcess>
#include <QTemporaryDir>

// One program folder per test process (ctest runs every test in a process of its own).
static QString programFolder()
{
    static QTemporaryDir dir;
    static const QString folder = dir.isValid() ? TestProgramFolder::populate(dir.path(), true) : QString();
    return folder;
}

QProcessEnvironment offscreenEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

ProcessResult runLeafview(const QStringList &args, int timeoutMs)
{
    return runProgram(programFolder() + QStringLiteral("/leafview"), args, offscreenEnvironment(), timeoutMs);
}

ProcessResult runProgram(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                         int timeoutMs)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProcessResult r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
