// Reading a book: a turn to a page decoded ahead, a page of a large ZIP, the
// program's start-up to its first page, and the memory read for 50 pages.
#include "BenchArchives.h"
#include "BenchCase.h"
#include "BenchImages.h"
#include "BenchWindow.h"

#include "archive/ExtractBudget.h"
#include "core/PageGeometry.h"
#include "platform/Canvas.h"
#include "support/ZipWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kPageW = 1800, kPageH = 2700;
constexpr int kRuns = 5;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

struct Reader : BenchWindow
{
    // As the program loads its books.
    Reader() { w->session.setBackgroundLoading(true); }
    // Form_Load and show, then events until the first page is on the surface.
    bool startWith(const QString &book)
    {
        if (!w->Form_Load(book))
            return false;
        w->session.setOption(ReadingSession::BookEffect, false);
        w->resize(1280, 1000);
        w->show();
        QElapsedTimer t;
        t.start();
        while (w->Img_Tmp.isNull() && t.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return !w->Img_Tmp.isNull();
    }
    // Runs the look-ahead the last draw queued and waits for its decode.
    void settle()
    {
        QCoreApplication::processEvents();
        w->composer.decodes().settle();
    }
};

// `distinct` different pages, repeated to `count` members "p0001.jpg"...; the
// JPEG bytes of the first page are returned too.
QString writeBook(const QString &workDir, const QString &name, int count, int distinct, QByteArray *first = nullptr)
{
    const QString src = workDir + QStringLiteral("/src");
    QDir().mkpath(src);
    std::vector<QByteArray> pages;
    for (int i = 0; i < distinct; ++i) {
        const QString f = src + QStringLiteral("/d%1.jpg").arg(i);
        if (!QFile::exists(f))
            writePhotoLikeJpeg(src, kPageW, kPageH, QStringLiteral("d%1.jpg").arg(i), i + 1);
        QFile in(f);
        in.open(QIODevice::ReadOnly);
        pages.push_back(in.readAll());
    }
    if (first)
        *first = pages[0];
    const QString path = workDir + QLatin1Char('/') + name;
    ZipWriter zip(path);
    for (int i = 0; i < count; ++i)
        zip.addFile(QStringLiteral("p%1.jpg").arg(i + 1, 5, 10, QLatin1Char('0')), pages[std::size_t(i) % pages.size()],
                    true);
    zip.close();
    return path;
}

const BenchRegistrar turnAhead(QStringLiteral("reading: turn to a page decoded ahead (1800x2700 JPEG on 1280x960)"),
                               [](const QString &workDir) {
    const QString book = writeBook(workDir, QStringLiteral("book.cbz"), 12, 12);
    Reader r;
    if (!r.startWith(book) || !r.w->ImgPicture1) {
        std::printf("  the first page was not drawn (no PhotoGrip control?): nothing measured\n");
        return;
    }
    r.w->PicDraw->resize(1280, 960);
    Frm_ImgViewer &w = *r.w;
    const QSize shown = PageGeometry::drawnSize(kPageW, kPageH, 1, false, 1280, 960);
    // From page i to page i + 1, with or without the look-ahead the draw of page i
    // queued (the page is taken out by then either way).
    auto turn = [&](int i, bool ahead) {
        w.composer.setPrefetching(ahead);
        w.session.goToStep(i, TurnDirection::RightOver, false);
        r.settle();
        QElapsedTimer timer;
        timer.start();
        w.Go_Next();
        return msSince(timer);
    };
    const QString tmpZip = r.start.program().paths.tmpZip();
    auto bareTurn = [&](int i) {
        QElapsedTimer timer;
        timer.start();
        bareDecode(tmpZip + QStringLiteral("/p%1.jpg").arg(i + 2, 5, 10, QLatin1Char('0')), shown);
        return msSince(timer);
    };
    turn(0, true);
    turn(0, false);
    bareTurn(0);
    // The three take turns, so a slower or faster spell of the machine weighs on
    // all of them alike.
    std::vector<double> ta, tp, tb;
    for (int i = 0; i < kRuns; ++i) {
        ta.push_back(turn(i, true));
        tp.push_back(turn(i, false));
        tb.push_back(bareTurn(i));
    }
    const double ahead = median(ta);
    const double plain = median(tp);
    const double bare = median(tb);
    report(QStringLiteral("turn, page decoded ahead"), ahead, QStringLiteral("ms"));
    report(QStringLiteral("turn, nothing decoded ahead"), plain, QStringLiteral("ms"));
    report(QStringLiteral("bare header + reduced decode"), bare, QStringLiteral("ms"));
    report(QStringLiteral("ratio decoded ahead (goal <= 0.35)"), ahead / bare, QString());
    report(QStringLiteral("ratio nothing ahead (goal <= 1.2)"), plain / bare, QString());
});

// `count` members "p00001.jpg"..., every one a few bytes but page 51, a real page.
QString writeSparseBook(const QString &workDir, const QString &name, int count)
{
    QByteArray page;
    writeBook(workDir, QStringLiteral("one.cbz"), 1, 1, &page);
    const QString path = workDir + QLatin1Char('/') + name;
    ZipWriter zip(path);
    for (int i = 1; i <= count; ++i)
        zip.addFile(QStringLiteral("p%1.jpg").arg(i, 5, 10, QLatin1Char('0')), i == 51 ? page : QByteArray("x"), true);
    zip.close();
    return path;
}

const BenchRegistrar largeZip(QStringLiteral("reading: one page of a 10,000-member ZIP beside a 100-member ZIP"),
                              [](const QString &workDir) {
    const QString small = writeSparseBook(workDir, QStringLiteral("small.cbz"), 100);
    const QString large = writeSparseBook(workDir, QStringLiteral("large.cbz"), 10000);
    // Each book in a program of its own, open on the page's volume; the page is
    // drawn once before the timed draws.
    struct Opened
    {
        Reader r;
        QString extracted;
    };
    auto open = [](Opened &o, const QString &book) {
        o.r.start.startQuietly();
        Frm_ImgViewer &w = *o.r.w;
        w.session.setOption(ReadingSession::BookEffect, false);
        w.composer.setPrefetching(false);
        w.PicDraw->resize(1280, 960);
        Program &app = o.r.start.program();
        app.IsArchive = true;
        app.ArchiveKind = ArchiveKind::Zip;
        app.OpenPath = book;
        w.Open_Source();
        // Page 51: the same member in both books, well inside each.
        o.extracted = app.paths.tmpZip() + QStringLiteral("/p00051.jpg");
    };
    auto draw = [](Opened &o) {
        QFile::remove(o.extracted); // every run takes the page out again
        QElapsedTimer timer;
        timer.start();
        o.r.w->session.goToStep(50, TurnDirection::RightOver, false);
        return msSince(timer);
    };
    Opened a, b;
    open(a, small);
    open(b, large);
    draw(a);
    draw(b);
    // The two books take turns, so a slower or faster spell of the machine
    // weighs on both alike.
    std::vector<double> ta, tb;
    for (int i = 0; i < kRuns; ++i) {
        ta.push_back(draw(a));
        tb.push_back(draw(b));
    }
    const double s = median(ta);
    const double l = median(tb);
    report(QStringLiteral("page draw, 100 members"), s, QStringLiteral("ms"));
    report(QStringLiteral("page draw, 10,000 members"), l, QStringLiteral("ms"));
    report(QStringLiteral("ratio (goal <= 1.3)"), l / s, QString());
});

// What a ZIP page pays for the extraction budget before it is taken out: the
// setting and the free space read afresh, or kept from the volume's first page.
const BenchRegistrar pageBudget(QStringLiteral("reading: extraction budget looked up for one page"),
                                [](const QString &workDir) {
    ProgramPaths paths = ProgramPaths::forRunningProgram();
    paths.programFolder = workDir;
    QFile ini(paths.settingsFile());
    ini.open(QIODevice::WriteOnly);
    ini.write("[Options]\nTwoPage=1\nSharpen=0\n[Window]\nLeft=10\nTop=10\n[Limits]\nVolumeExtractMB=1024\n");
    ini.close();
    constexpr int kPages = 100;
    const double afresh = medianMs(kRuns, [&] {
        for (int i = 0; i < kPages; ++i)
            ExtractBudget::forFolder(workDir, ExtractBudget::settingOf(&paths));
    });
    const double kept = medianMs(kRuns, [&] {
        for (int i = 0; i < kPages; ++i)
            ExtractBudget::forPages(workDir, &paths);
    });
    report(QStringLiteral("read afresh"), afresh * 1000 / kPages, QStringLiteral("us"));
    report(QStringLiteral("kept for the volume"), kept * 1000 / kPages, QStringLiteral("us"));
});

// The page list of a folder volume of 10,000 images, named so that the order
// needs the digit runs compared as numbers and the files come in no order.
const BenchRegistrar folderVolume(QStringLiteral("reading: page list of a folder volume of 10,000 images"),
                                  [](const QString &workDir) {
    const QString book = workDir + QStringLiteral("/folderbook");
    QDir().mkpath(book + QStringLiteral("/v"));
    for (int i = 0; i < 10000; ++i) {
        QFile f(book + QStringLiteral("/v/p%1.jpg").arg((i * 7919) % 10000 + 1));
        f.open(QIODevice::WriteOnly);
    }
    Reader r;
    r.start.startQuietly();
    Frm_ImgViewer &w = *r.w;
    Program &app = r.start.program();
    app.IsArchive = false;
    app.OpenPath = book;
    w.session.Folder_Scan();
    const QString volume = w.session.currentVolume();
    const double ms = medianMs(kRuns, [&] { w.session.Volume_Pages(volume); });
    report(QStringLiteral("page list of %1 images").arg(w.session.pageCount()), ms, QStringLiteral("ms"));
});

// Runs a child of this program and returns what it printed (one number), or -1.
double childFigure(const QString &name, const QString &book)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), name, book});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return -1;
    bool ok = false;
    const double v = QString::fromUtf8(p.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok ? v : -1;
}

