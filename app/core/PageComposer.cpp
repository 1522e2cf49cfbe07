#include "core/PageComposer.h"

#include "core/PageGeometry.h"
#include "core/PageNotice.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "imaging/CDIB.h"
#include "imaging/Cls_BookMove.h"
#include "platform/IniRead.h"

#include <ImageDecoder.h>

#include <leafview/ImgPicture.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPainter>

#include <QTransform>

#include <algorithm>
#include <cmath>
#include <exception>

using PageGeometry::roundEven;

namespace {

bool fileExists(const QString &f)
{
    return !f.isEmpty() && QFileInfo(f).isFile();
}

// Copies w x h pixels of a page's picture onto `to` at (x, y).
void copyPicture(const QImage &src, QImage &to, int x, int y, int w, int h)
{
    if (src.isNull() || w <= 0 || h <= 0)
        return;
    QPainter painter(&to);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), src, QRect(0, 0, qMin(w, src.width()), qMin(h, src.height())));
}

// A call queued behind the paints already asked for. Qt queues a window's paint
// at low priority, so a call at normal priority would run before the page it
// follows is on the screen; at low priority it runs after that paint (a draw
// always asks for one, through its surface or the page box, before it queues).
class LateCall : public QEvent
{
public:
    static QEvent::Type type()
    {
        static const int t = QEvent::registerEventType();
        return QEvent::Type(t);
    }
    explicit LateCall(std::function<void()> f) : QEvent(type()), call(std::move(f)) {}
    std::function<void()> call;
};

class LateCallTarget : public QObject
{
public:
    void post(std::function<void()> f)
    {
        QCoreApplication::postEvent(this, new LateCall(std::move(f)), Qt::LowEventPriority);
    }

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != LateCall::type())
            return QObject::event(e);
        static_cast<LateCall *>(e)->call();
        return true;
    }
};

using PageGeometry::Side;

Side sideOf(size_t i, size_t count)
{
    return count == 1 ? PageGeometry::Alone : (i == 0 ? PageGeometry::LeftHalf : PageGeometry::RightHalf);
}

} // namespace

PageComposer::PageComposer(ReadingSession &session, Program &app)
    : m_session(session), m_app(app), m_guard(std::make_unique<LateCallTarget>())
{
    m_decodes.setBudget(DecodeQueue::budgetSetting(app.paths));
    // The program's decoder refuses what the control refuses: both read the
    // same setting of the same file, so a worker's page is the control's page.
    bool ok = false;
    const qint64 mb = Ini_Read(app.paths, QStringLiteral("Limits"), QStringLiteral("DecodeMB"), QString(),
                               app.paths.settingsFile())
                          .toLongLong(&ok);
    ImageDecoder::setMaxImageBytes(ok && mb > 0 ? mb << 20 : 0);
    // What was decoded is only good for the same volume and options.
    const auto forget = [this] {
        m_decodes.dropPages();
        m_stripCache.clear();
        m_lastIndex = -1;
    };
    const auto newBook = [this] {
        m_decodes.newBook();
        m_stripCache.clear();
        m_lastIndex = -1;
    };
    QObject::connect(&session, &ReadingSession::optionChanged, m_guard.get(), forget);
    QObject::connect(&session, &ReadingSession::volumeLoadStarted, m_guard.get(), newBook);
    QObject::connect(&session, &ReadingSession::pagesCleared, m_guard.get(), newBook);
}

PageComposer::~PageComposer()
{
    // Pending look-aheads go first, then the workers are waited for.
    m_guard.reset();
}

void PageComposer::setPrefetching(bool on)
{
    m_prefetching = on;
    if (!on)
        m_decodes.dropPages();
}

int PageComposer::prepare(int index)
{
    const PageStep step = m_session.stepAt(index);
    for (int k = step.first; k <= step.last(); ++k)
        m_session.extractEntry(k);
    return step.first;
}

bool PageComposer::asOnePage(const PageStep &step) const
{
    return m_session.viewMode() != ViewMode::TwoPage || step.wide;
}

QSize PageComposer::pageSize(IImgPicture *picture, const QString &file, qint16 n, QSize surface) const
{
    float w = 0, h = 0;
    if (picture && !file.isEmpty())
        picture->GetImageSize(file, w, h);
    const ViewSettings &view = m_session.view();
    return PageView::drawnSize(PageView::turned(QSizeF(w, h), view.rotation), view, n,
                               m_session.option(ReadingSession::Hundred), surface, m_ratio);
}

