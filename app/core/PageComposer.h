#pragma once
#include "core/DecodeQueue.h"
#include "core/PageGeometry.h"
#include "core/PageSteps.h"
#include "core/StripCache.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class ReadingSession;
class Program;
class IImgPicture;
class Cls_BookMove;

// Where one window draws its pages: its surface, its loader control, its image
// holder (the last drawn picture, the start of the next animated turn) and its
// page-turn object. Everything is lent by the window.
struct PageTarget
{
    // The surface at the window's current size.
    std::function<QImage &()> surface;
    // Shows the surface at once (between the frames of an animated turn).
    std::function<void()> repaint;
    // Schedules the finished surface to be shown.
    std::function<void()> show;
    IImgPicture *picture = nullptr;
    QImage *Img_Tmp = nullptr;
    Cls_BookMove *bookMove = nullptr;
    // Device pixels per logical pixel of the surface. Pages are placed by the
    // logical rules and decoded, sharpened and turned in device pixels.
    qreal ratio = 1.0;
};

// Draws the current page or spread of a session onto a window's surface, by one
// set of rules for every window: each page's file (extracted into TmpZip when it
// lies in an archive), its size fitted to that surface (never above 100 % with
// that option), one page centred or two side by side in reading order, the book
// effect and the sharpen filter. After each page or spread it has the decode queue
// decode the steps on either side, the one in the direction of reading first, so
// that the turn to either only copies.
class PageComposer
{
public:
    PageComposer(ReadingSession &session, Program &app);
    ~PageComposer();
    PageComposer(const PageComposer &) = delete;
    PageComposer &operator=(const PageComposer &) = delete;

    // Extracts the pages of step `index`; returns the first of them.
    int prepare(int index);
    // Draws step `index` with turn direction `turn`; I_Effect 1 animates.
    void draw(const PageTarget &t, int index, qint16 I_Effect, TurnDirection turn);

    // Whether the last draw showed the notice of a page that cannot be decoded in
    // place of page entry `entry`.
    bool noticeShown(int entry) const;

    // A decoded page the last draw left on the surface, where it stands in
    // logical pixels (the magnifier reads the page from its file there).
    struct ShownPage
    {
        int entry = -1;
        QString file;
        QRect rect;
        // Clockwise degrees the page is turned by on the surface (rect is the turned page).
        int rotation = 0;
    };
    const std::vector<ShownPage> &shownPages() const { return m_shownPages; }

    // The drawn size of `file` on a surface of the given size, n pages side by side.
    QSize pageSize(IImgPicture *picture, const QString &file, qint16 n, QSize surface) const;

    // The decoded pages of the continuous strip.
    StripCache &stripCache() { return m_stripCache; }

    // Decoding ahead and keeping what was decoded; on by default. Off, every page
    // is decoded when drawn.
    void setPrefetching(bool on);
    // The one queue of the window's decodes: the pages, the magnifier's and the
    // index's thumbnails.
    DecodeQueue &decodes() { return m_decodes; }

private:
    // A page of a spread or the one page: its entry and where it stands.
    struct Placed
    {
        int entry = -1;
        QString file;
        QSize size;
    };
    // The pages `index` shows on a surface of `surface` size, left to right (one
    // entry in one-page mode; -1 entries for an empty half of a spread).
    std::vector<Placed> layout(IImgPicture *pic, const PageStep &step, QSize surface) const;
    // Whether a step is drawn as one page centred (one-page mode, a wide page
    // alone) rather than as a spread.
    bool asOnePage(const PageStep &step) const;
    // The picture of `file` at `size`: from the pages held when it is there, else
    // decoded by the control; nullopt or a null image when it cannot be decoded.
    std::optional<QImage> picture(IImgPicture *pic, const QString &file, QSize size);
    // What is drawn for a placed page: where it stands in logical and in device
    // pixels, and its picture at the device size.
    struct Shown
    {
        QImage image; // null where no page stands
        QRect logical;
        QRect area;
        bool notice = false;
    };
    // The decoded page standing on `side`, or a notice page of `slot` logical
    // size naming a file that cannot be decoded.
    Shown shown(IImgPicture *pic, const Placed &page, PageGeometry::Side side, QSize slot);
    void schedulePrefetch(IImgPicture *pic, std::array<int, 2> steps, QSize surface, qreal ratio);
    void prefetchStep(IImgPicture *pic, int index, QSize surface, qreal ratio);

    // Places a page's picture over `area` (device pixels): copied when it has
    // that size, else scaled (a page decoded below the size it stands at).
    static void putPicture(QImage &to, const QImage &picture, QRect area);
    // The offset that puts the session's scroll place on the surface, for pages
    // standing in `bounds` by the centring rules (logical pixels); tells the
    // session what was laid out.
    QPoint scrollShift(QRect bounds);
    // The picture of a page of logical rectangle `logical`, decoded upright and
    // turned by the view's rotation; large pages decode below their size.
    std::optional<QImage> turnedPicture(IImgPicture *pic, const QString &file, QRect logical);
    // The largest size a page is decoded at (`device` or less, same shape).
    static QSize decodeLimit(QSize device);
    // The size a page standing at `logical` is decoded at, upright.
    QSize uprightDecodeSize(QRect logical) const;
    // The continuous strip: the pages on the surface, those a screen before and
    // after decoded ahead.
    void drawStrip(const PageTarget &t, QImage &surface);
    void drawOnePage(const PageTarget &t, QImage &surface, const PageStep &step, qint16 I_Effect, TurnDirection turn);
    void drawSpread(const PageTarget &t, QImage &surface, const PageStep &step, qint16 I_Effect, TurnDirection turn);
    void turnPage(const PageTarget &t, QImage &surface, const QImage &page, QRect area, TurnDirection turn,
                  bool pageIsDC);
    void sharpen(QImage &surface);

    ReadingSession &m_session;
    Program &m_app;
    DecodeQueue m_decodes;
    bool m_prefetching = true;
    int m_lastIndex = -1;
    QSize m_lastSurface;
    // The draw under way: its ratio and the surface's logical size.
    qreal m_ratio = 1.0;
    QSize m_logical;
    std::vector<ShownPage> m_shownPages;
    // Bumped by every draw: a pending look-ahead for an older one is stale.
    quint64 m_drawCount = 0;
    // The page entries the last draw showed a notice for.
    std::vector<int> m_notices;
    // Context of the composer's connections and pending look-aheads: they end
    // with it.
    std::unique_ptr<QObject> m_guard;
    // Added to every page's place by the scroll place of the draw under way.
    QPoint m_shift;
    StripCache m_stripCache;
};
