#pragma once
#include "core/PageComposer.h"
#include "core/ReadingSession.h"
#include "core/StepQueue.h"
#include "views/SpreadMenu.h"
#include "views/ViewMenu.h"

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <functional>
#include <memory>

class Frm_ImgViewer;
class Program;
class Canvas;
class Magnifier;
class QFrame;
class QLabel;
class QMenu;
class QAction;
class IImgPicture;
class IWheelMouse;
class Cls_BookMove;
class InputBlocker;

// The page, or the spread, on the whole screen without any of the main window's
// panes; every command is on a pop-up menu. It is a view of the main window's
// reading session: it moves the session's place through its operations and
// draws wherever the session goes, so the main window shows the same place when
// it closes.
class Frm_FullScreen : public QDialog
{
    Q_OBJECT
public:
    explicit Frm_FullScreen(Frm_ImgViewer &main);
    ~Frm_FullScreen() override;

    // The main window's full-screen command: nothing with an empty page list;
    // otherwise the window, modal, on the screen that holds the main window.
    static void openOver(Frm_ImgViewer &main);

    // Draws the session's current step; I_Effect 1 animates the turn to it.
    void FullPage_Draw(qint16 I_Effect = 0);
    float Fit_Percent(qint32 w, qint32 h, qint16 n) const;
    // 0 one page, 1 two-page spread.
    void Set_ViewMode(qint16 mode);
    // Button 1 steps (left half back, right half forward); any other opens the menu.
    void PicDraw_MouseDown(int Button, double X);
    void ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg);
    // The wait panel in the middle, or at the foot of the page while the rest of a
    // volume comes out.
    void showWaitPanel(bool visible, bool aside);
    // Key-down handler: the key's action in the settings' key map; true when the
    // key was used.
    bool Form_KeyDown(QKeyCombination key);
    // What a key asks for (PageKeys), run; `arrow` for Left and Right. False for
    // no action.
    bool pageAction(PageKeys::Action action, bool arrow);
    void WheelMouse1_WheelChanged(int Delta);
    void Tmr_Scroll_Timer();
    // Lays the strip, the surface and the wait panel out on the client area and draws.
    void Form_Resize();
    // Has the main window draw the place in view, and closes.
    void closeFullScreen();

    // The menu entries, in menu order.
    void mnuOpen_Click();
    // Runs `open` (a book changes), then leaves the full screen at the page it opened at.
    void openAndLeave(const std::function<void()> &open);
    void mnuExport_Click();
    void mnuSelFolder_Click();
    void mnuShowPage_Click();
    void mnuShowOriginal_Click();
    void mnuShowJapan_Click();
    void mnuGoFirst_Click();
    void mnuGoLast_Click();

    QWidget *pic_Top = nullptr;
    Canvas *PicDraw = nullptr;
    Magnifier *lens = nullptr;
    QFrame *PicBox = nullptr;
    QLabel *lbl_filemsg = nullptr;
    QFrame *Shback = nullptr;
    QFrame *Shbar = nullptr;
    IImgPicture *ImgPicture1 = nullptr;
    IWheelMouse *WheelMouse1 = nullptr;
    QImage Img_Tmp;
    QTimer Tmr_Scroll;
    QString Tmr_ScrollTag;
    QMenu *mnuFullScreenMenu = nullptr;
    QAction *mnuRecent = nullptr; // the recent books' submenu
    QAction *mnuOpen = nullptr, *mnuExport = nullptr, *mnuSelFolder = nullptr, *mnuShowTwoPage = nullptr,
            *mnuShowOnePage = nullptr, *mnuShowPage = nullptr, *mnuShowOriginal = nullptr, *mnuShowJapan = nullptr,
            *mnuGoFirst = nullptr, *mnuGoPrev = nullptr, *mnuGoNext = nullptr, *mnuGoLast = nullptr,
            *mnuLeaveFullScreen = nullptr;
    SpreadMenu::Entries spreadEntries;
    ViewMenu::Entries viewEntries;
    // Hides the mouse pointer over the page after a while without movement.
    QTimer pointerTimer;

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void reject() override;

private slots:
    void onWheelChanged(int Delta) { WheelMouse1_WheelChanged(Delta); }

private:
    void buildWidgets();
    void buildMenu();
    void createControls();
    // The menu's view-mode entries and check marks from the session.
    void syncMenu();
    // One page step forward or back.
    void pageStep(bool forward);
    // A key, click, menu or wheel step: one at a time, through the step queue.
    void guardedStep(bool forward);
    // Page steps; those asked for during a turn follow it.
    StepQueue m_steps;
    PageTarget pageTarget();
    void showPointer();

    Frm_ImgViewer &m_main;
    Program &m_app;
    ReadingSession &m_session;
    std::unique_ptr<Cls_BookMove> Book_Move;
    InputBlocker *m_blocker = nullptr;
    bool m_closed = false;
    // The page in view is still coming out of its volume.
    bool m_awaitingPage = false;
};
