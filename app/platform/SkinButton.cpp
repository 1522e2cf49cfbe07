#include "platform/SkinButton.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>

QImage readSkinImage(const QString &path)
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

QPixmap skinPixmap(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    // A skin file replaced while the program runs is read again.
    const QString key = QStringLiteral("skin:") + path + QLatin1Char(':') +
                        QString::number(info.lastModified().toMSecsSinceEpoch()) + QLatin1Char(':') +
                        QString::number(info.size());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(readSkinImage(path));
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
    m_pixmap = skinPixmap(path);
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

void SkinButton::fitToImage()
{
    if (m_pixmap.isNull())
        return;
    const int w = m_compactWidth > 0 ? qMin(m_compactWidth, m_pixmap.width()) : m_pixmap.width();
    setFixedSize(w, m_pixmap.height());
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
    if (w >= m_pixmap.width()) {
        p.drawPixmap(0, 0, m_pixmap);
        return;
    }
    // The icon part, then the image's own right edge so the button keeps its frame.
    const int edge = qMin(4, w / 2);
    p.drawPixmap(QRect(0, 0, w - edge, height()), m_pixmap, QRect(0, 0, w - edge, height()));
    p.drawPixmap(QRect(w - edge, 0, edge, height()), m_pixmap,
                 QRect(m_pixmap.width() - edge, 0, edge, height()));
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
