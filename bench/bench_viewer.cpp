// The reader's page path: Page_Draw and a page step, beside the bare decode cost.
#include "BenchArchives.h"
#include "BenchCase.h"
#include "BenchImages.h"
#include "BenchWindow.h"

#include "views/Frm_ImgViewer.h"
#include "views/ViewerStartup.h"
#include "core/PageGeometry.h"
#include "core/Program.h"
#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/Prompts.h"
#include "support/ZipWriter.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Viewer
{
    SilentPrompts prompts;
    ControlHost controls;
    ViewerStartup start;
    Program *app;
    Frm_ImgViewer *w;

    explicit Viewer(const QString &dataDir)
        : start(benchPaths(dataDir), prompts, controls), app(&start.program()), w(&start.window())
    {
        start.startQuietly();
        w->session.setOption(ReadingSession::BookEffect, false);
        w->PicDraw->resize(1280, 960);
    }
    void openFolder(const QString &folder)
    {
        app->IsArchive = false;
        app->OpenPath = folder;
        w->Open_Source();
    }
};

const BenchRegistrar pageDraw(QStringLiteral("viewer: Page_Draw of 3000x2000 JPEG pages on 1280x960"),
                              [](const QString &workDir) {
    const QString pages = workDir + QStringLiteral("/pages");
    QDir().mkpath(pages);
    const QString p1 = writePhotoLikeJpeg(pages, 3000, 2000, QStringLiteral("p1.jpg"), 1);
    const QString p2 = writePhotoLikeJpeg(pages, 3000, 2000, QStringLiteral("p2.jpg"), 2);
    QDir().mkpath(workDir + QStringLiteral("/data"));
    Viewer v(workDir + QStringLiteral("/data"));
    if (!v.w->ImgPicture1) {
        std::printf("  PhotoGrip control not available: nothing measured\n");
        return;
    }
    v.openFolder(pages);

    const QSize one = PageGeometry::drawnSize(3000, 2000, 1, false, 1280, 960);
    const double drawOne = medianMs(9, [&] { v.w->Page_Draw(0); });
    const double bareOne = medianMs(9, [&] { bareDecode(p1, one); });
    report(QStringLiteral("one page: Page_Draw"), drawOne, QStringLiteral("ms"));
    report(QStringLiteral("one page: header + scaled decode"), bareOne, QStringLiteral("ms"));
    report(QStringLiteral("one page: ratio (target <= 1.3)"), drawOne / bareOne, QString());

    v.w->session.setOption(ReadingSession::TwoPage, true);
    const QSize half = PageGeometry::drawnSize(3000, 2000, 2, false, 1280, 960);
    const double drawTwo = medianMs(9, [&] { v.w->Page_Draw(0); });
    const double bareTwo = medianMs(9, [&] {
        bareDecode(p1, half);
        bareDecode(p2, half);
    });
    report(QStringLiteral("two pages: Page_Draw"), drawTwo, QStringLiteral("ms"));
    report(QStringLiteral("two pages: 2 x (header + scaled decode)"), bareTwo, QStringLiteral("ms"));
    report(QStringLiteral("two pages: ratio (target <= 1.3)"), drawTwo / bareTwo, QString());
});

