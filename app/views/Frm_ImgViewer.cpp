#include "views/Frm_ImgViewer.h"
#include "views/DropOpen.h"
#include "views/EventHook.h"
#include "views/Frm_FullScreen.h"
#include "views/PageArea.h"
#include "views/TopBar.h"
#include "views/WindowParts.h"

#include "archive/ArchiveReader.h"
#include "archive/cUnzip.h"
#include "core/CommandLine.h"
#include "core/PageKeys.h"
#include "core/ExportFolderFile.h"
#include "core/SessionLifecycle.h"
#include "platform/IniRead.h"
#include "views/Magnifier.h"
#include "core/Program.h"
#include "imaging/CDIB.h"
#include "imaging/Cls_BookMove.h"
#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/InputBlocker.h"
#include "platform/InstanceGate.h"
#include "platform/KeyCodes.h"
#include "platform/QtTranslations.h"
#include "platform/SkinButton.h"

#include <leafview/WheelMouse.h>

#include <QApplication>
#include <QGuiApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QAction>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QTimer>

#include <exception>
#include <utility>


Frm_ImgViewer::Frm_ImgViewer(Program &app, QWidget *parent) : QWidget(parent), m_app(app)
{
    setObjectName(QStringLiteral("Frm_ImgViewer"));
    new DropOpen(*this);
    // Timers are disabled when their window is created and enabled by code.
    Tmr_Load.timer.setInterval(200);
    connect(&Tmr_Load.timer, &QTimer::timeout, this, &Frm_ImgViewer::Tmr_Load_Timer);
    Tmr_Scroll.timer.setInterval(200);
    connect(&Tmr_Scroll.timer, &QTimer::timeout, this, &Frm_ImgViewer::Tmr_Scroll_Timer);
    Tmr_Connect.timer.setInterval(100);
    connect(&Tmr_Connect.timer, &QTimer::timeout, this, [this] {
        Tmr_Connect.timer.stop();
        if (sendUsageRequest)
            sendUsageRequest();
    });
    Tmr_Index.timer.setInterval(200);
    connect(&Tmr_Index.timer, &QTimer::timeout, this, [this] {
        Tmr_Index.timer.stop();
        if (buildIndex)
            buildIndex();
    });

    anotherInstanceRunning = [this] {
        // Held while the window lives; a later start hands its path over to it.
        if (!m_instanceGate) {
            m_instanceGate = std::make_unique<InstanceGate>(m_app.paths.dataFolder);
            connect(m_instanceGate.get(), &InstanceGate::pathReceived, this, &Frm_ImgViewer::openHandedPath);
        }
        return !m_instanceGate->claim(m_handOverPath);
    };
    m_handedPath.ready = [this] {
        // Not while a volume loads, a dialog waits for an answer or a page turns.
        return !IsProcess && !m_unloaded && isEnabled() && !QApplication::activeModalWidget() && !isBusy();
    };
    m_handedPath.open = [this](const QString &path) { openHandedPathNow(path); };
    // While a page turns, the page and its step buttons still take the input that
    // asks for the next step: the turn ends at once and that step follows.
    m_steps.hurry = [this] {
        if (m_bookMove)
            m_bookMove->Set_Exit(true);
    };
    m_inputBlocker.letThrough = [this](QObject *target, QEvent *e) {
        if (session.loading() && WindowParts::givesUpLoad(target, e, m_app.keys))
            return true;
        const bool stepTarget = target == PicDraw || target == cmdfirst || target == cmdprev || target == cmdnext ||
                                target == cmdlast;
        return m_steps.running() && stepTarget && WindowParts::asksForAStep(e, m_app.keys);
    };
    // Leaves every event loop at once, a dialog's too: closing the window always
    // ends the process (its state is saved by then).
    endProcess = [] { QCoreApplication::exit(0); };

    session.promptOwner = this;
    openFullScreen = [this] { Frm_FullScreen::openOver(*this); };
    openRecent = [this](const QString &path) { DropOpen::openPath(*this, path); };
    buildWidgets();
    createControls();
    connectSession();
}

Frm_ImgViewer::~Frm_ImgViewer() = default;

