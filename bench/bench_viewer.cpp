// The reader's page path: Page_Draw and a page step, beside the bare decode cost.
#include "BenchCase.h"
#include "BenchImages.h"

#include "core/Frm_ImgViewer.h"
#include "core/PageGeometry.h"
#include "core/Program.h"
#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QImageReader>
#include <memory>

namespace {

struct Viewer
{
    SilentPrompts prompts;
    ControlHost controls;
    std::unique_ptr<Program> app;
    std::unique_ptr<Frm_ImgViewer> w;

    explicit Viewer(const QString &dataDir)
    {
        ProgramPaths paths = ProgramPaths::forRunningProgram();
        paths.dataFolder = dataDir;
        app = std::make_unique<Program>(paths, &prompts);
        controls.registerControls(paths.programFolder, app->ErrorLog);
        app->controls = &controls;
        w = std::make_unique<Frm_ImgViewer>(*app);
        w->Lang_Load();
        QDir().mkpath(app->paths.tmpZip());
        w->createReaders();
        w->chkeffect->setChecked(false);
        w->PicDraw->resize(1280, 960);
    }
    void openFolder(const QString &folder)
    {
        app->IsArchive = false;
        app->OpenPath = folder;
        w->Open_Source();
    }
};

// What drawing a page cannot avoid: reading its header and decoding it at the size shown.
void bareDecode(const QString &file, QSize shown)
{
    QImageReader header(file);
    (void)header.size();
    QImageReader reader(file);
    reader.setScaledSize(shown);
    QImage img;
    reader.read(&img);
}

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
    const double drawOne = medianMs(9, [&] { v.w->Page_Draw(0, 0); });
    const double bareOne = medianMs(9, [&] { bareDecode(p1, one); });
    report(QStringLiteral("one page: Page_Draw"), drawOne, QStringLiteral("ms"));
    report(QStringLiteral("one page: header + scaled decode"), bareOne, QStringLiteral("ms"));
    report(QStringLiteral("one page: ratio (target <= 1.3)"), drawOne / bareOne, QString());

    v.w->chk_view->setChecked(true);
    const QSize half = PageGeometry::drawnSize(3000, 2000, 2, false, 1280, 960);
    const double drawTwo = medianMs(9, [&] { v.w->Page_Draw(0, 0); });
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
        if (v.w->Page_Index + 1 >= n)
            v.w->Page_Index = 0;
        v.w->Go_Next();
    });
    report(QStringLiteral("Go_Next without the book effect"), step, QStringLiteral("ms"));
    v.w->chkeffect->setChecked(true);
    v.w->Page_Index = 0;
    const double animated = medianMs(5, [&] {
        if (v.w->Page_Index + 1 >= n)
            v.w->Page_Index = 0;
        v.w->Go_Next();
    });
    report(QStringLiteral("Go_Next with the book effect (animation included)"), animated, QStringLiteral("ms"));
});

} // namespace
