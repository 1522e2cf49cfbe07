#include "core/SampleBook.h"

#include <QDir>
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
    bool ok = true;
    for (int v = 1; v <= 2; ++v) {
        const QString dir = folder + QStringLiteral("/Volume %1").arg(v);
        ok = QDir().mkpath(dir) && ok;
        for (int p = 1; p <= 6; ++p)
            ok = drawPage(v, p).save(dir + QStringLiteral("/page%1.jpg").arg(p, 2, 10, QLatin1Char('0')), "JPEG", 90) && ok;
    }
    return ok;
}