void Frm_ImgViewer::connectSession()
{
    TopBar::followSession(*this);
    connect(&session, &ReadingSession::volumeLoadStarted, this, &Frm_ImgViewer::onVolumeLoadStarted);
    connect(&session, &ReadingSession::volumeLoadFinished, this, &Frm_ImgViewer::onVolumeLoadFinished);
    connect(&session, &ReadingSession::placeChanged, this, &Frm_ImgViewer::onPlaceChanged);
    connect(&session, &ReadingSession::loadRunning, this, &Frm_ImgViewer::onLoadRunning);
    connect(&session, &ReadingSession::pageArrived, this, [this] {
        if (m_awaitingPage && session.stepOut(session.step()) && !m_app.IsFullScreen)
            Page_Draw(0);
    });
    PageArea::followSession(*this);
}

void Frm_ImgViewer::onLoadRunning(bool running)
{
    if (running) {
        if (!m_app.IsFullScreen)
            showWaitPanel(true);
        setBusy(true);
        return;
    }
    // A page that never came (a damaged member) is drawn as what it is.
    if (m_awaitingPage && !m_app.IsFullScreen)
        Page_Draw(0);
    showWaitPanel(m_awaitingPage);
    if (std::exchange(m_indexAfterLoad, false) && m_app.IsIndexShow)
        Tmr_Index.timer.start();
    setBusy(false);
}

void Frm_ImgViewer::cancelLoad()
{
    session.cancelLoad();
}

void Frm_ImgViewer::onVolumeLoadStarted(const QString &volume)
{
    setBusy(false);
    Shbar->resize(1, Shbar->height());
    setBusy(true);
    setWindowTitle(m_app.lang.Title_Text + QStringLiteral(" [") + volume + QLatin1Char(']'));
    // The full-screen window shows its own wait panel while it is open.
    if (!m_app.IsFullScreen)
        showWaitPanel(true);
    PicDraw->clearPicture();
    lblpage->setText(QStringLiteral("/0"));
}

void Frm_ImgViewer::showWaitPanel(bool visible)
{
    const bool aside = session.extracting() && !m_awaitingPage && !session.listsPending();
    WindowParts::WaitPanel::place(PicBox, visible, aside, rect(), PicDraw->geometry());
}

void Frm_ImgViewer::onVolumeLoadFinished()
{
    // The rest of a volume still coming out is counted at the foot of the page.
    showWaitPanel(session.extracting() && !m_app.IsFullScreen);
    // Hidden while the initial open lists the book: the first page shows as
    // soon as it is out, while the rest of the volume follows.
    PicDraw->show();
    Page_Draw(0);
    // The thumbnails wait for the pages still coming out.
    m_indexAfterLoad = m_app.IsIndexShow && session.extracting();
    if (m_app.IsIndexShow && !m_indexAfterLoad)
        Tmr_Index.timer.start();
    setBusy(false);
    // The keys go to the new volume's pages, also after an enclosing command (the
    // open command) enables the window again.
    m_focusBeforeBusy = PicDraw;
    PicDraw->setFocus();
}

void Frm_ImgViewer::buildWidgets()
{
    resize(1024, 768);
    setMinimumSize(200, 150);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x20, 0x24, 0x2b));
    setPalette(pal);
    setAutoFillBackground(true);

    TopBar::build(*this);
    PageArea::build(*this);
    styleWidgets();

    // F11 reads on in full screen, as in other viewers on this desktop.
    WindowParts::onKeys(this, m_app.keys, PageKeys::Action::FullScreen,
                        [this] { cmdfullscreen_MouseDown(Qt::LeftButton); });

    // The spread entries, on the page's menu and under their letters.
    mnuPage = new QMenu(this);
    mnuPage->setObjectName(QStringLiteral("mnuPage"));
    spreadEntries = SpreadMenu::add(mnuPage, session, m_app.lang, [this] { turn([this] { session.shiftPairing(); }); });
    viewEntries = ViewMenu::add(mnuPage, session, m_app.lang);
    for (const PageKeys::Action a :
         {PageKeys::Action::WideAlone, PageKeys::Action::CoverAlone, PageKeys::Action::ShiftPairing})
        WindowParts::onKeys(this, m_app.keys, a, [this, a] { spreadKey(a); });

    // The way out gives up a load under way; otherwise, anywhere in the window,
    // it minimises the window.
    WindowParts::onKeys(this, m_app.keys, PageKeys::Action::Leave, [this] {
        if (session.loading())
            cancelLoad();
        else
            showMinimized();
    });
}