void PageComposer::draw(const PageTarget &t, int index, qint16 I_Effect, TurnDirection turn)
{
    QImage &surface = t.surface();
    const qreal ratio = t.ratio > 0 ? t.ratio : 1.0;
    if (surface.size() != m_lastSurface || ratio != m_ratio) {
        m_decodes.dropPages();
        m_lastSurface = surface.size();
    }
    m_ratio = ratio;
    m_logical = PageGeometry::toLogical(surface.size(), ratio);
    ++m_drawCount;
    m_notices.clear();
    m_shownPages.clear();
    // The last picture is shared with Img_Tmp rather than copied into it: a new
    // surface costs less than detaching a copy only to paint it over.
    if (!surface.isDetached())
        surface = QImage(surface.size(), surface.format());
    surface.fill(Qt::black);
    m_shift = QPoint();
    const PageStep step = m_session.stepAt(index);
    if (m_session.view().continuous)
        drawStrip(t, surface);
    else if (asOnePage(step))
        drawOnePage(t, surface, step, I_Effect, turn);
    else
        drawSpread(t, surface, step, I_Effect, turn);
    if (m_session.option(ReadingSession::Sharpen))
        sharpen(surface);
    if (t.show)
        t.show();
    // The steps on either side, the one in the direction of reading first (back
    // after a step back).
    const int previous = m_lastIndex;
    m_lastIndex = index;
    const int ahead = index < previous ? -1 : 1;
    schedulePrefetch(t.picture, {index + ahead, index - ahead}, m_logical, m_ratio);
}

std::vector<PageComposer::Placed> PageComposer::layout(IImgPicture *pic, const PageStep &step, QSize surface) const
{
    const int p = step.first;
    if (asOnePage(step)) {
        const QString f = m_session.Page_Path(p);
        return {{p, f, pageSize(pic, f, 1, surface)}};
    }
    const bool rightToLeft = m_session.option(ReadingSession::TwoPage) && m_session.option(ReadingSession::RightToLeft);
    int leftIdx, rightIdx;
    if (!rightToLeft) {
        leftIdx = p;
        rightIdx = step.count == 2 ? p + 1 : -1;
    } else if (step.count == 2) {
        leftIdx = p + 1;
        if (!fileExists(m_session.Page_Path(leftIdx)))
            leftIdx = p;
        rightIdx = p;
    } else {
        // A lone page stands once, in the half where its order reads a spread's
        // first page: the right half from right to left.
        leftIdx = -1;
        rightIdx = p;
    }
    std::vector<Placed> out;
    for (const int k : {leftIdx, rightIdx}) {
        const QString f = m_session.Page_Path(k);
        out.push_back({k, f, k >= 0 ? pageSize(pic, f, 2, surface) : QSize(0, 0)});
    }
    return out;
}

std::optional<QImage> PageComposer::picture(IImgPicture *pic, const QString &file, QSize size)
{
    const DecodeQueue::Key key = m_prefetching ? DecodeQueue::keyOf(file, size) : DecodeQueue::Key{};
    if (m_prefetching) {
        if (std::optional<std::optional<QImage>> held = m_decodes.take(key))
            return *held;
    }
    // The picture is asked for, not put on the control's surface: only a returned
    // picture tells a decoded page from one that failed.
    pic->SetWidth(size.width());
    pic->SetHeight(size.height());
    pic->SetVisible(false);
    std::optional<QImage> decoded = pic->DisplayPicture(file);
    // Kept for a step back.
    if (m_prefetching)
        m_decodes.put(key, decoded);
    return decoded;
}

PageComposer::Shown PageComposer::shown(IImgPicture *pic, const Placed &page, PageGeometry::Side side, QSize slot)
{
    if (page.entry < 0 || page.entry >= m_session.pageCount() || page.file.isEmpty())
        return {};
    // A header that cannot be read (not an image, or one past the decode limit)
    // is not worth a decode; a readable header may still front a truncated file.
    if (!page.size.isEmpty() && fileExists(page.file)) {
        const QRect logical = PageGeometry::placed(side, page.size, m_logical).translated(m_shift);
        const QRect area = PageGeometry::toDevice(logical, m_ratio);
        std::optional<QImage> img = m_session.view().plain() ? picture(pic, page.file, area.size())
                                                              : turnedPicture(pic, page.file, logical);
        if (img && !img->isNull())
            return {std::move(*img), logical, area, false};
    }
    m_notices.push_back(page.entry);
    const QString name = m_session.pageName(page.entry);
    const QRect logical = PageGeometry::placed(side, slot, m_logical).translated(m_shift);
    const QRect area = PageGeometry::toDevice(logical, m_ratio);
    return {PageNotice::page(area.size(), m_app.lang.Msg_Undecodable.arg(name), m_ratio), logical, area, true};
}

