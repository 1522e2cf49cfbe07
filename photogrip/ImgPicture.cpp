#include "ImgPicture.h"

#include "ImageDecoder.h"
#include "cFILE.h"
#include "cIMAGE.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {

// The control's mouse values: button mask 1 left, 2 right, 4 middle; shift mask
// 1 Shift, 2 Ctrl, 4 Alt.
short buttonMask(Qt::MouseButtons b)
{
    short m = 0;
    if (b & Qt::LeftButton)
        m |= 1;
    if (b & Qt::RightButton)
        m |= 2;
    if (b & Qt::MiddleButton)
        m |= 4;
    return m;
}

short shiftMask(Qt::KeyboardModifiers k)
{
    short m = 0;
    if (k & Qt::ShiftModifier)
        m |= 1;
    if (k & Qt::ControlModifier)
        m |= 2;
    if (k & Qt::AltModifier)
        m |= 4;
    return m;
}

QImage blankSurface(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(ImgPicture::kBackColor);
    return img;
}

// Copies src into dst at (0, 0), as far as both reach.
void copyTopLeft(QImage &dst, const QImage &src)
{
    if (dst.isNull() || src.isNull())
        return;
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, src);
}

} // namespace

ImgPicture::ImgPicture(QWidget *parent)
    : QWidget(parent)
    , m_surface(0, 0, QImage::Format_RGB32)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    QWidget::resize(0, 0);
}

QSize ImgPicture::surfaceSize(qint32 w, qint32 h)
{
    // A negative side is taken as none; a size past the memory limit cannot be
    // made and leaves an empty surface rather than a failed allocation.
    const QSize size(std::max(w, 0), std::max(h, 0));
    return ImageDecoder::fitsMemory(size) ? size : QSize(0, 0);
}

void ImgPicture::applyWidgetSize(QSize size)
{
    if (QWidget::size() == size)
        return;
    m_resizingSelf = true;
    QWidget::resize(size);
    m_resizingSelf = false;
}

void ImgPicture::resizeSurface(qint32 w, qint32 h)
{
    const QSize size = surfaceSize(w, h);
    if (size != m_surface.size()) {
        QImage next = blankSurface(size);
        copyTopLeft(next, m_surface);
        m_surface = std::move(next);
    }
    applyWidgetSize(size);
}

void ImgPicture::showBackground(const QImage &picture)
{
    m_background = picture;
    if (!picture.isNull() && picture.size() == m_surface.size() && picture.format() == QImage::Format_RGB32) {
        // The usual page: the picture is exactly the surface, so share it.
        m_surface = picture;
    } else {
        m_surface = blankSurface(m_surface.size());
        copyTopLeft(m_surface, picture);
    }
    update();
}

std::optional<QImage> ImgPicture::deliver(std::optional<QImage> picture)
{
    if (m_show) {
        showBackground(picture ? *picture : QImage());
        return std::nullopt;
    }
    return picture;
}

void ImgPicture::SetPicture(const QString &StrPath)
{
    if (StrPath.isEmpty()) {
        m_background = QImage();
        return;
    }
    const ImageDecoder::Decoded d = ImageDecoder::decode(StrPath);
    if (d.image.isNull())
        return;
    showBackground(d.image.convertToFormat(QImage::Format_RGB32));
}

std::optional<QImage> ImgPicture::decodeAtSize(const QString &file, qint32 width, qint32 height)
{
    // The same decode as a program's worker makes, so its pictures match ours.
    return ImageDecoder::decodeScaled(file, width, height);
}

std::optional<QImage> ImgPicture::ScaledPicture(const QString &sFileName, qint32 width, qint32 height) const
{
    return decodeAtSize(sFileName, width, height);
}

std::optional<QImage> ImgPicture::DisplayPicture(const QString &sFileName, qint32)
{
    std::optional<QImage> picture;
    if (m_autoSize) {
        cFILE info;
        cIMAGE image;
        if (info.Load(sFileName) && image.Load(sFileName)) {
            m_targetWidth = qint32(std::nearbyint(image.ImageWidth()));
            m_targetHeight = qint32(std::nearbyint(image.ImageHeight()));
            picture = image.Picture();
        }
    } else {
        picture = decodeAtSize(sFileName, m_targetWidth, m_targetHeight);
    }
    if (picture) {
        if (m_show) {
            // The surface is about to be repainted whole: only its size matters
            // now, so no pixels are filled or copied twice.
            const QSize size = surfaceSize(m_targetWidth, m_targetHeight);
            if (m_surface.size() != size)
                m_surface = QImage(size, QImage::Format_RGB32);
            applyWidgetSize(size);
        } else {
            resizeSurface(m_targetWidth, m_targetHeight);
        }
    }
    return deliver(std::move(picture));
}

