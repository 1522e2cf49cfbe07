#include "RunLeafview.h"

#include <QProcess>
#include <QProcessEnvironment>

ProcessResult runLeafview(const QStringList &args, int timeoutMs)
{
    QProcess p;
    p.setProgram(QStringLiteral(LEAFVIEW_BUILD_BIN "/leafview"));
    p.setArguments(args);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start();
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
