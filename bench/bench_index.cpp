// The thumbnail index of a big volume, beside the bare cost of one reduced-size decode.
#include "BenchCase.h"
#include "BenchImages.h"
#include "BenchWindow.h"

#include "core/IndexGeometry.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "platform/ControlHost.h"
#include "platform/Prompts.h"
#include "support/ZipWriter.h"
#include "views/Frm_ImgViewer.h"
#include "views/IndexPane.h"
#include "views/ViewerStartup.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace {

constexpr int kPages = 200;
constexpr int kW = 1800;
constexpr int kH = 2700;

struct IndexViewer
{
    SilentPrompts prompts;
    ControlHost controls;
    ViewerStartup start;
    Program &app;
    Frm_ImgViewer &w;

    explicit IndexViewer(const QString &dataDir)
        : start(benchPaths(dataDir), prompts, controls), app(start.program()), w(start.window())
    {
        start.startQuietly();
        w.resize(1280, 960);
    }
    // Opens the pane and builds the index at once; returns the build's wall time.
    double build()
    {
        IndexPane &pane = *w.Pic_IndexScreen;
        if (app.IsIndexShow)
            pane.cmdunload_MouseDown();
        pane.open();
        w.Tmr_Index.timer.stop();
        QEventLoop loop;
        QObject::connect(&pane, &IndexPane::built, &loop, &QEventLoop::quit);
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        pane.Tmr_Index_Timer();
        if (pane.building())
            loop.exec();
        return double(t.nsecsElapsed()) / 1e6;
    }
};

// What one thumbnail cannot avoid: its header and a decode at the thumbnail's size.
double bareDecodeMs(const QString &file)
{
    const QSize size = IndexGeometry::thumbnailSize(kW, kH);
    return medianMs(15, [&] { bareDecode(file, size); });
}

void reportBuild(const QString &what, double totalMs, double bareMs, int workers, double extractionMs)
{
    const double bound = 1.3 * (kPages * bareMs / workers) + extractionMs;
    report(what + QStringLiteral(": index build per page"), totalMs / kPages, QStringLiteral("ms"));
    report(what + QStringLiteral(": index build total"), totalMs, QStringLiteral("ms"));
    report(what + QStringLiteral(": goal (1.3 x pages x bare / workers + extraction)"), bound, QStringLiteral("ms"));
    report(what + QStringLiteral(": total / goal"), totalMs / bound, QStringLiteral(""));
}

const BenchRegistrar indexBuild(QStringLiteral("index: thumbnails of 200 pages of 1800x2700 JPEG"), [](const QString &work) {
    // A few distinct scans, copied under every page name.
    const QString pages = work + QStringLiteral("/pages");
    QDir().mkpath(pages);
    QStringList sources;
    for (int s = 0; s < 4; ++s)
        sources << writePhotoLikeJpeg(work, kW, kH, QStringLiteral("scan%1.jpg").arg(s), s + 1);
    for (int i = 0; i < kPages; ++i)
        QFile::copy(sources[i % 4], pages + QStringLiteral("/p%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
    const QString zip = work + QStringLiteral("/book.zip");
    {
        ZipWriter z(zip);
        for (int i = 0; i < kPages; ++i) {
            QFile f(sources[i % 4]);
            f.open(QIODevice::ReadOnly);
            z.addFile(QStringLiteral("p%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')), f.readAll(), true);
        }
        z.close();
    }
    std::printf("  page file: %.0f KB\n", double(QFileInfo(sources[0]).size()) / 1024.0);

    QDir().mkpath(work + QStringLiteral("/data"));
    IndexViewer v(work + QStringLiteral("/data"));
    if (!v.w.ImgPicture2) {
        std::printf("  PhotoGrip control not available: nothing measured\n");
        return;
    }
    const int workers = v.w.Pic_IndexScreen->workerCount();
    const double bare = bareDecodeMs(sources[0]);
    report(QStringLiteral("bare reduced-size decode (header + decode at 47x71)"), bare, QStringLiteral("ms"));
    report(QStringLiteral("worker threads"), workers, QString());

    // From a folder: nothing to extract.
    v.app.IsArchive = false;
    v.app.OpenPath = pages;
    v.w.Open_Source();
    v.build(); // warm the file cache
    reportBuild(QStringLiteral("folder"), v.build(), bare, workers, 0);

    // From a stored ZIP: extraction alone, then a build that extracts as it goes
    // (reopening the volume empties TmpZip each time).
    v.app.IsArchive = true;
    v.app.ArchiveKind = ArchiveKind::Zip;
    v.app.OpenPath = zip;
    v.w.Open_Source();
    if (v.app.IsIndexShow)
        v.w.Pic_IndexScreen->cmdunload_MouseDown();
    v.w.selectVolume(0);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < v.w.session.pageCount(); ++i)
        v.w.session.extractEntry(i);
    const double extraction = double(t.nsecsElapsed()) / 1e6;
    report(QStringLiteral("zip: extraction alone per page"), extraction / kPages, QStringLiteral("ms"));
    v.w.selectVolume(0);
    reportBuild(QStringLiteral("zip, extracting"), v.build(), bare, workers, extraction);
    // A second build finds every page in TmpZip already.
    reportBuild(QStringLiteral("zip, pages already extracted"), v.build(), bare, workers, 0);
});

} // namespace