const BenchRegistrar startUp(QStringLiteral("reading: start-up to the first page (offscreen, 1800x2700 JPEG book)"),
                             [](const QString &workDir) {
    QByteArray first;
    const QString book = writeBook(workDir, QStringLiteral("book.cbz"), 20, 4, &first);
    const QString page = workDir + QStringLiteral("/bare.jpg");
    const QSize shown = PageGeometry::drawnSize(kPageW, kPageH, 1, false, 1280, 960);
    // What the first page cannot avoid: reading the archive's directory, the
    // member and its reduced decode.
    const auto bareRun = [&] {
        bareExtract(book, {}, page);
        bareDecode(page, shown);
    };
    bareRun();
    // Start-ups and bare runs take turns, so a slower or faster spell of the
    // machine weighs on both figures of the ratio alike.
    std::vector<double> t, bare;
    for (int i = 0; i < kRuns; ++i) {
        t.push_back(childFigure(QStringLiteral("startup"), book));
        QElapsedTimer timer;
        timer.start();
        bareRun();
        bare.push_back(msSince(timer));
    }
    report(QStringLiteral("process start to first page drawn"), median(t), QStringLiteral("ms"));
    report(QStringLiteral("bare open + reduced decode of that page"), median(bare), QStringLiteral("ms"));
    report(QStringLiteral("ratio (goal <= 2)"), median(t) / median(bare), QString());
});

const BenchRegistrar memory(QStringLiteral("reading: peak resident size over 50 pages of a 200-page book"),
                            [](const QString &workDir) {
    const QString book = writeBook(workDir, QStringLiteral("book200.cbz"), 200, 10);
    std::vector<double> kb;
    for (int i = 0; i < kRuns; ++i)
        kb.push_back(childFigure(QStringLiteral("pages50"), book));
    report(QStringLiteral("peak resident size (goal <= 80 MB)"), median(kb) / 1024.0, QStringLiteral("MB"));
});

// The children: each a fresh process, so the start and the peak are its own.
const BenchChild startupChild(QStringLiteral("startup"), [](const QStringList &args) {
    Reader r;
    if (!r.startWith(args.value(0)))
        return 1;
    std::printf("%.3f\n", msSince(processClock()));
    return 0;
});

const BenchChild pagesChild(QStringLiteral("pages50"), [](const QStringList &args) {
    Reader r;
    if (!r.startWith(args.value(0)))
        return 1;
    for (int i = 0; i < 49; ++i) {
        r.settle();
        r.w->Go_Next();
    }
    r.settle();
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("%s\n", line.mid(6).trimmed().split(' ').value(0).constData());
            return 0;
        }
    }
    return 1;
});

} // namespace
