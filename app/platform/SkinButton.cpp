#include "platform/SkinButton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

SkinButton::SkinButton(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void SkinButton::setImageFile(const QString &path)
{
    if (path == m_file)
        return;
    m_file = path;
    m_pixmap = QPixmap(path);
    if (!m_pixmap.isNull())
        setFixedSize(m_pixmap.size());
    update();
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
    p.drawPixmap(0, 0, m_pixmap);
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