void ImgPicture::Draw_ImgCopy(const QImage &Trg_dC, qint32 T_W, qint32 T_H)
{
    m_background = QImage();
    m_surface = blankSurface(surfaceSize(T_W, T_H));
    applyWidgetSize(m_surface.size());
    if (!Trg_dC.isNull() && !m_surface.isNull()) {
        QPainter p(&m_surface);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), Trg_dC, QRect(0, 0, m_surface.width(), m_surface.height()));
    }
    update();
}

void ImgPicture::Draw_Flip(QImage &Trg_dC, qint32 T_X, qint32 T_Y, qint32 T_W, qint32 T_H, const QString &StrPath)
{
    cIMAGE image;
    if (image.Load(StrPath)) {
        image.Gdi_LoadPicture(Trg_dC, T_X, T_Y, T_W, T_H);
        // Written as JPEG whatever the name says; the write replaces the file only
        // once complete, so the original is never lost to a failed save.
        image.SaveAs(StrPath, 100);
    }
    image.ClassUnload();
}

void ImgPicture::Draw_Rotate(QImage &hdc, const QString &S_File, float S_Angle, qint32 Draw_X, qint32 Draw_Y,
                             qint32 Draw_W, qint32 Draw_H, qint32 W, qint32 H)
{
    cIMAGE image;
    image.DrawRotated(hdc, S_File, S_Angle, Draw_X, Draw_Y, Draw_W, Draw_H, W, H);
    image.ClassUnload();
}

std::optional<QImage> ImgPicture::PictureThumNail(const QString &StrFile)
{
    std::optional<QImage> picture;
    {
        cIMAGE image;
        if (image.Load(StrFile)) {
            resizeSurface(m_targetWidth, m_targetHeight);
            picture = image.Thumbnail(m_targetWidth, m_targetHeight, false);
        }
        image.ClassUnload();
    }
    return deliver(std::move(picture));
}

bool ImgPicture::PictureSaveAsFile(const QString &StrSrcName, const QString &StrCopyName, qint32 MakeWidth,
                                   qint32 MakeHeight)
{
    cIMAGE image;
    bool ok = false;
    if (image.Load(StrSrcName)) {
        if (MakeWidth != 0 && MakeHeight != 0)
            image.Resize(float(MakeWidth), float(MakeHeight), &m_surface, false);
        ok = image.SaveAs(StrCopyName, 80);
    }
    image.ClassUnload();
    return ok;
}

bool ImgPicture::Save_File(const QString &StrSrcName, const QString &StrCopyName)
{
    cIMAGE image;
    bool ok = false;
    if (image.Load(StrSrcName))
        ok = image.SaveAs(StrCopyName, 80);
    image.ClassUnload();
    return ok;
}

void ImgPicture::GetImageSize(const QString &sFName, float &S_Width, float &S_Height)
{
    cIMAGE image;
    image.GetSize(sFName, S_Width, S_Height);
    image.ClassUnload();
}

void ImgPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), QColor::fromRgb(kBackColor));
    p.drawImage(0, 0, m_surface);
}

void ImgPicture::resizeEvent(QResizeEvent *event)
{
    // A container that resizes the control resizes its surface too.
    QWidget::resizeEvent(event);
    if (!m_resizingSelf && size() != m_surface.size())
        resizeSurface(width(), height());
}

void ImgPicture::mousePressEvent(QMouseEvent *event)
{
    m_suppressClick = false;
    emit MouseDown(buttonMask(event->button()), shiftMask(event->modifiers()), float(event->position().x()),
                   float(event->position().y()));
}

void ImgPicture::mouseMoveEvent(QMouseEvent *event)
{
    emit MouseMove(buttonMask(event->buttons()), shiftMask(event->modifiers()), float(event->position().x()),
                   float(event->position().y()));
}

void ImgPicture::mouseReleaseEvent(QMouseEvent *event)
{
    emit MouseUp(buttonMask(event->button()), shiftMask(event->modifiers()), float(event->position().x()),
                 float(event->position().y()));
    // The release that ends a double click raises no second Click.
    if (event->button() == Qt::LeftButton && !m_suppressClick && rect().contains(event->position().toPoint()))
        emit Click();
    m_suppressClick = false;
}

void ImgPicture::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_suppressClick = true;
        emit DblClick();
    }
}
