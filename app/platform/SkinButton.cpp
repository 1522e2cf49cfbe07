#include "platform/SkinButton.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>

namespace {

// The skin's drawing for `ratio`: the 2x file on any screen denser than 1 (Qt
// reduces it for 1.25 and 1.5 more cleanly than it enlarges the 1x one).
QString skinFileFor(const QString &path, qreal ratio)
{
    if (ratio <= 1.0)
        return path;
    const QFileInfo info(path);
    const QString twice = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("@2x.") + info.suffix();
    return QFileInfo(twice).isFile() ? twice : path;
}

qreal ratioOf(const QString &file, const QString &path)
{
    return file == path ? 1.0 : 2.0;
}

QImage readSkinFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    QImageReader named(path, info.suffix().toLatin1());
    named.setAutoDetectImageFormat(false);
    QImage image = named.read();
    if (image.isNull())
        image = QImageReader(path).read();
    return image;
}

} // namespace

QImage readSkinImage(const QString &path, qreal ratio)
{
    const QString file = skinFileFor(path, ratio);
    QImage image = readSkinFile(file);
    image.setDevicePixelRatio(ratioOf(file, path));
    return image;
}

QPixmap skinPixmap(const QString &path, qreal ratio)
{
    const QString file = skinFileFor(path, ratio);
    const QFileInfo info(file);
    if (!info.isFile())
        return {};
    // A skin file replaced while the program runs is read again.
    const QString key = QStringLiteral("skin:") + file + QLatin1Char(':') +
                        QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char(':') +
                        QString::number(info.size());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(readSkinFile(file));
        pixmap.setDevicePixelRatio(ratioOf(file, path));
        if (!pixmap.isNull())
            QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

SkinButton::SkinButton(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void SkinButton::setImageFile(const QString &path)
{
    if (path == m_file)
        return;
    m_file = path;
    m_pixmap = skinPixmap(path, devicePixelRatioF());
    if (!m_pixmap.isNull())
        fitToImage();
    update();
}

void SkinButton::setCompactWidth(int width)
{
    if (width == m_compactWidth)
        return;
    m_compactWidth = width;
    fitToImage();
    update();
}

bool SkinButton::event(QEvent *e)
{
    // On a screen of another density the other drawing of the same image.
    if (e->type() == QEvent::ScreenChangeInternal && !m_file.isEmpty()) {
        m_pixmap = skinPixmap(m_file, devicePixelRatioF());
        update();
    }
    return QWidget::event(e);
}

void SkinButton::fitToImage()
{
    if (m_pixmap.isNull())
        return;
    const QSize image = m_pixmap.deviceIndependentSize().toSize();
    const int w = m_compactWidth > 0 ? qMin(m_compactWidth, image.width()) : image.width();
    setFixedSize(w, image.height());
}

void SkinButton::press(Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !isEnabled())
        return;
    m_held = true;
    emit leftPressed();
}

void SkinButton::release(Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !m_held)
        return;
    m_held = false;
    emit leftReleased();
}

void SkinButton::paintEvent(QPaintEvent *)
{
    if (m_pixmap.isNull())
        return;
    QPainter p(this);
    const int w = width();
    const int imageWidth = int(m_pixmap.deviceIndependentSize().width());
    if (w >= imageWidth) {
        p.drawPixmap(0, 0, m_pixmap);
        return;
    }
    // The icon part, then the image's own right edge so the button keeps its
    // frame. Source rectangles are in the image's own pixels.
    const qreal r = m_pixmap.devicePixelRatio();
    const int edge = qMin(4, w / 2);
    const auto source = [r](int x, int sw, int sh) { return QRectF(x * r, 0, sw * r, sh * r); };
    p.drawPixmap(QRectF(0, 0, w - edge, height()), m_pixmap, source(0, w - edge, height()));
    p.drawPixmap(QRectF(w - edge, 0, edge, height()), m_pixmap, source(imageWidth - edge, edge, height()));
}

void SkinButton::mousePressEvent(QMouseEvent *e)
{
    press(e->button());
    // A command that opened a modal window ran inside the press; the window
    // system's release then went to that window and never comes here. Without
    // this the button would keep its pressed image until the next click.
    if (m_held && e->spontaneous() && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        release(Qt::LeftButton);
}

void SkinButton::mouseReleaseEvent(QMouseEvent *e)
{
    release(e->button());
}