const BenchRegistrar nextPage(QStringLiteral("viewer: next-page step in a folder of 3000x2000 JPEG pages"),
                              [](const QString &workDir) {
    const QString pages = workDir + QStringLiteral("/pages");
    QDir().mkpath(pages);
    const int n = 12;
    for (int i = 0; i < n; ++i)
        writePhotoLikeJpeg(pages, 3000, 2000, QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')), i);
    QDir().mkpath(workDir + QStringLiteral("/data"));
    Viewer v(workDir + QStringLiteral("/data"));
    v.openFolder(pages);
    const double step = medianMs(n - 2, [&] {
        if (v.w->session.step() + 1 >= n)
            v.w->session.goToStep(0, TurnDirection::RightOver, false);
        v.w->Go_Next();
    });
    report(QStringLiteral("Go_Next without the book effect"), step, QStringLiteral("ms"));
    v.w->session.setOption(ReadingSession::BookEffect, true);
    v.w->session.goToStep(0, TurnDirection::RightOver, false);
    const double animated = medianMs(5, [&] {
        if (v.w->session.step() + 1 >= n)
            v.w->session.goToStep(0, TurnDirection::RightOver, false);
        v.w->Go_Next();
    });
    report(QStringLiteral("Go_Next with the book effect (animation included)"), animated, QStringLiteral("ms"));
});

// A turn to a page decoded ahead only copies it, on a dense screen as on any:
// the look-ahead runs while the reader reads (between the turns, not timed).
const BenchRegistrar denseTurn(QStringLiteral("viewer: next-page step at 1x and 2x device pixels (3000x2000 JPEG pages)"),
                               [](const QString &workDir) {
    const QString pages = workDir + QStringLiteral("/pages");
    QDir().mkpath(pages);
    const int n = 10;
    for (int i = 0; i < n; ++i)
        writePhotoLikeJpeg(pages, 3000, 2000, QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')), i);
    for (const double ratio : {1.0, 2.0}) {
        const QString data = workDir + QStringLiteral("/data%1").arg(ratio);
        QDir().mkpath(data);
        Viewer v(data);
        if (!v.w->ImgPicture1) {
            std::printf("  PhotoGrip control not available: nothing measured\n");
            return;
        }
        v.w->PicDraw->setRatio(ratio);
        v.w->PicDraw->resize(1280, 960);
        v.openFolder(pages);
        std::vector<double> turns;
        for (int k = 0; k < 2 * n; ++k) {
            if (v.w->session.step() + 1 >= n)
                v.w->session.goToStep(0, TurnDirection::RightOver, false);
            QCoreApplication::processEvents();
            v.w->composer.decodes().settle();
            QElapsedTimer t;
            t.start();
            v.w->Go_Next();
            turns.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(turns.begin(), turns.end());
        const double turn = turns[turns.size() / 2];
        const QRect logical(QPoint(0, 0), PageGeometry::drawnSize(3000, 2000, 1, false, 1280, 960));
        const QSize device = PageGeometry::toDevice(logical, ratio).size();
        const double bare = medianMs(7, [&] { bareDecode(pages + QStringLiteral("/p00.jpg"), device); });
        const QString at = QStringLiteral("%1x: ").arg(ratio);
        report(at + QStringLiteral("Go_Next without the book effect, page decoded ahead"), turn, QStringLiteral("ms"));
        report(at + QStringLiteral("bare reduced decode at %1x%2").arg(device.width()).arg(device.height()), bare,
               QStringLiteral("ms"));
        report(at + QStringLiteral("ratio (target <= 0.25)"), turn / bare, QString());
    }
});

const BenchRegistrar zipPage(QStringLiteral("viewer: drawing a page of a ZIP volume (extraction + Page_Draw)"),
                             [](const QString &workDir) {
    const QString src = workDir + QStringLiteral("/src");
    QDir().mkpath(src);
    const QString zipPath = workDir + QStringLiteral("/book.zip");
    {
        ZipWriter zip(zipPath);
        for (int i = 1; i <= 3; ++i) {
            QFile f(writePhotoLikeJpeg(src, 3000, 2000, QStringLiteral("p%1.jpg").arg(i), i));
            f.open(QIODevice::ReadOnly);
            zip.addFile(QStringLiteral("vol1/p%1.jpg").arg(i), f.readAll());
        }
        zip.close();
    }
    QDir().mkpath(workDir + QStringLiteral("/data"));
    Viewer v(workDir + QStringLiteral("/data"));
    v.app->IsArchive = true;
    v.app->ArchiveKind = ArchiveKind::Zip;
    v.app->OpenPath = zipPath;
    v.w->Open_Source();
    const QString extracted = v.app->paths.tmpZip() + QStringLiteral("/p1.jpg");
    const double draw = medianMs(9, [&] {
        QFile::remove(extracted); // every run extracts again
        v.w->Page_Draw(0);
    });
    const QSize one = PageGeometry::drawnSize(3000, 2000, 1, false, 1280, 960);
    const QString bareFile = workDir + QStringLiteral("/bare.jpg");
    const double bare = medianMs(9, [&] {
        QFile::remove(bareFile);
        bareExtract(zipPath, "vol1/p1.jpg", bareFile);
        bareDecode(bareFile, one);
    });
    report(QStringLiteral("extract + Page_Draw"), draw, QStringLiteral("ms"));
    report(QStringLiteral("bare libarchive extract + header + scaled decode"), bare, QStringLiteral("ms"));
    report(QStringLiteral("ratio"), draw / bare, QString());
});

} // namespace
