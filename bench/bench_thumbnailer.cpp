// The file manager's thumbnailer on ordinary books and on bombs: wall time and
// peak resident size of the leafview-thumbnailer process, as the desktop runs it.
#include "BenchCase.h"
#include "BenchImages.h"
#include "support/SolidArchiveWriter.h"
#include "support/TestImages.h"
#include "support/ZipWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtEndian>
#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <algorithm>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {
struct Run
{
    double ms = 0;
    double peakMB = 0;
    double cpuMs = 0; // user and system: what a loaded machine does not inflate
    int status = -1;
};

// GNU time reports the peak of the process it starts. The peak a process of our
// own would report counts the memory of this one: a spawned child's high-water
// mark starts from its parent's.
const char *const kTime = "/usr/bin/time";

// One run of the thumbnailer at 256 (the desktop's "large" size).
Run thumbnail(const QString &book, const QString &out)
{
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationDirPath() + "/leafview-thumbnailer");
    const QByteArray in = QFile::encodeName(book), png = QFile::encodeName(out);
    const QByteArray peakFile = png + ".peak";
    const bool timed = QFileInfo(QString::fromLatin1(kTime)).isExecutable();
    std::vector<char *> argv;
    if (timed)
        for (const char *a : {kTime, "-f", "%M %U %S", "-o", peakFile.constData()})
            argv.push_back(const_cast<char *>(a));
    for (const char *a : {program.constData(), "-s", "256", in.constData(), png.constData()})
        argv.push_back(const_cast<char *>(a));
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    Run r;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return r;
    int status = 0;
    waitpid(pid, &status, 0);
    r.ms = double(timer.nsecsElapsed()) / 1e6;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    QFile peak(QFile::decodeName(peakFile));
    if (peak.open(QIODevice::ReadOnly)) {
        // The last line: a failing run's status comes first.
        const QList<QByteArray> last = peak.readAll().trimmed().split('\n').last().split(' ');
        r.peakMB = last.value(0).toDouble() / 1024.0;
        r.cpuMs = (last.value(1).toDouble() + last.value(2).toDouble()) * 1000.0;
    }
    peak.remove();
    QFile::remove(out);
    return r;
}

