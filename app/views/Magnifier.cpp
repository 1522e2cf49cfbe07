#include "views/Magnifier.h"

#include "platform/Canvas.h"
#include "platform/IniRead.h"

#include <leafview/ImgPicture.h>

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QTransform>

Magnifier::Magnifier(Canvas *canvas, IImgPicture *picture, DecodeQueue &decodes, Pages pages, int side)
    : QWidget(canvas), m_canvas(canvas), m_picture(picture), m_pages(std::move(pages)), m_side(side), m_decodes(decodes)
{
    setObjectName(QStringLiteral("Magnifier"));
    // The pointer moves over the surface, not over the lens that follows it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(side, side);
    hide();
    // At the screen's refresh rate, while a decode is under way.
    m_poll.setInterval(16);
    connect(&m_poll, &QTimer::timeout, this, &Magnifier::collect);
    connect(canvas, &Canvas::magnifierHeld, this, &Magnifier::hold);
    connect(canvas, &Canvas::magnifierWheel, this, &Magnifier::turnWheel);
    connect(canvas, &Canvas::mouseMoved, this, [this](QMouseEvent *e) {
        if (!isHidden())
            follow(e->position());
    });
}

int Magnifier::sideSetting(const ProgramPaths &paths)
{
    return LensGeometry::sideFromSetting(Ini_Read(paths, QStringLiteral("View"), QStringLiteral("LensSize"), QString()));
}

void Magnifier::hold(bool held)
{
    if (!held) {
        hide();
        return;
    }
    refresh();
    follow(m_canvas->mapFromGlobal(QCursor::pos()));
    show();
    raise();
}

void Magnifier::follow(QPointF pointer)
{
    m_pointer = pointer;
    move(QPoint(qRound(pointer.x() - m_side / 2.0), qRound(pointer.y() - m_side / 2.0)));
    update();
}

void Magnifier::turnWheel(int delta)
{
    m_zoom = LensGeometry::zoomAfter(m_zoom, delta);
    update();
}

bool Magnifier::sharp() const
{
    for (const Source &s : m_sources) {
        if (s.picture.isNull())
            return false;
    }
    return true;
}

void Magnifier::refresh()
{
    const std::vector<PageComposer::ShownPage> &pages = m_pages();
    bool same = pages.size() == m_sources.size();
    for (size_t i = 0; same && i < pages.size(); ++i)
        same = pages[i].file == m_sources[i].page.file && pages[i].rect == m_sources[i].page.rect &&
               pages[i].rotation == m_sources[i].page.rotation;
    if (same)
        return;
    std::vector<Source> before = std::move(m_sources);
    m_sources.clear();
    for (const PageComposer::ShownPage &page : pages) {
        float w = 0, h = 0;
        if (m_picture)
            m_picture->GetImageSize(page.file, w, h);
        // Decoded upright, as every page is, and turned as the surface shows it.
        const bool across = page.rotation == 90 || page.rotation == 270;
        const QSize upright = across ? page.rect.size().transposed() : page.rect.size();
        const QSize size = LensGeometry::pictureSize(upright, QSize(int(w), int(h)), m_canvas->ratio());
        Source source{page, DecodeQueue::keyOf(page.file, size), {}};
        // A page that only moved (another window size, the other view) keeps its picture.
        for (const Source &old : before) {
            if (old.key == source.key && old.page.rotation == page.rotation)
                source.picture = old.picture;
        }
        if (source.picture.isNull() && !size.isEmpty())
            m_decodes.request(source.key, DecodeQueue::Priority::Shown);
        m_sources.push_back(std::move(source));
    }
    m_poll.start();
}

void Magnifier::collect()
{
    bool pending = false;
    for (Source &s : m_sources) {
        if (!s.picture.isNull() || s.key.size.isEmpty())
            continue;
        const DecodeQueue::State state = m_decodes.state(s.key);
        if (state != DecodeQueue::State::Ready) {
            // Dropped meanwhile (another page size, an option): asked for again.
            if (state == DecodeQueue::State::Unknown)
                m_decodes.request(s.key, DecodeQueue::Priority::Shown);
            pending = true;
            continue;
        }
        const std::optional<std::optional<QImage>> decoded = m_decodes.take(s.key);
        if (decoded && *decoded && !(*decoded)->isNull())
            s.picture = s.page.rotation == 0 ? **decoded : (*decoded)->transformed(QTransform().rotate(s.page.rotation));
        else
            s.key.size = QSize(); // cannot be decoded: the lens shows black there
        update();
    }
    if (!pending)
        m_poll.stop();
}

void Magnifier::paintEvent(QPaintEvent *)
{
    // A page turned under the lens while it was held.
    refresh();
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    std::vector<QRect> rects;
    std::vector<QSize> sizes;
    for (const Source &s : m_sources) {
        rects.push_back(s.page.rect);
        sizes.push_back(s.picture.size());
    }
    for (const LensGeometry::Piece &piece : LensGeometry::pieces(m_pointer, m_side, m_zoom, rects, sizes))
        p.drawImage(piece.target, m_sources[size_t(piece.page)].picture, piece.source);
    p.setPen(QPen(QColor(225, 225, 225), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
