// The archive readers beside the bare libarchive cost of the same work: listing a
// large ZIP, and extracting a whole RAR volume into TmpZip.
#include "BenchCase.h"
#include "support/FakeHost.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <archive.h>
#include <archive_entry.h>
#include <cstdio>
#include <unistd.h>

namespace {

QByteArray noise(int size)
{
    QByteArray b(size, '\0');
    QRandomGenerator gen(size);
    for (char &c : b)
        c = char(gen.generate() & 0xff);
    return b;
}

void listBare(const QString &path)
{
    archive *a = archive_read_new();
    archive_read_support_format_zip_seekable(a);
    archive_read_open_filename(a, QFile::encodeName(path).constData(), 64 * 1024);
    archive_entry *e;
    size_t names = 0;
    while (archive_read_next_header(a, &e) == ARCHIVE_OK)
        names += std::strlen(archive_entry_pathname(e));
    archive_read_free(a);
    if (names == 0)
        std::printf("  (no members read)\n");
}

BenchRegistrar listZip("archive: list ZIP of 1000 members", [](const QString &work) {
    const QString zip = work + "/big.zip";
    {
        ZipWriter z(zip);
        const QByteArray page = noise(2048);
        for (int v = 0; v < 10; ++v)
            for (int p = 0; p < 100; ++p)
                z.addFile(QStringLiteral("권%1/page%2.jpg").arg(v).arg(p, 3, 10, QLatin1Char('0')), page, true);
    }
    FakeHost host(work);
    host.cbList = {QString()};
    const double ours = medianMs(15, [&] { Mo_Unzip::ListZip(host, zip); });
    const double bare = medianMs(15, [&] { listBare(zip); });
    if (host.prog.ZipReader->FileCount() != 1000)
        std::printf("  (listed %d members)\n", host.prog.ZipReader->FileCount());
    report("ListZip", ours, "ms");
    report("bare libarchive listing", bare, "ms");
    report("ratio", ours / bare, "x (target <= 1.5)");
});

void extractBare(const QString &rar, const QString &out)
{
    for (const QString &f : QDir(out).entryList(QDir::Files))
        QFile::remove(out + "/" + f);
    archive *a = archive_read_new();
    archive_read_support_format_rar(a);
    archive_read_support_format_rar5(a);
    archive_read_open_filename(a, QFile::encodeName(rar).constData(), 64 * 1024);
    archive_entry *e;
    static std::vector<char> buf(256 * 1024);
    while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
        const QString name = QString::fromUtf8(archive_entry_pathname(e));
        FILE *f = std::fopen(QFile::encodeName(out + "/" + name.mid(name.lastIndexOf('/') + 1)).constData(), "wb");
        la_ssize_t n;
        while ((n = archive_read_data(a, buf.data(), buf.size())) > 0)
            std::fwrite(buf.data(), 1, size_t(n), f);
        std::fclose(f);
    }
    archive_read_free(a);
}

BenchRegistrar extractRar("archive: extract RAR volume of 300 pages", [](const QString &work) {
    const QString rar = work + "/book.rar";
    RarWriter w(RarWriter::Version::Rar5);
    for (int p = 0; p < 300; ++p)
        w.addFile(QStringLiteral("vol1/page%1.jpg").arg(p, 3, 10, QLatin1Char('0')), noise(100 * 1024 + p));
    w.write(rar);
    FakeHost host(work);
    host.cbList = {QString()};
    host.openRar(rar);
    const QString out = work + "/bare";
    QDir().mkpath(out);
    const double ours = medianMs(7, [&] { Mo_Rar::SelectRarVolume(host, "vol1"); });
    const double bare = medianMs(7, [&] { extractBare(rar, out); });
    if (QDir(host.prog.paths.tmpZip()).entryList(QDir::Files).size() != 300)
        std::printf("  (TmpZip does not hold the 300 pages)\n");
    report("SelectRarVolume", ours, "ms");
    report("bare libarchive extraction", bare, "ms");
    report("ratio", ours / bare, "x (target <= 1.3)");
});

} // namespace
