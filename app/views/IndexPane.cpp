#include "views/IndexPane.h"

#include "core/DecodeQueue.h"
#include "core/IndexGeometry.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "platform/SkinButton.h"
#include "views/Frm_ImgViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include "views/WindowParts.h"
#include <QWheelEvent>

using namespace IndexGeometry;

namespace {
constexpr int kTopHeight = 24;
constexpr int kBarHeight = 8;
const QSize kCloseSize(22, 22);
const QSize kWaitSize(209, 56);

void fill(QWidget *w, QColor c)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
}
} // namespace

IndexPane::IndexPane(Frm_ImgViewer &owner)
    : QWidget(&owner)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("Pic_IndexScreen"));
    setAutoFillBackground(true);
    resize(kPaneWidth, 300);
    hide();

    Pic_IndexTop = new QLabel(this);
    Pic_IndexTop->setObjectName(QStringLiteral("Pic_IndexTop"));
    Pic_IndexTop->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdunload = new SkinButton(Pic_IndexTop);
    cmdunload->setObjectName(QStringLiteral("cmdunload"));
    cmdunload->resize(kCloseSize);

    PicBookIndex = new IndexGrid(this);
    PicBookIndex->setObjectName(QStringLiteral("PicBookIndex"));
    PicBookIn = new IndexGrid(PicBookIndex);
    PicBookIn->setObjectName(QStringLiteral("PicBookIn"));
    V_Index = new QScrollBar(Qt::Vertical, this);
    V_Index->setObjectName(QStringLiteral("V_Index"));
    V_Index->setEnabled(false);
    V_Index->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: #1a1e24; width: 20px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #4a5563; min-height: 24px; margin: 2px; border-radius: 3px; }"
        "QScrollBar::handle:vertical:hover { background: #5c6878; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));

    PicInfo = new QFrame(this);
    PicInfo->setObjectName(QStringLiteral("PicInfo"));
    PicInfo->setFrameShape(QFrame::Box);
    PicInfo->setAutoFillBackground(true);
    PicInfo->resize(kWaitSize);
    Label1 = new QLabel(PicInfo);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(6, 6, kWaitSize.width() - 12, 20);
    ShIndexback = new QFrame(PicInfo);
    ShIndexback->setObjectName(QStringLiteral("ShIndexback"));
    ShIndexback->setFrameShape(QFrame::Box);
    ShIndexback->setGeometry((kWaitSize.width() - kProgressTrack - 4) / 2, 32, kProgressTrack + 4, 14);
    Shindexbar = new QFrame(ShIndexback);
    Shindexbar->setObjectName(QStringLiteral("Shindexbar"));
    fill(Shindexbar, QColor(0x3b, 0x82, 0xf6));
    Shindexbar->setGeometry(2, 2, 1, 10);
    PicInfo->hide();

    imglistBar = new QWidget(this);
    imglistBar->setObjectName(QStringLiteral("imglistBar"));
    fill(imglistBar, QColor(0x2c, 0x34, 0x3f));

    connect(cmdunload, &SkinButton::leftPressed, this, [this] { cmdunload_MouseDown(Qt::LeftButton); });
    connect(PicBookIn, &IndexGrid::clicked, this, &IndexPane::Img_List_Click);
    connect(PicBookIn, &IndexGrid::wheelTurned, this, &IndexPane::wheelOverGrid);
    connect(PicBookIndex, &IndexGrid::wheelTurned, this, &IndexPane::wheelOverGrid);
    // valueChanged comes on every change, also while the thumb is dragged.
    connect(V_Index, &QScrollBar::valueChanged, this, &IndexPane::V_Index_Change);
    m_pump.setInterval(0);
    connect(&m_pump, &QTimer::timeout, this, &IndexPane::pump);
    connect(&owner.composer.decodes(), &DecodeQueue::thumbnailReady, this, &IndexPane::decoded);
    // Connected before the main window's own handlers, so the old volume's build
    // stops before anything else of the switch runs.
    connect(&owner.session, &ReadingSession::volumeLoadStarted, this, &IndexPane::volumeLoadStarted);
    // The mark follows the place read, wherever it moved; a click on the other
    // page of a spread keeps its own mark.
    connect(&owner.session, &ReadingSession::placeChanged, this, [this] {
        const PageStep step = m_owner.session.currentStep();
        const int count = int(PicBookIn->Img_List.size());
        if (count > 0 && !step.holds(PicBookIn->highlight()))
            PicBookIn->setHighlight(step.first < count ? step.first : -1);
    });
    connect(&owner.session, &ReadingSession::pagesCleared, this, [this] {
        if (m_owner.program().IsIndexShow)
            cmdunload_MouseDown(Qt::LeftButton);
    });

    owner.openIndex = [this] { open(); };
    owner.buildIndex = [this] { Tmr_Index_Timer(); };
    WindowParts::onKeys(&owner, owner.program().keys, PageKeys::Action::Index, [this] { toggle(); });
}

