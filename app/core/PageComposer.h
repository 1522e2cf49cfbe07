#pragma once
#include <QImage>
#include <QSize>
#include <functional>

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
};

// Draws the current page or spread of a session onto a window's surface, by one
// set of rules for every window: each page's file (extracted into TmpZip when it
// lies in an archive), its size fitted to that surface (never above 100 % with
// that option), one page centred or two side by side in reading order, the book
// effect and the sharpen filter.
class PageComposer
{
public:
    PageComposer(ReadingSession &session, Program &app) : m_session(session), m_app(app) {}

    // The first page entry shown for `index` (a page, or a spread in two-page mode).
    int firstEntry(qint16 index) const;
    // Extracts the entries shown for `index`; returns firstEntry(index).
    int prepare(qint16 index);
    // Draws what `index` shows with turn direction `turnPos`; I_Effect 1 animates.
    void draw(const PageTarget &t, qint16 index, qint16 I_Effect, qint16 turnPos);

    // The drawn size of `file` on a surface of the given size, n pages side by side.
    QSize pageSize(IImgPicture *picture, const QString &file, qint16 n, QSize surface) const;

private:
    void drawOnePage(const PageTarget &t, QImage &surface, int p, qint16 I_Effect, qint16 turnPos);
    void drawSpread(const PageTarget &t, QImage &surface, int p, qint16 I_Effect, qint16 turnPos);
    void turnPage(const PageTarget &t, QImage &surface, const QImage &page, QRect area, qint16 turnPos,
                  bool pageIsDC);
    void sharpen(QImage &surface);

    ReadingSession &m_session;
    Program &m_app;
};