// The median time and the largest peak of `runs` runs, and the status of the last.
void measure(const QString &label, const QString &book, const QString &goal, int runs = 5)
{
    std::vector<double> ms, cpu;
    double peak = 0;
    int status = 0;
    for (int i = 0; i < runs; ++i) {
        const Run r = thumbnail(book, book + ".png");
        ms.push_back(r.ms);
        cpu.push_back(r.cpuMs);
        peak = std::max(peak, r.peakMB);
        status = r.status;
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    report(label + QStringLiteral(" (%1 MB file, exit %2): time (%3)")
                       .arg(QFileInfo(book).size() / 1e6, 0, 'f', 1)
                       .arg(status)
                       .arg(goal),
           ms[ms.size() / 2], QStringLiteral("ms"));
    report(label + QStringLiteral(": processor time (10 ms steps)"), cpu[cpu.size() / 2], QStringLiteral("ms"));
    report(label + QStringLiteral(": peak resident size"), peak, QStringLiteral("MB"));
}

// Photo-like scans of w x h, `distinct` of them repeated under page names until
// `count` pages (count 0: until the pages reach `bytes`).
std::vector<std::pair<QString, QByteArray>> scans(const QString &workDir, int w, int h, int distinct, int count,
                                                  qint64 bytes = 0)
{
    std::vector<QByteArray> made;
    for (int i = 0; i < distinct; ++i) {
        QFile f(writePhotoLikeJpeg(workDir, w, h, QStringLiteral("s%1.jpg").arg(i), i + 1));
        f.open(QIODevice::ReadOnly);
        made.push_back(f.readAll());
    }
    std::vector<std::pair<QString, QByteArray>> pages;
    qint64 total = 0;
    for (int i = 0; count > 0 ? i < count : total < bytes; ++i) {
        pages.push_back({QStringLiteral("Book/%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')), made[i % distinct]});
        total += made[i % distinct].size();
    }
    return pages;
}

// A PNG of w x h pixels of 16 bits a channel, of one colour.
QByteArray deepPng(int w, int h)
{
    QImage img(w, h, QImage::Format_RGBA64);
    img.fill(QColor(30, 120, 200));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    img.save(&out, "PNG");
    return out.data();
}

// A small real PNG whose header is made to declare w x h.
QByteArray pngDeclaring(quint32 w, quint32 h)
{
    QByteArray b = TestImages::encoded(16, 16, Qt::blue, "PNG");
    qToBigEndian(w, b.data() + 16);
    qToBigEndian(h, b.data() + 20);
    const quint32 crc = quint32(::crc32(0, reinterpret_cast<const Bytef *>(b.constData() + 12), 17));
    qToBigEndian(crc, b.data() + 29);
    return b;
}

// A 7z whose first member, packed with the page in one block, is `zeros` zero bytes;
// the page after it sorts first.
QString sevenZipWithZerosFirst(const QString &path, qint64 zeros)
{
    archive *a = archive_write_new();
    archive_write_set_format_7zip(a);
    archive_write_open_filename(a, QFile::encodeName(path).constData());
    auto add = [a](const char *name, qint64 size, const QByteArray &data) {
        archive_entry *e = archive_entry_new();
        archive_entry_set_pathname(e, name);
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, size);
        archive_write_header(a, e);
        if (!data.isEmpty())
            archive_write_data(a, data.constData(), size_t(data.size()));
        const QByteArray block(1 << 20, '\0');
        for (qint64 left = data.isEmpty() ? size : 0; left > 0; left -= block.size())
            archive_write_data(a, block.constData(), size_t(std::min<qint64>(left, block.size())));
        archive_entry_free(e);
    };
    add("zeros.bin", zeros, {});
    const QByteArray page = TestImages::encoded(600, 900, Qt::blue, "PNG");
    add("001.png", page.size(), page);
    archive_write_close(a);
    archive_write_free(a);
    return path;
}

const BenchRegistrar ordinary(QStringLiteral("thumbnailer: ordinary books"), [](const QString &workDir) {
    const QString cbz = makeZip(workDir + "/scans.cbz", scans(workDir, 2480, 3508, 4, 40));
    measure(QStringLiteral("40-page cbz of 2480x3508 JPEG scans"), cbz, QStringLiteral("goal < 150 ms"));
    const QString cbt = workDir + "/scans.cbt";
    SolidArchiveWriter::write(cbt, SolidArchiveWriter::Format::Tar,
                              scans(workDir, 3000, 4300, 4, 0, qint64(230) << 20));
    measure(QStringLiteral("cbt of 3000x4300 JPEG scans"), cbt, QStringLiteral("goal < 150 ms"));
});

const BenchRegistrar bombs(QStringLiteral("thumbnailer: bombs (each refused: exit 1)"), [](const QString &workDir) {
    const QString goal = QStringLiteral("goal < 1000 ms, < 100 MB");
    {
        ZipWriter z(workDir + "/zeros.cbz");
        z.addZeros("001.jpg", qint64(1) << 30);
        z.close();
    }
    measure(QStringLiteral("cbz whose first member is 1 GB of zeros"), workDir + "/zeros.cbz", goal, 3);
    {
        // The directory claims the size of a page; the data inflates to a gigabyte.
        ZipWriter z(workDir + "/lying.cbz");
        z.addZeros("001.png", qint64(1) << 30, TestImages::encoded(20, 20, Qt::blue, "PNG"));
        z.close();
    }
    measure(QStringLiteral("cbz of a PNG followed by 1 GB of zeros"), workDir + "/lying.cbz", goal, 3);
    const struct
    {
        const char *what;
        QByteArray bytes;
    } pages[] = {
        {"PNG declaring 100000 x 100000", pngDeclaring(100000, 100000)},
        {"real PNG of 8000 x 8000 (256 MB of pixels)", TestImages::flatPng(8000, 8000)},
        {"16-bit PNG of 4096 x 4096 (128 MB of pixels)", deepPng(4096, 4096)},
        {"bitmap declaring 11500 x 11500", TestImages::rleBitmap(11500, 11500)},
    };
    for (const auto &p : pages) {
        const QString ext = QString::fromLatin1(p.what).startsWith("bitmap") ? "bmp" : "png";
        const QString book = makeZip(workDir + QStringLiteral("/page.cbz"), {{"001." + ext, p.bytes}});
        measure(QStringLiteral("cbz of a ") + p.what, book, goal, 3);
        QFile::remove(book);
    }
    {
        ZipWriter z(workDir + "/many.cbz");
        for (int i = 0; i < 300000; ++i)
            z.addFile(QStringLiteral("m%1.txt").arg(i, 6, 10, QLatin1Char('0')), {}, true);
        z.addFile("page.png", TestImages::encoded(60, 90), true);
        z.close();
    }
    measure(QStringLiteral("cbz of 300,000 members (stopped by the processor-time limit)"), workDir + "/many.cbz", goal, 3);
    measure(QStringLiteral("cb7 of 1 GB of zeros packed with the page after it"),
            sevenZipWithZerosFirst(workDir + "/zeros.cb7", qint64(1) << 30), goal, 3);
});
} // namespace