// The queue is the window's and may be gone already: what it still holds of
// this pane is dropped with it.
IndexPane::~IndexPane() = default;

int IndexPane::workerCount() const
{
    return m_owner.composer.decodes().workerCount();
}

void IndexPane::Skin_Load()
{
    Pic_IndexTop->setPixmap(skinPixmap(m_owner.skinPath(QStringLiteral("bg_listtop.bmp"), true), devicePixelRatioF()));
    cmdunload->setImageFile(m_owner.skinPath(QStringLiteral("b_close.bmp"), false));
    const Program &app = m_owner.program();
    Label1->setText(app.lang.Msg_Table[2]);
    cmdunload->setToolTip(app.lang.Tip_IndexClose);
    m_owner.cmdIndex->setToolTip(app.lang.Tip_Index);
}

void IndexPane::open()
{
    Program &app = m_owner.program();
    if (app.IsIndexShow || m_owner.session.pageCount() < 1)
        return;
    app.IsIndexShow = true;
    m_owner.Form_Resize();
    m_owner.Tmr_Index.timer.start();
    show();
    raise();
}

void IndexPane::cmdunload_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    m_owner.Tmr_Index.timer.stop();
    cancelBuild();
    m_owner.program().IsIndexShow = false;
    hide();
    m_owner.Form_Resize();
    Index_Clear();
}

void IndexPane::toggle()
{
    if (m_owner.program().IsIndexShow)
        cmdunload_MouseDown(Qt::LeftButton);
    else
        m_owner.cmdIndex_MouseDown(Qt::LeftButton);
}

void IndexPane::Tmr_Index_Timer()
{
    m_owner.Tmr_Index.timer.stop();
    if (!m_owner.program().IsIndexShow)
        return;
    V_Index->hide();
    PicBookIndex->hide();
    Index_Build();
}

void IndexPane::Index_Build()
{
    Shindexbar->resize(1, Shindexbar->height());
    PicInfo->show();
    PicInfo->raise();
    PicBookIn->setHighlight(-1);
    Index_Clear();

    m_count = m_owner.session.pageCount();
    m_preparing.assign(size_t(m_count), {});
    ++m_buildId;
    m_nextPrepared = 0;
    m_nextPlaced = 0;
    m_building = true;
    if (m_count == 0)
        finishBuild();
    else
        m_pump.start();
}

void IndexPane::pump()
{
    // How long one turn of making pages ready may keep the window from its events.
    constexpr qint64 kSliceMs = 12;
    ReadingSession &session = m_owner.session;
    DecodeQueue &decodes = m_owner.composer.decodes();
    const qreal ratio = devicePixelRatioF();
    QElapsedTimer slice;
    slice.start();
    while (m_building && m_nextPrepared < m_count && slice.elapsed() < kSliceMs) {
        const int page = m_nextPrepared++;
        const quint64 build = m_buildId;
        // The page's file by the rules a page is drawn by, taken out of its
        // archive once; the composer finds it there later.
        session.extractEntry(page);
        // Extracting may have let events run (a message box) that ended the build.
        if (!m_building || build != m_buildId)
            return;
        IndexGrid::Cell &c = m_preparing[size_t(page)];
        c.name = session.pageName(page);
        c.caption = caption(c.name);
        decodes.requestThumbnail(page, session.Page_Path(page), ratio);
    }
    if (m_nextPrepared >= m_count)
        m_pump.stop();
}

void IndexPane::decoded(int page, const QImage &cell)
{
    if (!m_building || page < m_nextPlaced || page >= m_count)
        return;
    m_waiting[page] = cell;
    const quint64 build = m_buildId;
    for (auto it = m_waiting.find(m_nextPlaced); it != m_waiting.end(); it = m_waiting.find(m_nextPlaced)) {
        const QImage ready = std::move(it->second);
        m_waiting.erase(it);
        placed(m_nextPlaced++, ready);
        if (!m_building || build != m_buildId)
            return;
    }
    if (m_nextPlaced >= m_count)
        finishBuild();
}

void IndexPane::cancelBuild()
{
    m_building = false;
    m_pump.stop();
    m_waiting.clear();
    m_owner.composer.decodes().dropThumbnails();
}