void Frm_ImgViewer::createControls()
{
    // Both pictures are off-screen loaders (the second builds the thumbnails).
    ImgPicture1 = WindowParts::createImgPicture(m_app.controls, this);
    ImgPicture2 = WindowParts::createImgPicture(m_app.controls, this);
    WheelMouse1 = WindowParts::createWheelMouse(m_app.controls, this, this, SLOT(onWheelChanged(int)));
    lens = new Magnifier(
        PicDraw, ImgPicture1, composer.decodes(), [this]() -> const auto & { return composer.shownPages(); },
        Magnifier::sideSetting(m_app.paths));
    PicDraw->setMagnifierKeys(m_app.keys.keysOf(PageKeys::Action::Magnifier));
}

// ---------------------------------------------------------------- start-up

bool Frm_ImgViewer::Form_Load(const QString &commandLine)
{
    // A second start hands its path to the running window and ends.
    m_handOverPath = CommandLine::parse(commandLine).path();
    if (anotherInstanceRunning && anotherInstanceRunning())
        return false;
    // The texts first: the title and every caption below are read from them.
    Lang_Load();
    setWindowTitle(m_app.lang.Title_Text);
    // The readers extract into TmpZip from the first volume on.
    QDir().mkpath(m_app.paths.tmpZip());
    const CommandLine cmd = CommandLine::parse(commandLine);
    Cmd_Folder = cmd.Cmd_Folder;
    Cmd_File = cmd.Cmd_File;
    // The wheel turns pages only over the page surface.
    if (WheelMouse1)
        WheelMouse1->SetHwnd(PicDraw);
    m_app.ExportFolder = ExportFolderFile::read(m_app.paths.exportFolderFile());
    // How spreads are grouped outlives the book; it is never in the resume record.
    SpreadMenu::restore(session, m_app.paths.exportFolderFile());
    SpreadMenu::keep(session, m_app.paths.exportFolderFile());
    ViewMenu::restore(session, m_app.paths.exportFolderFile());
    ViewMenu::keep(session, m_app.paths.exportFolderFile());
    // The page buttons stay grey until a book is open.
    Set_ButtonState(false);
    createReaders();
    Skin_Load();
    // The usage request waits for the event loop, so it never delays the window.
    Tmr_Connect.timer.start();
    // The wait panel stands over the surface until the initial open is done.
    PicBox->show();
    PicBox->raise();
    // The window is maximised by design.
    move(0, 0);
    // The initial open runs as soon as the wait panel has been painted, so the
    // first page (or the resume question) follows the window at once. The timer
    // only stands in for a window that is never painted (started minimised).
    Tmr_Load.Tag.clear();
    Tmr_Load.timer.start();
    EventHook::install(PicBox, [this, armed = true](QEvent *e) mutable {
        if (armed && e->type() == QEvent::Paint) {
            armed = false;
            QTimer::singleShot(0, this, &Frm_ImgViewer::Tmr_Load_Timer);
        }
        return false;
    });
    return true;
}

void Frm_ImgViewer::createReaders()
{
    m_bookMove = std::make_unique<Cls_BookMove>();
    SessionLifecycle::createReaders(session);
}

void Frm_ImgViewer::Lang_Load()
{
    // The language flag: the command line, the settings or the desktop may ask for
    // the other texts.
    SessionLifecycle::loadLanguage(m_app);
    QtTranslations::apply(m_app.lang.Lang_Mode != 1);
    const Language &t = m_app.lang;
    chkeffect->setText(t.ChkEffectCaption);
    chk_japan->setText(t.ChkJapanCaption);
    chk_view->setText(t.ChkViewCaption);
    Chk_Sharpen->setText(t.ChkSharpenCaption);
    SpreadMenu::setTexts(spreadEntries, t);
    ViewMenu::setTexts(viewEntries, t);
    lblnoimage->setText(t.Msg_NoImage);
    lblnoimage->adjustSize();
    lbl_filemsg->setText(t.Msg_Wait);
    cmdCancelLoad->setText(t.Cap_CancelLoad);
    cmdCancelLoad->setToolTip(t.Tip_CancelLoad);
    // At narrow widths the buttons show icons only: each says what it does.
    const std::pair<QWidget *, QString> tips[] = {
        {cmdopen, t.Tip_Open}, {cmdfirst, t.Tip_First}, {cmdprev, t.Tip_Prev}, {cmdnext, t.Tip_Next},
        {cmdlast, t.Tip_Last}, {cmdfile, t.Tip_Export}, {cmdFolder, t.Tip_ExportFolder},
        {cmdfullscreen, t.Tip_FullScreen}, {img_Tip, t.Tip_HowTo}, {img_Info, t.Tip_Info}};
    for (const auto &[control, tip] : tips)
        control->setToolTip(tip);
}

