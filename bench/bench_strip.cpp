// The continuous strip: scrolling a long strip of tall pages at a steady speed,
// each frame's time and the process's peak memory.
#include "BenchCase.h"
#include "BenchImages.h"
#include "BenchWindow.h"

#include "platform/Canvas.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kPages = 300;
constexpr int kPageW = 800, kPageH = 12000;
// 2,000 pixels a second at 60 frames a second, for 20 seconds: across several
// page borders, each page decoded on the way.
constexpr int kFrameMs = 16;
constexpr int kStepPx = 2000 * kFrameMs / 1000;
constexpr int kFrames = 20 * 1000 / kFrameMs;

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

const BenchRegistrar strip(QStringLiteral("strip: 300 pages of 800x12000 JPEGs scrolled at 2,000 px/s"),
                           [](const QString &workDir) {
    const QString book = workDir + QStringLiteral("/strip");
    QDir().mkpath(book);
    const QString first = writePhotoLikeJpeg(book, kPageW, kPageH, QStringLiteral("p0001.jpg"));
    for (int i = 2; i <= kPages; ++i)
        QFile::copy(first, book + QStringLiteral("/p%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QStringLiteral("strip"), book});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        std::printf("  the strip run failed: %s\n", p.readAllStandardError().constData());
        return;
    }
    std::printf("%s", p.readAllStandardOutput().constData());
});

const BenchChild stripChild(QStringLiteral("strip"), [](const QStringList &args) {
    BenchWindow window;
    Frm_ImgViewer &w = *window.w;
    if (!w.Form_Load(args.value(0)))
        return 1;
    w.resize(1280, 1000);
    w.show();
    QElapsedTimer wait;
    wait.start();
    while (w.Img_Tmp.isNull() && wait.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // The strip at the page's own width: a surface 800 wide.
    w.PicDraw->resize(kPageW, 960);
    w.session.setContinuous(true);
    QCoreApplication::processEvents();
    std::vector<double> frames;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kFrames; ++i) {
        QElapsedTimer frame;
        frame.start();
        w.session.panBy({0, kStepPx});
        frames.push_back(double(frame.nsecsElapsed()) / 1e6);
        // The rest of the frame's time goes to the event loop, as on a screen.
        while (clock.elapsed() < qint64(i + 1) * kFrameMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    qint64 hwm = 0;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                hwm = line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    std::printf("  scrolled %d px over %d frames, to page %d of %d\n", kStepPx * kFrames, kFrames,
                w.session.step() + 1, w.session.pageCount());
    report(QStringLiteral("frame time median (goal <= 16 ms)"), percentile(frames, 0.5), QStringLiteral("ms"));
    report(QStringLiteral("frame time 95th percentile"), percentile(frames, 0.95), QStringLiteral("ms"));
    report(QStringLiteral("frame time worst"), percentile(frames, 1.0), QStringLiteral("ms"));
    report(QStringLiteral("decoded strip pages held"), w.composer.stripCache().held(), QString());
    report(QStringLiteral("peak resident size (goal <= 300 MB)"), double(hwm) / 1024.0, QStringLiteral("MB"));
    return 0;
});

} // namespace
