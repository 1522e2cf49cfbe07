#include "views/Frm_FullScreen.h"

#include "core/PageGeometry.h"
#include "core/Program.h"
#include "imaging/Cls_BookMove.h"
#include "platform/Canvas.h"
#include "platform/InputBlocker.h"
#include "views/Frm_ImgViewer.h"
#include "views/Magnifier.h"
#include "views/PageDrag.h"
#include "views/SettingsMenu.h"
#include "views/WindowParts.h"

#include <leafview/ImgPicture.h>
#include <leafview/WheelMouse.h>

#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>

namespace {
constexpr int kTopStripHeight = 19;
constexpr int kPointerHideMs = 2000;
} // namespace

Frm_FullScreen::Frm_FullScreen(Frm_ImgViewer &main)
    : QDialog(&main), m_main(main), m_app(main.program()), m_session(main.session)
{
    setObjectName(QStringLiteral("Frm_FullScreen"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setWindowTitle(m_app.lang.Title_Text);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    m_blocker = new InputBlocker(this);
    // While a page turns, the input that asks for the next step still comes in:
    // the turn ends at once and that step follows.
    m_blocker->letThrough = [this](QObject *target, QEvent *e) {
        return (m_session.loading() && WindowParts::givesUpLoad(target, e, m_app.keys)) ||
               (m_steps.running() && WindowParts::asksForAStep(e, m_app.keys));
    };
    m_steps.hurry = [this] {
        if (Book_Move)
            Book_Move->Set_Exit(true);
    };

    buildWidgets();
    buildMenu();
    createControls();

    // Loading: the wait text, the page-turn object, the wheel.
    lbl_filemsg->setText(m_app.lang.Msg_Loading);
    Book_Move = std::make_unique<Cls_BookMove>();
    if (WheelMouse1)
        WheelMouse1->SetHwnd(PicDraw);

    Tmr_Scroll.setInterval(200);
    connect(&Tmr_Scroll, &QTimer::timeout, this, &Frm_FullScreen::Tmr_Scroll_Timer);
    pointerTimer.setInterval(kPointerHideMs);
    pointerTimer.setSingleShot(true);
    connect(&pointerTimer, &QTimer::timeout, this, [this] { PicDraw->setCursor(Qt::BlankCursor); });

    // The questions at the ends of a volume belong in front, over this window.
    m_session.promptOwner = this;
    connect(&m_session, &ReadingSession::optionChanged, this, &Frm_FullScreen::syncMenu);
    connect(&m_session, &ReadingSession::volumeLoadStarted, this, [this] {
        if (!m_app.IsFullScreen)
            return;
        Shbar->resize(1, Shbar->height());
        showWaitPanel(true, false);
    });
    // The page shows at once; the rest of the volume is counted at its foot.
    connect(&m_session, &ReadingSession::volumeLoadFinished, this, [this] {
        PicBox->hide();
        FullPage_Draw(0);
    });
    connect(&m_session, &ReadingSession::loadRunning, this, [this](bool running) {
        if (running && m_app.IsFullScreen) {
            showWaitPanel(true, false);
        } else if (!running) {
            PicBox->hide();
            FullPage_Draw(0);
        }
    });
    // A page still coming out of its volume is drawn when it is out.
    connect(&m_session, &ReadingSession::pageArrived, this, [this] {
        if (m_awaitingPage && !m_session.listsPending() && m_session.stepOut(m_session.step()))
            FullPage_Draw(0);
    });
    connect(&m_session, &ReadingSession::placeChanged, this, [this](bool isTurn) {
        // A step with others waiting behind it shows its page at once.
        FullPage_Draw(isTurn && !m_steps.othersWaiting() ? m_session.effectFlag() : 0);
    });
    connect(&m_session, &ReadingSession::progress, this, [this](qint32 p, qint32 t, const QString &m) {
        if (m_app.IsFullScreen)
            ZipFile_Progress(p, t, m);
    });
    syncMenu();
    showPointer();
}

Frm_FullScreen::~Frm_FullScreen()
{
    if (m_session.promptOwner == this)
        m_session.promptOwner = &m_main;
}

void Frm_FullScreen::openOver(Frm_ImgViewer &main)
{
    if (main.session.List1().isEmpty())
        return;
    Program &app = main.program();
    app.IsFullScreen = true;
    {
        Frm_FullScreen f(main);
        if (QScreen *screen = main.screen()) {
            f.setGeometry(screen->geometry());
        }
        f.setWindowState(f.windowState() | Qt::WindowFullScreen);
        f.exec();
    }
    app.IsFullScreen = false;
    // The full-screen window took the wheel over.
    if (main.WheelMouse1)
        main.WheelMouse1->SetHwnd(main.PicDraw);
}

void Frm_FullScreen::buildWidgets()
{
    PicDraw = new Canvas(this);
    PicDraw->setObjectName(QStringLiteral("PicDraw"));

    pic_Top = new QWidget(this);
    pic_Top->setObjectName(QStringLiteral("pic_Top"));
    pic_Top->setAutoFillBackground(true);
    QPalette topPal = pic_Top->palette();
    topPal.setColor(QPalette::Window, QColor(0x20, 0x24, 0x2b));
    pic_Top->setPalette(topPal);
    pic_Top->setMouseTracking(true);
    pic_Top->installEventFilter(this);

    const WindowParts::WaitPanel wait = WindowParts::WaitPanel::build(this, QString());
    PicBox = wait.PicBox;
    lbl_filemsg = wait.lbl_filemsg;
    Shback = wait.Shback;
    Shbar = wait.Shbar;
    wait.cmdCancelLoad->setText(m_app.lang.Cap_CancelLoad);
    wait.cmdCancelLoad->setToolTip(m_app.lang.Tip_CancelLoad);
    connect(wait.cmdCancelLoad, &QToolButton::clicked, this, [this] { m_session.cancelLoad(); });
    // A neutral light panel on the black screen.
    QPalette boxPal = PicBox->palette();
    boxPal.setColor(QPalette::Window, QColor(0xe8, 0xea, 0xed));
    PicBox->setPalette(boxPal);

    new PageDrag(PicDraw, m_session, [this](Qt::MouseButton button, double x) {
        PicDraw_MouseDown(button == Qt::LeftButton ? 1 : button == Qt::RightButton ? 2 : 4, x);
    });
    connect(PicDraw, &Canvas::mouseMoved, this, [this](QMouseEvent *) { showPointer(); });
    // Another screen density: the page again at the new one.
    connect(PicDraw, &Canvas::ratioChanged, this, [this] {
        if (m_closed)
            return;
        Img_Tmp = QImage();
        FullPage_Draw(0);
    });
}

void Frm_FullScreen::buildMenu()
{
    mnuFullScreenMenu = new QMenu(this);
    mnuFullScreenMenu->setObjectName(QStringLiteral("mnuFullScreenMenu"));
    const Language &t = m_app.lang;
    auto add = [this](const char *name, const QString &caption, auto slot) {
        QAction *a = mnuFullScreenMenu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuOpen = add("mnuOpen", t.Mnu_Open, &Frm_FullScreen::mnuOpen_Click);
    mnuRecent = mnuFullScreenMenu->addMenu(SettingsMenu::recentBooks(mnuFullScreenMenu, m_app, [this](const QString &path) {
        openAndLeave([this, path] { m_main.openRecent(path); });
    }));
    mnuExport = add("mnuExport", t.Mnu_Export, &Frm_FullScreen::mnuExport_Click);
    mnuSelFolder = add("mnuSelFolder", t.Mnu_SelFolder, &Frm_FullScreen::mnuSelFolder_Click);
    mnuFullScreenMenu->addSeparator()->setObjectName(QStringLiteral("seperator1"));
    mnuShowTwoPage = add("mnuShowTwoPage", t.Mnu_TwoPage, [this] { Set_ViewMode(1); });
    mnuShowOnePage = add("mnuShowOnePage", t.Mnu_OnePage, [this] { Set_ViewMode(0); });
    mnuShowPage = add("mnuShowPage", t.Mnu_BookEffect, &Frm_FullScreen::mnuShowPage_Click);
    mnuShowOriginal = add("mnuShowOriginal", t.Mnu_Original, &Frm_FullScreen::mnuShowOriginal_Click);
    mnuShowJapan = add("mnuShowJapan", t.Mnu_Japan, &Frm_FullScreen::mnuShowJapan_Click);
    for (QAction *a : {mnuShowPage, mnuShowOriginal, mnuShowJapan})
        a->setCheckable(true);
    spreadEntries = SpreadMenu::add(mnuFullScreenMenu, m_session, t,
                                    [this] { m_steps.run([this] { m_session.shiftPairing(); }); });
    viewEntries = ViewMenu::add(mnuFullScreenMenu, m_session, t);
    mnuFullScreenMenu->addSeparator()->setObjectName(QStringLiteral("seperator2"));
    mnuGoFirst = add("mnuGoFirst", t.Mnu_GoFirst, &Frm_FullScreen::mnuGoFirst_Click);
    mnuGoPrev = add("mnuGoPrev", t.Mnu_GoPrev, [this] { guardedStep(false); });
    mnuGoNext = add("mnuGoNext", t.Mnu_GoNext, [this] { guardedStep(true); });
    mnuGoLast = add("mnuGoLast", t.Mnu_GoLast, &Frm_FullScreen::mnuGoLast_Click);
    // The top strip is a way out only for those who know it is there.
    mnuFullScreenMenu->addSeparator()->setObjectName(QStringLiteral("seperator3"));
    mnuLeaveFullScreen = add("mnuLeaveFullScreen", t.Mnu_LeaveFullScreen, &Frm_FullScreen::closeFullScreen);
}

void Frm_FullScreen::createControls()
{
    ImgPicture1 = WindowParts::createImgPicture(m_app.controls, this);
    WheelMouse1 = WindowParts::createWheelMouse(m_app.controls, this, this, SLOT(onWheelChanged(int)));
    lens = new Magnifier(
        PicDraw, ImgPicture1, m_main.composer.decodes(), [this]() -> const auto & { return m_main.composer.shownPages(); },
        Magnifier::sideSetting(m_app.paths));
    PicDraw->setMagnifierKeys(m_app.keys.keysOf(PageKeys::Action::Magnifier));
}

void Frm_FullScreen::syncMenu()
{
    // The marks always tell the session's real options, also when the window opens.
    const bool two = m_session.viewMode() == ViewMode::TwoPage;
    mnuExport->setEnabled(!two);
    mnuShowTwoPage->setVisible(!two);
    mnuShowOnePage->setVisible(two);
    mnuShowPage->setChecked(m_session.option(ReadingSession::BookEffect));
    mnuShowOriginal->setChecked(m_session.option(ReadingSession::Hundred));
    mnuShowJapan->setChecked(m_session.option(ReadingSession::RightToLeft));
    ViewMenu::sync(viewEntries, m_session);
}

// ---------------------------------------------------------------- layout and drawing

void Frm_FullScreen::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    Form_Resize();
}

void Frm_FullScreen::Form_Resize()
{
    if (isMinimized() || m_closed)
        return;
    const int W = width(), H = height();
    pic_Top->setGeometry(0, 0, W, kTopStripHeight);
    PicDraw->setGeometry(0, kTopStripHeight, W, qMax(H - kTopStripHeight, 0));
    showWaitPanel(!PicBox->isHidden(), m_session.extracting() && !m_awaitingPage);
    FullPage_Draw(0);
    pic_Top->raise();
    syncMenu();
}

PageTarget Frm_FullScreen::pageTarget()
{
    return PageTarget{[this]() -> QImage & { return PicDraw->surface(); }, [this] { PicDraw->repaint(); },
                      [this] { PicDraw->update(); }, ImgPicture1, &Img_Tmp, Book_Move.get(),
                      PicDraw->ratio()};
}

void Frm_FullScreen::FullPage_Draw(qint16 I_Effect)
{
    // Once closing, the main window draws what follows.
    if (m_closed)
        return;
    m_main.showPageNumber();
    if (m_session.listsPending())
        return;
    m_awaitingPage = !m_session.stepOut(m_session.step());
    if (m_awaitingPage) {
        showWaitPanel(true, false);
        return;
    }
    if (m_session.extracting())
        showWaitPanel(true, true);
    if (m_session.List1().isEmpty()) {
        PicDraw->clearPicture();
        return;
    }
    m_main.composer.prepare(m_session.step());
    m_main.composer.draw(pageTarget(), m_session.step(), I_Effect, m_session.turn());
}

float Frm_FullScreen::Fit_Percent(qint32 w, qint32 h, qint16 n) const
{
    return PageGeometry::Fit_Percent(w, h, n, false, 0, 0, PicDraw->width(), PicDraw->height());
}

void Frm_FullScreen::showWaitPanel(bool visible, bool aside)
{
    WindowParts::WaitPanel::place(PicBox, visible, aside, rect(), PicDraw->geometry());
}

void Frm_FullScreen::ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg)
{
    WindowParts::WaitPanel{PicBox, lbl_filemsg, Shback, Shbar}.progress(Percent, TotCount, StrMsg);
}

void Frm_FullScreen::Set_ViewMode(qint16 mode)
{
    // The option's change has the main window's own consequences (export button,
    // its drawing); the session regroups the pages, keeping the page in view.
    m_session.setOption(ReadingSession::TwoPage, mode == 1);
    syncMenu();
    FullPage_Draw(0);
}

// ---------------------------------------------------------------- stepping

void Frm_FullScreen::pageStep(bool forward)
{
    // Input is dropped during the step without greying the window.
    const bool wasBlocked = m_blocker->isBlocked();
    m_blocker->setBlocked(true);
    // The session's change draws the page, a new volume's first page too.
    if (forward)
        m_session.stepForward();
    else
        m_session.stepBack();
    m_blocker->setBlocked(wasBlocked);
}

void Frm_FullScreen::guardedStep(bool forward)
{
    m_steps.run([this, forward] { pageStep(forward); });
}

void Frm_FullScreen::PicDraw_MouseDown(int Button, double X)
{
    if (Button == 1) {
        // The left half goes back, unless the controls follow right-to-left reading.
        const bool leftHalf = X >= 0 && X <= PicDraw->width() / 2.0;
        guardedStep(leftHalf == m_session.controlsMirrored());
        return;
    }
    mnuFullScreenMenu->popup(QCursor::pos());
}

bool Frm_FullScreen::Form_KeyDown(QKeyCombination key)
{
    const PageKeys::Action action = m_app.keys.actionFor(key);
    if (QAction *entry = SpreadMenu::forAction(spreadEntries, action)) {
        SpreadMenu::sync(spreadEntries, m_session);
        entry->trigger();
        return true;
    }
    switch (action) {
    case PageKeys::Action::Leave:
    case PageKeys::Action::FullScreen:
        // The way out gives up a load under way before it leaves the full screen.
        if (action == PageKeys::Action::Leave && m_session.loading())
            m_session.cancelLoad();
        else
            closeFullScreen();
        return true;
    case PageKeys::Action::Info:
        if (m_main.showInfo)
            m_main.showInfo();
        return true;
    case PageKeys::Action::Open:
        mnuOpen_Click();
        return true;
    case PageKeys::Action::Export:
        if (mnuExport->isEnabled())
            mnuExport_Click();
        else
            m_session.exportRefused();
        return true;
    default:
        // The arrows point the way the pages go when the controls follow the
        // reading direction; the other step keys always go on or back.
        return pageAction(action, PageKeys::isArrow(key));
    }
}

void Frm_FullScreen::keyPressEvent(QKeyEvent *e)
{
    // Not the dialog's own handling: Escape would close the window without its
    // way out when the settings give Escape to something else.
    e->setAccepted(Form_KeyDown(e->keyCombination()));
}

bool Frm_FullScreen::pageAction(PageKeys::Action action, bool arrow)
{
    using PageKeys::Action;
    const bool mirrored = arrow && m_session.controlsMirrored();
    switch (action) {
    case Action::None:
        return false;
    case Action::Next:
    case Action::Prev:
        guardedStep((action == Action::Next) != mirrored);
        return true;
    case Action::First:
        mnuGoFirst_Click();
        return true;
    case Action::Last:
        mnuGoLast_Click();
        return true;
    case Action::ScreenDown:
    case Action::ScreenUp:
    case Action::ScrollDown:
    case Action::ScrollUp:
        m_steps.run([this, action] {
            const bool wasBlocked = m_blocker->isBlocked();
            m_blocker->setBlocked(true);
            const bool down = action == Action::ScreenDown || action == Action::ScrollDown;
            if (action == Action::ScreenDown || action == Action::ScreenUp)
                m_session.scrollScreen(down);
            else
                m_session.scrollLine(down);
            m_blocker->setBlocked(wasBlocked);
        });
        return true;
    default:
        return ViewMenu::run(m_session, action);
    }
}

void Frm_FullScreen::WheelMouse1_WheelChanged(int Delta)
{
    // While the lens is held the wheel sets its zoom.
    if (PicDraw->magnifying())
        return;
    // Control with the wheel zooms; over pages larger than the surface the
    // wheel scrolls them, and turns (one step per burst) only at their end.
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) {
        ViewMenu::run(m_session, Delta > 0 ? PageKeys::Action::ZoomIn : PageKeys::Action::ZoomOut);
        return;
    }
    if (Delta != 0 && m_session.canScroll(Delta < 0) && !Tmr_Scroll.isActive()) {
        pageAction(PageKeys::Action(Delta < 0 ? PageKeys::Action::ScrollDown : PageKeys::Action::ScrollUp), false);
        return;
    }
    Tmr_ScrollTag = QString::number(Delta);
    // Switching on a running timer does not restart it: one step per burst.
    if (!Tmr_Scroll.isActive())
        Tmr_Scroll.start();
}

