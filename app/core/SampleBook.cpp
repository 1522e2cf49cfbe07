#include "core/SampleBook.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {
QImage drawPage(int volume, int page)
{
    QImage img(800, 1150, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, img.height());
    const QColor base = QColor::fromHsv((volume * 110 + page * 23) % 360, 60, 245);
    g.setColorAt(0, base);
    g.setColorAt(1, base.darker(130));
    p.fillRect(img.rect(), g);
    // Panels, as on a comic page.
    p.setPen(QPen(Qt::black, 6));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(40, 40, 720, 420);
    p.drawRect(40, 500, 340, 610);
    p.drawRect(420, 500, 340, 610);
    p.setPen(Qt::black);
    QFont f(QStringLiteral("Noto Sans CJK KR"));
    f.setPixelSize(120);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(40, 40, 720, 420), Qt::AlignCenter, QString::number(page));
    f.setPixelSize(40);
    p.setFont(f);
    p.drawText(QRect(40, 500, 340, 610), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("%1권\n%2쪽").arg(volume).arg(page));
    p.drawText(QRect(420, 500, 340, 610), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("Leafview\nsample"));
    return img;
}
} // namespace

bool SampleBook::write(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    // The same pages twice: as a folder of volumes and as one archive of volumes.
    const QString zipPath = folder + QStringLiteral("/Leafview sample.zip");
    archive *a = archive_write_new();
    archive_write_set_format_zip(a);
    bool ok = archive_write_open_filename(a, QFile::encodeName(zipPath).constData()) == ARCHIVE_OK;
    for (int v = 1; v <= 2 && ok; ++v) {
        const QString volume = QStringLiteral("Volume %1").arg(v);
        ok = QDir().mkpath(folder + QLatin1Char('/') + volume) && ok;
        for (int p = 1; p <= 6 && ok; ++p) {
            const QString name = volume + QStringLiteral("/page%1.jpg").arg(p, 2, 10, QLatin1Char('0'));
            QByteArray jpeg;
            QBuffer buf(&jpeg);
            buf.open(QIODevice::WriteOnly);
            ok = drawPage(v, p).save(&buf, "JPEG", 90);
            QFile out(folder + QLatin1Char('/') + name);
            ok = ok && out.open(QIODevice::WriteOnly) && out.write(jpeg) == jpeg.size();
            archive_entry *e = archive_entry_new();
            archive_entry_set_pathname_utf8(e, name.toUtf8().constData());
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_size(e, jpeg.size());
            ok = ok && archive_write_header(a, e) == ARCHIVE_OK &&
                 archive_write_data(a, jpeg.constData(), size_t(jpeg.size())) == jpeg.size();
            archive_entry_free(e);
        }
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}