bool PageComposer::noticeShown(int entry) const
{
    return std::find(m_notices.cbegin(), m_notices.cend(), entry) != m_notices.cend();
}

void PageComposer::schedulePrefetch(IImgPicture *pic, std::array<int, 2> steps, QSize surface, qreal ratio)
{
    // A turned page or the strip is decoded where it is drawn.
    if (!m_prefetching || !pic || m_session.view().rotation != 0 || m_session.view().continuous)
        return;
    // The control belongs to a window that may close before the look-ahead runs.
    QObject *control = dynamic_cast<QObject *>(pic);
    if (!control)
        return;
    // After the finished page has been put on the screen, not before: the
    // look-ahead takes the other core and the disk while the page is painted.
    static_cast<LateCallTarget *>(m_guard.get())->post(
        [this, pic, alive = QPointer<QObject>(control), steps, surface, ratio, ticket = m_drawCount] {
            if (!alive || ticket != m_drawCount || !m_prefetching)
                return;
            // The shown step and one on either side; the magnifier's pages, while it
            // is held, take the place of the least recently used.
            m_decodes.setCapacity(3 * (m_session.viewMode() == ViewMode::TwoPage ? 2 : 1));
            for (const int index : steps)
                prefetchStep(pic, index, surface, ratio);
        });
}

void PageComposer::prefetchStep(IImgPicture *pic, int index, QSize surface, qreal ratio)
{
    if (index < 0 || index >= m_session.stepCount())
        return;
    prepare(index);
    const std::vector<Placed> pages = layout(pic, m_session.stepAt(index), surface);
    for (size_t i = 0; i < pages.size(); ++i) {
        const Placed &page = pages[i];
        if (page.entry < 0 || page.size.isEmpty() || !fileExists(page.file))
            continue;
        const QSize device = decodeLimit(
            PageGeometry::toDevice(PageGeometry::placed(sideOf(i, pages.size()), page.size, surface), ratio).size());
        m_decodes.request(DecodeQueue::keyOf(page.file, device), DecodeQueue::Priority::Neighbour);
    }
}

void PageComposer::drawOnePage(const PageTarget &t, QImage &surface, const PageStep &step, qint16 I_Effect,
                               TurnDirection turn)
{
    QImage &Img_Tmp = *t.Img_Tmp;
    IImgPicture *pic = t.picture;
    if (!pic) {
        Img_Tmp = surface.copy();
        return;
    }
    const Placed placed = layout(pic, step, m_logical).front();
    m_shift = scrollShift(PageGeometry::placed(PageGeometry::Alone, placed.size, m_logical));
    const Shown page = shown(pic, placed, PageGeometry::Alone, m_logical);
    const QRect a = page.area;
    if (I_Effect != 1) {
        surface.fill(Qt::black);
        if (page.image.size() == a.size())
            copyPicture(page.image, surface, a.x(), a.y(), a.width(), a.height());
        else
            putPicture(surface, page.image, a);
    } else {
        if (!Img_Tmp.isNull() && Img_Tmp.size() == surface.size())
            surface = Img_Tmp.copy();
        // A page larger than the surface turns as the part of it in view.
        const QRect inView = a.intersected(surface.rect());
        if (inView != a && !page.image.isNull()) {
            QImage part(inView.size(), QImage::Format_RGB32);
            part.fill(Qt::black);
            putPicture(part, page.image, a.translated(-inView.topLeft()));
            turnPage(t, surface, part, inView, turn, false);
        } else {
            turnPage(t, surface, page.image, a, turn, false);
        }
    }
    if (!page.notice && !page.image.isNull())
        m_shownPages.push_back({placed.entry, placed.file, page.logical, m_session.view().rotation});
    Img_Tmp = surface;
}