void Frm_FullScreen::Tmr_Scroll_Timer()
{
    Tmr_Scroll.stop();
    guardedStep((Tmr_ScrollTag.toInt() < 0) != m_session.controlsMirrored());
}

// ---------------------------------------------------------------- menu

void Frm_FullScreen::mnuOpen_Click()
{
    // A way out too: the book opens once a running turn is done.
    openAndLeave([this] { m_main.cmdopen_MouseDown(Qt::LeftButton); });
}

void Frm_FullScreen::openAndLeave(const std::function<void()> &open)
{
    m_steps.leave([this, open] {
        if (open)
            open();
        closeFullScreen();
    });
}

void Frm_FullScreen::mnuExport_Click()
{
    m_main.cmdfile_MouseDown(Qt::LeftButton);
}

void Frm_FullScreen::mnuSelFolder_Click()
{
    m_main.cmdFolder_MouseDown(Qt::LeftButton);
}

void Frm_FullScreen::mnuShowPage_Click()
{
    // Applies to later page changes: no redraw.
    m_session.setOption(ReadingSession::BookEffect, !m_session.option(ReadingSession::BookEffect));
}

void Frm_FullScreen::mnuShowOriginal_Click()
{
    m_session.setOption(ReadingSession::Hundred, !m_session.option(ReadingSession::Hundred));
    FullPage_Draw(0);
}

