// leafview_bench [filter]: runs every benchmark case whose name contains filter.
#include "BenchCase.h"

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

std::vector<BenchCase> &benchCases()
{
    static std::vector<BenchCase> cases;
    return cases;
}

double medianMs(int repeats, const std::function<void()> &f)
{
    f();
    std::vector<double> t;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

void report(const QString &label, double value, const QString &unit)
{
    std::printf("  %s: %.3f %s\n", qUtf8Printable(label), value, qUtf8Printable(unit));
    std::fflush(stdout);
}

std::map<QString, BenchChildRun> &benchChildren()
{
    static std::map<QString, BenchChildRun> children;
    return children;
}

namespace {
QElapsedTimer g_processClock;
}

const QElapsedTimer &processClock()
{
    return g_processClock;
}

int main(int argc, char **argv)
{
    g_processClock.start();
    // As the program does at start-up: local-time conversions keep what they read.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--child") == 0) {
        QStringList args = QCoreApplication::arguments().mid(3);
        const auto it = benchChildren().find(QString::fromLocal8Bit(argv[2]));
        return it == benchChildren().end() ? 2 : it->second(args);
    }
    const QString filter = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    for (const BenchCase &c : benchCases()) {
        if (!filter.isEmpty() && !c.name.contains(filter))
            continue;
        QTemporaryDir dir;
        std::printf("%s\n", qUtf8Printable(c.name));
        c.run(dir.path());
    }
    return 0;
}