void PageComposer::drawSpread(const PageTarget &t, QImage &surface, const PageStep &step, qint16 I_Effect,
                              TurnDirection turn)
{
    QImage &Img_Tmp = *t.Img_Tmp;
    IImgPicture *pic = t.picture;
    if (!pic) {
        Img_Tmp = surface.copy();
        return;
    }
    const std::vector<Placed> pages = layout(pic, step, m_logical);
    m_shift = scrollShift(PageGeometry::placed(PageGeometry::LeftHalf, pages[0].size, m_logical)
                              .united(PageGeometry::placed(PageGeometry::RightHalf, pages[1].size, m_logical)));
    // A spread larger than the surface is not turned: it stands where it scrolled.
    if (!m_shift.isNull())
        I_Effect = 0;
    const int sw = m_logical.width(), sh = m_logical.height();
    const int centre = int(roundEven(sw / 2.0));
    // A page that cannot be decoded fills its half.
    const Shown left = shown(pic, pages[0], PageGeometry::LeftHalf, QSize(centre, sh));
    const Shown right = shown(pic, pages[1], PageGeometry::RightHalf, QSize(sw - centre, sh));
    // Puts one page on `to` at x (device pixels), at its own height.
    auto place = [](QImage &to, const Shown &page, int x) {
        if (page.image.size() == page.area.size())
            copyPicture(page.image, to, x, page.area.y(), page.area.width(), page.area.height());
        else
            putPicture(to, page.image, QRect(QPoint(x, page.area.y()), page.area.size()));
    };
    auto remember = [this](const Placed &placed, const Shown &page, int x) {
        if (!page.notice && !page.image.isNull())
            m_shownPages.push_back(
                {placed.entry, placed.file, page.logical.translated(x - page.logical.x(), 0), m_session.view().rotation});
    };
    if (I_Effect != 1) {
        place(surface, left, left.area.x());
        place(surface, right, right.area.x());
        remember(pages[0], left, left.logical.x());
        remember(pages[1], right, right.logical.x());
    } else {
        if (!Img_Tmp.isNull() && Img_Tmp.size() == surface.size())
            surface = Img_Tmp.copy();
        // Both pages are composed side by side into one block that turns as a whole.
        const int bw = left.area.width() + right.area.width();
        QImage block(qMax(bw, 1), qMax(surface.height(), 1), QImage::Format_RGB32);
        block.fill(Qt::black);
        place(block, left, 0);
        place(block, right, left.area.width());
        // A lone page comes to rest where it stands without the effect: an edge on
        // the centre line; so does a spread with a notice, which keeps to its own
        // half. A full spread turns centred as a whole.
        const int w1 = left.logical.width(), w2 = right.logical.width();
        const bool onCentreLine = pages[0].entry < 0 || pages[1].entry < 0 || left.notice || right.notice;
        const int x = onCentreLine ? int(roundEven(sw / 2.0 - w1)) : int(roundEven((sw - w1 - w2) / 2.0));
        const int deviceX = PageGeometry::toDevice(QRect(x, 0, 0, 0), m_ratio).x();
        turnPage(t, surface, block, QRect(deviceX, 0, bw, surface.height()), turn, true);
        remember(pages[0], left, x);
        remember(pages[1], right, x + w1);
    }
    Img_Tmp = surface;
}

void PageComposer::sharpen(QImage &surface)
{
    if (!m_app.ProgramDib || surface.isNull())
        return;
    CDIB &dib = *m_app.ProgramDib;
    try {
        dib.Cls();
        dib.Create(surface.width(), surface.height());
        dib.CloneHDC(surface, CDIB::SRCCOPY, 0, 0);
        dib.Sharpen();
        dib.PaintTo(surface, 0, 0, CDIB::SRCCOPY);
    } catch (const std::exception &e) {
        m_app.logError(QString::fromUtf8(e.what()));
    }
}