void Frm_ImgViewer::applyLanguage(qint16 mode)
{
    // A choice made now outranks the command line's for the rest of the run.
    m_app.langOption = mode == 1 ? QStringLiteral("en") : QStringLiteral("ko");
    Lang_Load();
    Skin_Load();
    Set_ButtonState(!session.List1().isEmpty());
    if (session.List1().isEmpty())
        setWindowTitle(m_app.lang.Title_Text);
    else
        Page_Draw(0);
}

void Frm_ImgViewer::Tmr_Load_Timer()
{
    Tmr_Load.timer.stop();
    // Whichever comes first, the first paint or the timer, opens; the other finds
    // the mark that from now on the window redraws on resizing.
    if (Tmr_Load.Tag == QLatin1String("exe") || m_unloaded)
        return;
    Tmr_Load.Tag = QStringLiteral("exe");
    Open_Initial();
}

QString Frm_ImgViewer::resumeFile() const
{
    return m_app.paths.dataFolder + QLatin1Char('/') + ResumeRecord::fileName();
}

void Frm_ImgViewer::reportKeyProblems()
{
    if (m_app.keyProblems.isEmpty())
        return;
    const QString problems = m_app.keyProblems.join(QLatin1Char('\n'));
    m_app.logError(problems);
    m_app.prompts->messageBox(this, m_app.lang.Title_Text, m_app.lang.Msg_KeyProblems.arg(problems),
                              MsgIcon::Exclamation, MsgButtons::Ok);
}

void Frm_ImgViewer::Open_Initial()
{
    try {
        PicDraw->hide();
        reportKeyProblems();
        SessionLifecycle::openAtStart(session, resumeFile(), [this] { Set_ButtonState(true); });
    } catch (const std::exception &e) {
        m_app.logError(QString::fromLocal8Bit(e.what()));
    }
    // The pending command-line state ends with the initial open, whatever it opened:
    // a folder chosen later lists its sub-folders again.
    Cmd_Folder.clear();
    Cmd_File.clear();
    session.afterLoad([this] {
        if (session.List1().isEmpty()) {
            PicTipOut->show();
            PicTipOut->raise();
            Set_ButtonState(false);
        }
        // Always leave the window usable: a failure above must not freeze the wait panel.
        raise();
        activateWindow();
        PicBox->hide();
        PicDraw->show();
        // The surface was hidden while the first volume loaded, so it could not take
        // the focus then; the reader's first key should turn the page.
        PicDraw->setFocus();
    });
}

// ---------------------------------------------------------------- shutdown

void Frm_ImgViewer::Form_Unload()
{
    // During a turn the window waits for its step: the frames on the stack still
    // draw with the page-turn object, and the page it turns to is the one recorded.
    m_steps.leave([this] { unloadNow(); });
}

void Frm_ImgViewer::unloadNow()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Tmr_Load.timer.stop();
    Tmr_Scroll.timer.stop();
    Tmr_Connect.timer.stop();
    Tmr_Index.timer.stop();
    // A start from now on runs its own window instead of handing its path here.
    if (m_instanceGate)
        m_instanceGate->release();
    m_handedPath.drop();
    // What is kept is the place in view, not a book still loading.
    session.stopLoad();
    const bool finished = SessionLifecycle::keepOnExit(session, resumeFile());
    m_bookMove.reset();
    SessionLifecycle::releaseReaders(session);
    if (!finished) {
        // Unregister_Controls: the control libraries, then the program DIB surface.
        if (m_app.controls)
            m_app.controls->unregisterAll();
        m_app.ProgramDib.reset();
    }
    if (endProcess)
        endProcess();
}

void Frm_ImgViewer::openHandedPath(const QString &path)
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    if (!m_unloaded)
        m_handedPath.offer(path);
}

void Frm_ImgViewer::openHandedPathNow(const QString &path)
{
    setBusy(true);
    PicTipOut->hide();
    Set_ButtonState(true);
    SessionLifecycle::openHandedOver(session, path);
    session.afterLoad([this] {
        if (session.List1().isEmpty()) {
            Set_ButtonState(false);
            if (session.volumeCount() == 0) {
                PicTipOut->show();
                PicTipOut->raise();
            }
        }
        setBusy(false);
    });
}

