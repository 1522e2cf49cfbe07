#pragma once
// Benchmark cases register themselves; the benchmark program runs them in order
// of registration within each file, files in link order. Each case prints its own
// figures (one line per figure, "name: value unit"), measured in the same run as
// the bare cost it is compared with.
#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <map>
#include <QStringList>
#include <vector>

struct BenchCase
{
    QString name;
    std::function<void(const QString &workDir)> run;
};

std::vector<BenchCase> &benchCases();

struct BenchRegistrar
{
    BenchRegistrar(const QString &name, std::function<void(const QString &)> run)
    {
        benchCases().push_back({name, std::move(run)});
    }
};

// Median wall time in milliseconds of `repeats` runs of f (after one warm-up run).
double medianMs(int repeats, const std::function<void()> &f);
// Prints "label: value unit" to standard output.
void report(const QString &label, double value, const QString &unit);

// A child run of the benchmark program ("leafview_bench --child NAME ARGS..."):
// a fresh process, for figures that must be its own (start-up, peak memory). The
// run returns the process's exit status.
using BenchChildRun = std::function<int(const QStringList &args)>;
std::map<QString, BenchChildRun> &benchChildren();

struct BenchChild
{
    BenchChild(const QString &name, BenchChildRun run) { benchChildren()[name] = std::move(run); }
};

// Started as the process entered main.
const QElapsedTimer &processClock();