void IndexPane::placed(int page, const QImage &thumbnail)
{
    if (page < 0 || page >= int(m_preparing.size()))
        return;
    IndexGrid::Cell cell = std::move(m_preparing[size_t(page)]);
    cell.picture = thumbnail;
    PicBookIn->Img_List.push_back(std::move(cell));
    Shindexbar->resize(progressWidth(page, m_count), Shindexbar->height());
}

void IndexPane::finishBuild()
{
    m_building = false;
    m_preparing.clear();
    const int count = int(PicBookIn->Img_List.size());
    PicBookIn->setGeometry(0, 0, PicBookIndex->width(), contentHeight(count));
    // The index opens on the page being read, marked, not on the first page.
    const int current = m_owner.session.currentStep().first;
    PicBookIn->setHighlight(current < count ? current : -1);
    applyScrollSettings(current < count ? scrollValueShowing(current, PicBookIndex->height()) : 0);
    Index_DrawGrid();
    PicInfo->hide();
    PicBookIndex->show();
    V_Index->show();
    emit built();
}

void IndexPane::Index_Clear()
{
    cancelBuild();
    m_preparing.clear();
    PicBookIn->Img_List.clear();
    PicBookIn->Img_List.shrink_to_fit();
    PicBookIn->setHighlight(-1);
    PicBookIn->cellsChanged();
}

void IndexPane::Index_DrawGrid()
{
    PicBookIndex->update();
    PicBookIn->update();
}

void IndexPane::Img_List_Click(int i)
{
    if (i < 0 || i >= int(PicBookIn->Img_List.size()) || m_owner.IsProcess)
        return;
    PicBookIn->setHighlight(i);
    // The step holding the page clicked.
    ReadingSession &session = m_owner.session;
    session.goToStep(session.stepOfPage(i), session.turn(), false);
}

void IndexPane::V_Index_Change(int value)
{
    PicBookIn->move(PicBookIn->x(), -value);
}

void IndexPane::applyScrollSettings(int value)
{
    const ScrollSettings s = scrollSettings(PicBookIn->height(), PicBookIndex->height(), value);
    V_Index->setRange(0, s.maximum);
    V_Index->setSingleStep(s.singleStep);
    V_Index->setPageStep(s.pageStep);
    V_Index->setEnabled(s.enabled);
    V_Index->setValue(s.value);
    V_Index_Change(V_Index->value());
}

void IndexPane::Pic_IndexScreen_Resize()
{
    const PaneLayout l = paneLayout(width(), height(), kTopHeight, kBarHeight, kCloseSize, kWaitSize);
    Pic_IndexTop->setGeometry(l.top);
    cmdunload->move(l.closeButton.topLeft());
    PicBookIndex->setGeometry(l.viewport);
    V_Index->setGeometry(l.scrollBar);
    PicInfo->move(l.waitPanel.topLeft());
    imglistBar->setGeometry(l.bottomBar);
    PicBookIn->resize(l.viewport.width(), PicBookIn->height());
    // A new size keeps the place in the grid where it still fits.
    applyScrollSettings(V_Index->value());
    Index_DrawGrid();
    update();
}

int IndexPane::thumbnailCount() const
{
    return int(PicBookIn->Img_List.size());
}

QImage IndexPane::thumbnail(int i) const
{
    return i >= 0 && i < thumbnailCount() ? PicBookIn->Img_List[size_t(i)].picture : QImage();
}

QString IndexPane::captionText(int i) const
{
    return i >= 0 && i < thumbnailCount() ? PicBookIn->Img_List[size_t(i)].caption : QString();
}

void IndexPane::volumeLoadStarted()
{
    if (!m_owner.program().IsIndexShow)
        return;
    // The old volume's cells would show pages of a list about to change.
    m_owner.Tmr_Index.timer.stop();
    Index_Clear();
    PicBookIndex->hide();
    V_Index->hide();
    Shindexbar->resize(1, Shindexbar->height());
    PicInfo->show();
    PicInfo->raise();
}

void IndexPane::wheelOverGrid(QWheelEvent *e)
{
    if (V_Index->isEnabled() && V_Index->isVisible())
        QApplication::sendEvent(V_Index, e);
}

void IndexPane::resizeEvent(QResizeEvent *)
{
    Pic_IndexScreen_Resize();
}

void IndexPane::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const PaneLayout l = paneLayout(width(), height(), kTopHeight, kBarHeight, kCloseSize, kWaitSize);
    for (const EdgeLine &e : l.edges) {
        p.setPen(e.colour);
        p.drawLine(e.line);
    }
}