void Frm_ImgViewer::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    e->setAccepted(m_unloaded);
}

// ---------------------------------------------------------------- page drawing

void Frm_ImgViewer::showPageNumber()
{
    TopBar::showPageNumber(*this);
}

PageTarget Frm_ImgViewer::pageTarget()
{
    return PageTarget{[this]() -> QImage & { return PicDraw->surface(); }, [this] { PicDraw->repaint(); },
                      [this] { PicDraw->update(); }, ImgPicture1, &Img_Tmp, m_bookMove.get(),
                      PicDraw->ratio()};
}

void Frm_ImgViewer::Page_Draw(qint16 I_Effect)
{
    // Until a load has its pages, the lists are the old book's, whose files may
    // have gone already.
    if (session.listsPending())
        return;
    const bool wasAwaiting = std::exchange(m_awaitingPage, !session.List1().isEmpty() && !session.stepOut(session.step()));
    if (m_awaitingPage) {
        // Drawn when its file is out.
        showPageNumber();
        showWaitPanel(true);
        return;
    }
    if (wasAwaiting)
        showWaitPanel(session.extracting());
    if (session.List1().isEmpty()) {
        PicDraw->clearPicture();
        showPageNumber();
        Set_ButtonState(false);
        return;
    }
    Set_ButtonState(true);
    showPageNumber();
    if (session.viewMode() == ViewMode::TwoPage)
        cmdfile->setEnabled(false);
    const int p = composer.prepare(session.step());
    setWindowTitle(session.pageCaption(p));
    composer.draw(pageTarget(), session.step(), I_Effect, session.turn());
}

void Frm_ImgViewer::onPlaceChanged(bool isTurn)
{
    if (m_app.IsFullScreen) {
        showPageNumber();
        return;
    }
    // A step with others waiting behind it shows its page at once.
    Page_Draw(isTurn && !m_steps.othersWaiting() ? session.effectFlag() : 0);
}

void Frm_ImgViewer::chk_view_Click()
{
    // The session has regrouped the pages, keeping the page in view.
    const bool two = session.viewMode() == ViewMode::TwoPage;
    cmdfile->setEnabled(!two);
    if (two)
        chk_japan->setEnabled(true);
    // The first turn after a switch starts from an empty background.
    Img_Tmp = QImage();
    Page_Draw(0);
}

void Frm_ImgViewer::chk_japan_Click()
{
    Page_Draw(0);
}

void Frm_ImgViewer::Chk_hundred_Click()
{
    Page_Draw(0);
}

void Frm_ImgViewer::Chk_Sharpen_Click()
{
    Page_Draw(0);
}

// ---------------------------------------------------------------- navigation

void Frm_ImgViewer::setBusy(bool busy)
{
    // The window takes no command until a load has its pages, but Escape and the
    // wait panel's cancel button (InputBlocker::letThrough).
    if (!busy && session.listsPending())
        return;
    // Input is dropped rather than the window disabled: a disabled window greys its
    // top bar on every page turn and loses its keyboard focus.
    if (busy) {
        if (!m_inputBlocker.isBlocked())
            m_focusBeforeBusy = focusWidget();
        m_inputBlocker.setBlocked(true);
        return;
    }
    m_inputBlocker.setBlocked(false);
    if (m_focusBeforeBusy)
        m_focusBeforeBusy->setFocus();
}

void Frm_ImgViewer::Go_Prev()
{
    turn([this] { session.stepBack(); });
}

void Frm_ImgViewer::Go_Next()
{
    turn([this] { session.stepForward(); });
}

void Frm_ImgViewer::turn(const std::function<void()> &move)
{
    m_steps.run([this, move] {
        setBusy(true);
        move();
        setBusy(false);
    });
}

void Frm_ImgViewer::cmdnext_MouseDown()
{
    TopBar::stepButton(*this, cmdnext, QStringLiteral("b_next"), TopBar::StepPress::PaintedAndHeld,
                       [this] { Go_Next(); });
}

void Frm_ImgViewer::cmdprev_MouseDown()
{
    TopBar::stepButton(*this, cmdprev, QStringLiteral("b_prev"), TopBar::StepPress::PaintedAndHeld,
                       [this] { Go_Prev(); });
}

void Frm_ImgViewer::cmdfirst_MouseDown()
{
    // The first page is reached as a backward step, with its direction and effect.
    TopBar::stepButton(*this, cmdfirst, QStringLiteral("b_start2"), TopBar::StepPress::Painted,
                       [this] { turn([this] { session.goToFirst(); }); });
}

