#pragma once
// Cls_BookMove: the book effect. Animates the change from the picture on a page
// surface to a new one as a turning page: the picture area is an open book with
// its spine at the horizontal middle; first one half of the old picture folds
// toward the spine over the new half beneath it (five frames), then the new
// picture's other half unfolds from the spine outward (five frames); finally
// the new picture is drawn in full.
//
// Calling order: Set_Left, Set_Top, Set_Width, Set_Height, Set_MovePos, then
// Move_Page. Move_Page lets pending window events run between frames, so the
// caller must guard its page steps against re-entry; an event that asks for the
// next step calls Set_Exit(true), and the turn ends at once.
#include "imaging/ImagingError.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <cstdint>
#include <functional>

// The page surface Move_Page draws on. The canvas is lent for the call.
struct BookSurface
{
    QImage &canvas;
    // Shows the canvas on screen (after each frame and at the end).
    std::function<void()> repaint = {};
    // Drops the surface's background picture before the final draw. When not
    // given, the canvas is filled with black, the page surface's background.
    std::function<void()> clearPicture = {};
};

// One drawing call of the animation, as reported to a draw observer.
struct BookDraw
{
    enum class Kind { Copy, Stretch, Final };
    enum class Source { NewPicture, OldPicture };
    int frame = 0; // 0..9 for the animation frames, 10 for the final full draw
    Kind kind = Kind::Copy;
    Source source = Source::NewPicture;
    QRect from; // rectangle of the source picture
    QRect to;   // rectangle of the surface
};

class Cls_BookMove : public QObject
{
    Q_OBJECT
public:
    explicit Cls_BookMove(QObject *parent = nullptr) : QObject(parent) {}

    void Set_MovePos(int16_t direction) { m_movePos = direction; }
    void Set_Width(int32_t width);
    void Set_Left(int32_t left) { m_left = left; }
    void Set_Top(int32_t top) { m_top = top; }
    void Set_Height(int32_t height) { m_height = height; }
    bool PictrueRefresh() const { return m_refresh; }
    void PictrueRefresh(bool refresh) { m_refresh = refresh; }
    // Set during Move_Page (by an event run between its frames): no further frame
    // is played and the new picture is drawn in full at once. Each Move_Page
    // starts with it cleared, so a request made between turns cuts none.
    void Set_Exit(bool exitFlag) { m_exit = exitFlag; }

    // Plays the turn on surface.canvas from its current picture in the area
    // (left, top, width, height) to the new picture, whose column 0 belongs at
    // `left`. newDC, when given, is the source and its height is taken to be
    // the stored height; otherwise newBitmap is the source and its own height
    // is the source height of the stretches. Nothing passed in is kept or freed.
    // Width, height or direction of 0 (or less) draws nothing. A direction
    // other than 1 and 2 plays no frames but draws the new picture in full.
    // Throws ImagingError::Overflow when 4 * step exceeds 16 bits.
    void Move_Page(BookSurface &surface, const QImage &newBitmap, const QImage *newDC = nullptr);

    // --- test seams ---
    // Receives every drawing call in order.
    void setDrawObserver(std::function<void(const BookDraw &)> observer) { m_observer = std::move(observer); }
    // Minimum time each frame stays on screen, in milliseconds. Tests set 0 to
    // skip the waits; the default is 30 ms, the shortest a frame may stay.
    void setFrameDelay(int ms) { m_frameDelayMs = ms; }

    int32_t halfWidth() const { return m_halfWidth; }

signals:
    // Declared for the effect's users; the animation never raises it.
    void Move_Change();

private:
    void waitFrame();

    int16_t m_movePos = 0;
    int32_t m_width = 0;
    int32_t m_halfWidth = 0;
    int32_t m_height = 0;
    int32_t m_left = 0;
    int32_t m_top = 0;
    bool m_refresh = false;
    bool m_exit = false;

    std::function<void(const BookDraw &)> m_observer;
    int m_frameDelayMs = 30;
};
