#pragma once
#include <QObject>
#include <QPointF>

#include <functional>

class Canvas;
class ReadingSession;

// The left button on a page surface: where the pages overflow the surface a drag
// pans them and a press let go without moving is the click; elsewhere the press
// is the click at once, as the design has it. Other buttons click at once.
class PageDrag : public QObject
{
public:
    using Click = std::function<void(Qt::MouseButton button, double x)>;
    PageDrag(Canvas *surface, ReadingSession &session, Click click);

private:
    ReadingSession &m_session;
    Click m_click;
    bool m_held = false;
    bool m_dragged = false;
    QPointF m_start;
    QPointF m_last;
};
