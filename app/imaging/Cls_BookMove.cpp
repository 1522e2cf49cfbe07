#include "imaging/Cls_BookMove.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <cmath>

void Cls_BookMove::Set_Width(int32_t width)
{
    m_width = width;
    if (width > 0)
        m_halfWidth = int32_t(std::nearbyint(double(width) / 2.0)); // ties to even: 801 -> 400
}

void Cls_BookMove::waitFrame()
{
    QElapsedTimer timer;
    timer.start();
    if (m_frameDelayMs <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    // The user interface stays live while a frame is on screen. Sleeping a
    // millisecond between checks keeps the wait from spinning a core.
    const qint64 limitNs = qint64(m_frameDelayMs) * 1000000;
    while (timer.nsecsElapsed() <= limitNs && !m_exit) {
        QCoreApplication::processEvents();
        if (limitNs - timer.nsecsElapsed() > 1000000)
            QThread::msleep(1);
        else
            QThread::yieldCurrentThread();
    }
}

void Cls_BookMove::Move_Page(BookSurface &surface, const QImage &newBitmap, const QImage *newDC)
{
    m_exit = false;
    if (m_width <= 0 || m_height <= 0 || m_movePos == 0)
        return;

    // The geometry is fixed for the whole turn, and the pictures are held by
    // value (shared, not copied): the events run between frames may change the
    // object's properties or the caller's images.
    const int W = m_width, H = m_height, L = m_left, T = m_top, half = m_halfWidth;
    const int direction = m_movePos;
    const QImage src = newDC ? *newDC : newBitmap;
    const int hs = newDC ? H : newBitmap.height();

    // Frame widths are 16-bit: step, and step * 4 for the widest frame.
    const double stepValue = std::nearbyint(double(half) / 4.0 + 1.0);
    if (stepValue > 32767.0 || stepValue < -32768.0)
        throw ImagingError::overflow();
    const int16_t step = int16_t(stepValue);
    const bool animate = direction == 1 || direction == 2;
    if (animate && (int(step) * 4 > 32767 || int(step) * 4 < -32768))
        throw ImagingError::overflow();

    // The old picture: what the surface shows in the area now.
    const QImage old = surface.canvas.copy(QRect(L, T, W, H));

    auto draw = [&](const BookDraw &d) {
        if (m_observer)
            m_observer(d);
        // An empty rectangle draws nothing (Qt would read a zero source size as "all").
        if (d.from.isEmpty() || d.to.isEmpty() || surface.canvas.isNull())
            return;
        const QImage &img = d.source == BookDraw::Source::NewPicture ? src : old;
        QPainter p(&surface.canvas);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        // Colour-on-colour stretch: rows and columns are dropped, never blended.
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (d.kind == BookDraw::Kind::Stretch)
            p.drawImage(d.to, img, d.from);
        else
            p.drawImage(d.to.topLeft(), img, d.from);
    };
    auto frame = [&](int index, BookDraw::Source copySource, QRect copyFrom, QPoint copyTo,
                     BookDraw::Source stretchSource, QRect stretchFrom, QRect stretchTo) {
        draw({index, BookDraw::Kind::Copy, copySource, copyFrom, QRect(copyTo, copyFrom.size())});
        draw({index, BookDraw::Kind::Stretch, stretchSource, stretchFrom, stretchTo});
        if (surface.repaint)
            surface.repaint();
        waitFrame();
    };
    using S = BookDraw::Source;

    waitFrame();

    // Each loop stops early once the turn is asked to end (Set_Exit).
    if (direction == 2) {
        // The right half turns over to the left.
        for (int16_t n = 4, i = 0; n >= 0 && !m_exit; --n, ++i)
            frame(i, S::NewPicture, QRect(half, 0, half, H), QPoint(L + half, T),
                  S::OldPicture, QRect(half, 0, half, hs), QRect(L + half, T, int16_t(step * n), H));
        for (int16_t n = 0; n <= 4 && !m_exit; ++n)
            frame(5 + n, S::OldPicture, QRect(0, 0, half, H), QPoint(L, T),
                  S::NewPicture, QRect(0, 0, half, hs),
                  QRect(L + int16_t((4 - n) * step), T, int16_t(n * step), H));
    } else if (direction == 1) {
        // The left half turns over to the right.
        for (int16_t n = 0; n <= 4 && !m_exit; ++n)
            frame(n, S::NewPicture, QRect(0, 0, half, H), QPoint(L, T),
                  S::OldPicture, QRect(0, 0, half, hs),
                  QRect(L + int16_t(n * step), T, int16_t((4 - n) * step), H));
        for (int16_t n = 0; n <= 4 && !m_exit; ++n)
            frame(5 + n, S::OldPicture, QRect(half, 0, half, H), QPoint(L + half, T),
                  S::NewPicture, QRect(half, 0, half, hs), QRect(L + half, T, int16_t(n * step), H));
    }

    // The widest frames cross the spine by a few pixels; the full draw covers them.
    if (surface.clearPicture)
        surface.clearPicture();
    else if (!surface.canvas.isNull())
        surface.canvas.fill(Qt::black);
    draw({10, BookDraw::Kind::Final, S::NewPicture, QRect(0, 0, W, H), QRect(L, T, W, H)});
    if (surface.repaint)
        surface.repaint();
    m_exit = false;
}