void Frm_ImgViewer::cmdlast_MouseDown()
{
    if (session.List1().isEmpty())
        return;
    TopBar::stepButton(*this, cmdlast, QStringLiteral("b_fast2"), TopBar::StepPress::Plain,
                       [this] { turn([this] { session.goToLast(); }); });
}

bool Frm_ImgViewer::PicDraw_KeyUp(QKeyCombination key)
{
    return pageAction(m_app.keys.actionFor(key), PageKeys::isArrow(key));
}

bool Frm_ImgViewer::pageAction(PageKeys::Action action, bool arrow)
{
    using PageKeys::Action;
    // Following the reading direction, the arrows point the way the pages go.
    if (arrow && session.controlsMirrored())
        action = action == Action::Next ? Action::Prev : action == Action::Prev ? Action::Next : action;
    // A key released while a step runs queues its own behind it.
    switch (action) {
    case Action::Next:
        Go_Next();
        return true;
    case Action::Prev:
        Go_Prev();
        return true;
    case Action::First:
        // The first or last page (or spread), as the two buttons reach them.
        cmdfirst_MouseDown();
        return true;
    case Action::Last:
        cmdlast_MouseDown();
        return true;
    case Action::ScreenDown:
    case Action::ScreenUp:
        turn([this, action] { session.scrollScreen(action == Action::ScreenDown); });
        return true;
    case Action::ScrollDown:
    case Action::ScrollUp:
        turn([this, action] { session.scrollLine(action == Action::ScrollDown); });
        return true;
    default:
        return ViewMenu::run(session, action);
    }
}

void Frm_ImgViewer::PicDraw_MouseDown(Qt::MouseButton button, double x)
{
    if (button == Qt::RightButton && mnuPage && !session.List1().isEmpty()) {
        mnuPage->popup(QCursor::pos());
        return;
    }
    if (button != Qt::LeftButton)
        return;
    const bool leftHalf = x >= 0 && x <= PicDraw->width() / 2.0;
    if (leftHalf != session.controlsMirrored())
        Go_Prev();
    else
        Go_Next();
}

bool Frm_ImgViewer::spreadKey(PageKeys::Action action)
{
    QAction *entry = SpreadMenu::forAction(spreadEntries, action);
    if (!entry)
        return false;
    SpreadMenu::sync(spreadEntries, session);
    entry->trigger();
    return true;
}

void Frm_ImgViewer::PicDraw_MouseMove()
{
    // Keys and the wheel reach the page only while the surface has the focus.
    if (QApplication::focusWidget() && QApplication::focusWidget() != PicDraw) {
        PicDraw->setFocus();
        if (!PicDraw->hasFocus() && PicDraw->isVisible() && isActiveWindow())
            m_app.logError(QStringLiteral(" 휠마우스 Focus 잃음 "));
    }
}

void Frm_ImgViewer::WheelMouse1_WheelChanged(int Delta)
{
    // While the lens is held the wheel sets its zoom.
    if (PicDraw->magnifying())
        return;
    // Control with the wheel zooms; over pages larger than the surface the
    // wheel scrolls them, and turns (one step per burst) only at their end.
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier) {
        ViewMenu::run(session, Delta > 0 ? PageKeys::Action::ZoomIn : PageKeys::Action::ZoomOut);
        return;
    }
    if (Delta != 0 && session.canScroll(Delta < 0) && !Tmr_Scroll.timer.isActive()) {
        turn([this, Delta] { session.scrollLine(Delta < 0); });
        return;
    }
    Tmr_Scroll.Tag = QString::number(Delta);
    // Enabling a running timer does not restart it: one step per burst.
    if (!Tmr_Scroll.timer.isActive())
        Tmr_Scroll.timer.start();
}

void Frm_ImgViewer::Tmr_Scroll_Timer()
{
    Tmr_Scroll.timer.stop();
    if ((Tmr_Scroll.Tag.toInt() >= 0) != session.controlsMirrored())
        Go_Prev();
    else
        Go_Next();
}

void Frm_ImgViewer::txtpage_KeyUp(int keyCode)
{
    if (keyCode != KeyCodes::Enter)
        return;
    if (!session.goToPageBox(txtpage->text())) {
        m_app.ErrorLog += QStringLiteral("txtpage key setfocus \r\n");
        return;
    }
    PicDraw->setFocus();
}
