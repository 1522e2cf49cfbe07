#include "views/PageDrag.h"

#include "core/ReadingSession.h"
#include "platform/Canvas.h"

#include <QMouseEvent>

namespace {
// How far the pointer moves before a press is a drag rather than a click.
constexpr double kDragDistance = 6;
} // namespace

PageDrag::PageDrag(Canvas *surface, ReadingSession &session, Click click)
    : QObject(surface), m_session(session), m_click(std::move(click))
{
    connect(surface, &Canvas::mousePressed, this, [this](QMouseEvent *e) {
        if (e->button() != Qt::LeftButton || !m_session.overflows()) {
            m_click(e->button(), e->position().x());
            return;
        }
        m_held = true;
        m_dragged = false;
        m_start = m_last = e->position();
    });
    connect(surface, &Canvas::mouseMoved, this, [this](QMouseEvent *e) {
        if (!m_held || !(e->buttons() & Qt::LeftButton))
            return;
        if (!m_dragged && (e->position() - m_start).manhattanLength() < kDragDistance)
            return;
        m_dragged = true;
        // The pages follow the pointer.
        const QPointF by = m_last - e->position();
        m_last = e->position();
        m_session.panBy(by.toPoint());
    });
    connect(surface, &Canvas::mouseReleased, this, [this](QMouseEvent *e) {
        if (e->button() != Qt::LeftButton || !m_held)
            return;
        m_held = false;
        if (!m_dragged)
            m_click(Qt::LeftButton, e->position().x());
    });
}