void Frm_FullScreen::mnuShowJapan_Click()
{
    m_session.setOption(ReadingSession::RightToLeft, !m_session.option(ReadingSession::RightToLeft));
    FullPage_Draw(0);
}

void Frm_FullScreen::mnuGoFirst_Click()
{
    m_steps.run([this] { m_session.goToStep(0, TurnDirection::LeftOver, true); });
}

void Frm_FullScreen::mnuGoLast_Click()
{
    m_steps.run([this] { m_session.goToStep(m_session.stepCount() - 1, TurnDirection::RightOver, true); });
}

// ---------------------------------------------------------------- pointer and closing

void Frm_FullScreen::showPointer()
{
    PicDraw->unsetCursor();
    pointerTimer.start();
}

bool Frm_FullScreen::eventFilter(QObject *watched, QEvent *event)
{
    // The strip along the top edge closes the window when the mouse reaches it.
    if (watched == pic_Top && (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove))
        closeFullScreen();
    return QDialog::eventFilter(watched, event);
}

void Frm_FullScreen::closeFullScreen()
{
    // During a turn the window waits for its step: the frames on the stack still
    // draw with the page-turn object, and the page it turns to is the one handed back.
    m_steps.leave([this] {
        if (m_closed)
            return;
        m_closed = true;
        Tmr_Scroll.stop();
        pointerTimer.stop();
        m_session.promptOwner = &m_main;
        m_main.Page_Draw(0);
        done(QDialog::Accepted);
    });
}

void Frm_FullScreen::reject()
{
    // Escape gives up a load under way before it leaves the full screen.
    if (m_session.loading()) {
        m_session.cancelLoad();
        return;
    }
    closeFullScreen();
}

void Frm_FullScreen::closeEvent(QCloseEvent *e)
{
    closeFullScreen();
    e->setAccepted(m_closed);
}
