// Loading a volume that comes out whole: a 60-page tar book of big scans, its
// first page and its whole volume, with the window's longest pause, against a
// bare `bsdtar -xf` of the book; in place (as the headless modes load) and on
// the loading worker (as the window does).
#include "BenchCase.h"
#include "BenchImages.h"
#include "BenchWindow.h"

#include "support/SolidArchiveWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kPages = 60;
constexpr int kRuns = 3;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

double msOf(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Sixty 3000 x 4300 scans, four distinct ones repeated, as one tar.
QString bigTarBook(const QString &workDir)
{
    std::vector<QByteArray> made;
    for (int i = 0; i < 4; ++i) {
        QFile f(writePhotoLikeJpeg(workDir, 3000, 4300, QStringLiteral("scan%1.jpg").arg(i), i + 3));
        f.open(QIODevice::ReadOnly);
        made.push_back(f.readAll());
    }
    std::vector<std::pair<QString, QByteArray>> pages;
    for (int i = 0; i < kPages; ++i)
        pages.push_back({QStringLiteral("%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')), made[std::size_t(i) % made.size()]});
    const QString path = workDir + QStringLiteral("/big.cbt");
    SolidArchiveWriter::write(path, SolidArchiveWriter::Format::Tar, pages);
    return path;
}

struct Figures
{
    double firstPage = -1, whole = -1;
    // The longest time the window's events waited, before the first page was
    // drawn (its own decode included) and after it.
    double pauseBefore = 0, pauseAfter = 0;
};

// The book named on the command line of a window of its own; times from the
// window being shown.
Figures load(const QString &book, bool background)
{
    BenchWindow window;
    Frm_ImgViewer &w = *window.w;
    w.session.setBackgroundLoading(background);
    Figures f;
    if (!w.Form_Load(book))
        return f;
    w.session.setOption(ReadingSession::BookEffect, false);
    w.resize(1280, 1000);
    // The longest time the event loop did not come round while the book loaded.
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    const auto tick = [&] {
        double &pause = f.firstPage < 0 ? f.pauseBefore : f.pauseAfter;
        pause = std::max(pause, msOf(sinceTick));
        sinceTick.restart();
    };
    QObject::connect(&ticker, &QTimer::timeout, tick);
    QElapsedTimer t;
    t.start();
    sinceTick.start();
    ticker.start();
    w.show();
    while (t.elapsed() < 120000 && (f.firstPage < 0 || w.session.loading() || w.Tmr_Load.Tag.isEmpty())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        if (f.firstPage < 0 && !w.Img_Tmp.isNull())
            f.firstPage = msOf(t);
        if (f.firstPage >= 0 && !w.session.loading() && !w.Tmr_Load.Tag.isEmpty())
            break;
    }
    f.whole = msOf(t);
    tick();
    if (QDir(window.paths.tmpZip()).entryList(QDir::Files).size() != kPages)
        std::printf("  (TmpZip does not hold the %d pages)\n", kPages);
    return f;
}

const BenchRegistrar bigTar(QStringLiteral("loading: 60-page tar of 3000x4300 JPEG scans, first page and whole volume"),
                            [](const QString &workDir) {
    const QString book = bigTarBook(workDir);
    std::printf("  book: %.1f MB\n", double(QFileInfo(book).size()) / (1 << 20));
    std::vector<double> bare;
    for (int i = 0; i < kRuns; ++i) {
        QTemporaryDir out;
        QElapsedTimer t;
        t.start();
        QProcess::execute(QStringLiteral("bsdtar"), {QStringLiteral("-xf"), book, QStringLiteral("-C"), out.path()});
        bare.push_back(msOf(t));
    }
    const double bareMs = median(bare);
    report(QStringLiteral("bare bsdtar -xf of the book"), bareMs, QStringLiteral("ms"));
    for (const bool background : {false, true}) {
        std::vector<double> first, whole, before, after;
        for (int i = 0; i < kRuns; ++i) {
            const Figures f = load(book, background);
            first.push_back(f.firstPage);
            whole.push_back(f.whole);
            before.push_back(f.pauseBefore);
            after.push_back(f.pauseAfter);
        }
        const QString how = background ? QStringLiteral("on the loading worker: ") : QStringLiteral("in place: ");
        report(how + QStringLiteral("window shown to first page"), median(first), QStringLiteral("ms"));
        report(how + QStringLiteral("window shown to whole volume out"), median(whole), QStringLiteral("ms"));
        report(how + QStringLiteral("longest pause of the window's events before the first page (goal <= 200)"),
               median(before), QStringLiteral("ms"));
        report(how + QStringLiteral("longest pause after it"), median(after), QStringLiteral("ms"));
        report(how + QStringLiteral("first page goal (0.25 x bare + 150 ms)"), 0.25 * bareMs + 150,
               QStringLiteral("ms"));
    }
});

} // namespace