void PageComposer::turnPage(const PageTarget &t, QImage &surface, const QImage &page, QRect area, TurnDirection turn,
                            bool pageIsDC)
{
    if (page.isNull() || area.width() <= 0 || area.height() <= 0)
        return;
    if (!t.bookMove) {
        QPainter painter(&surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(area, page, QRect(QPoint(0, 0), area.size()));
        return;
    }
    Cls_BookMove &move = *t.bookMove;
    move.Set_Left(area.left());
    move.Set_Top(area.top());
    move.Set_Width(area.width());
    move.Set_Height(area.height());
    move.Set_MovePos(qint16(turn));
    BookSurface target{surface, t.repaint, {}};
    try {
        move.Move_Page(target, page, pageIsDC ? &page : nullptr);
    } catch (const std::exception &e) {
        m_app.logError(QString::fromUtf8(e.what()));
    }
}

void PageComposer::putPicture(QImage &to, const QImage &picture, QRect area)
{
    if (picture.isNull() || area.isEmpty())
        return;
    QPainter painter(&to);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (picture.size() == area.size()) {
        painter.drawImage(area.topLeft(), picture);
        return;
    }
    // Only the part in view is scaled.
    const QRect inView = area.intersected(to.rect());
    if (inView.isEmpty())
        return;
    const double fx = double(picture.width()) / area.width(), fy = double(picture.height()) / area.height();
    const QRectF source((inView.x() - area.x()) * fx, (inView.y() - area.y()) * fy, inView.width() * fx,
                        inView.height() * fy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(inView), picture, source);
}

QPoint PageComposer::scrollShift(QRect bounds)
{
    m_session.setExtent(bounds.size(), m_logical);
    const QPoint scroll = m_session.scrollOffset();
    // Along an axis where the pages fit they stand where the centring rules put them.
    return {bounds.width() > m_logical.width() ? -bounds.left() - scroll.x() : 0,
            bounds.height() > m_logical.height() ? -bounds.top() - scroll.y() : 0};
}

QSize PageComposer::decodeLimit(QSize device)
{
    // A page zoomed far past the surface is decoded at most this large and
    // scaled where it is drawn: memory stays bounded at any zoom.
    constexpr double kMaxPixels = 24.0 * 1024 * 1024;
    const double pixels = double(device.width()) * device.height();
    if (pixels <= kMaxPixels)
        return device;
    return (QSizeF(device) * std::sqrt(kMaxPixels / pixels)).toSize().expandedTo(QSize(1, 1));
}

QSize PageComposer::uprightDecodeSize(QRect logical) const
{
    const QSize device = decodeLimit(PageGeometry::toDevice(logical, m_ratio).size());
    const int rotation = m_session.view().rotation;
    return rotation == 90 || rotation == 270 ? device.transposed() : device;
}

std::optional<QImage> PageComposer::turnedPicture(IImgPicture *pic, const QString &file, QRect logical)
{
    const int rotation = m_session.view().rotation;
    std::optional<QImage> img = picture(pic, file, uprightDecodeSize(logical));
    if (img && !img->isNull() && rotation != 0)
        *img = img->transformed(QTransform().rotate(rotation));
    return img;
}

void PageComposer::drawStrip(const PageTarget &t, QImage &surface)
{
    if (t.Img_Tmp)
        *t.Img_Tmp = QImage();
    IImgPicture *pic = t.picture;
    ContinuousStrip &strip = m_session.strip();
    const int sw = m_logical.width(), sh = m_logical.height();
    const int width = qMax(1, int(roundEven(sw * m_session.view().zoom / 100.0)));
    m_session.setExtent(QSize(width, 0), m_logical);
    if (!pic || strip.pageCount() == 0)
        return;
    const QPoint scroll = m_session.scrollOffset();
    const int x = width <= sw ? int(roundEven((sw - width) / 2.0)) : -scroll.x();
    const int first = strip.pageAt(scroll.y() - sh), last = strip.pageAt(scroll.y() + 2 * sh - 1);
    const int rotation = m_session.view().rotation;
    auto logicalOf = [&](int k) { return QRect(x, strip.topOf(k) - scroll.y(), width, strip.heightOf(k)); };
    auto keyOf = [&](int k) {
        return StripCache::Key{k, PageGeometry::toDevice(logicalOf(k), m_ratio).size(), rotation};
    };
    // The pages on the surface, decoded now when they were not decoded ahead.
    for (int k = strip.pageAt(scroll.y()); k <= last; ++k) {
        const QRect logical = logicalOf(k);
        if (logical.top() >= sh)
            break;
        const StripCache::Key key = keyOf(k);
        std::optional<QImage> img = m_stripCache.find(key);
        if (!img) {
            m_session.extractEntry(k);
            const QString file = m_session.Page_Path(k);
            img = fileExists(file) ? turnedPicture(pic, file, logical) : std::nullopt;
            if (!img)
                img = QImage();
            m_stripCache.put(key, *img, first, last);
        }
        const QRect area = PageGeometry::toDevice(logical, m_ratio);
        if (img->isNull()) {
            m_notices.push_back(k);
            putPicture(surface, PageNotice::page(area.size(), m_app.lang.Msg_Undecodable.arg(m_session.pageName(k)), m_ratio),
                       area);
            continue;
        }
        putPicture(surface, *img, area);
        m_shownPages.push_back({k, m_session.Page_Path(k), logical, m_session.view().rotation});
    }
    // A screen before and after, on the worker, to be taken when they come in view.
    if (!m_prefetching)
        return;
    for (int k = first; k <= last; ++k) {
        const StripCache::Key key = keyOf(k);
        const QString file = m_session.Page_Path(k);
        if (rotation != 0 || !fileExists(file))
            continue;
        if (m_stripCache.find(key))
            continue;
        m_decodes.request(DecodeQueue::keyOf(file, uprightDecodeSize(logicalOf(k))), DecodeQueue::Priority::Neighbour);
    }
}
