#pragma once
#include "core/PageComposer.h"
#include "core/ReadingSession.h"
#include "core/StepQueue.h"
#include "platform/InputBlocker.h"
#include "platform/PendingHandOver.h"
#include "views/SpreadMenu.h"
#include "views/ViewMenu.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class Program;
class Canvas;
class Magnifier;
class SkinButton;
class QComboBox;
class QLineEdit;
class QLabel;
class QCheckBox;
class QToolButton;
class QFrame;
class QMenu;
class IImgPicture;
class IndexPane;
class IWheelMouse;
class Cls_BookMove;
class InstanceGate;

// A timer with a tag: the tag carries the timer's state between ticks.
struct TaggedTimer
{
    QTimer timer;
    QString Tag;
};

// The main window: start-up and shutdown, and a view of the reading session (its
// volume list, page box and option boxes) with the page drawn by the composer.
// The routines keep their design names; the rules they follow live in the session.
class Frm_ImgViewer : public QWidget
{
    Q_OBJECT
    Program &m_app;

public:
    explicit Frm_ImgViewer(Program &app, QWidget *parent = nullptr);
    ~Frm_ImgViewer() override;

    // What is read and how; shared with the full-screen window and the index.
    ReadingSession session{m_app};
    // Draws this window's pages (and, with another target, any other window's).
    PageComposer composer{session, m_app};

    // ---- start-up and shutdown
    // Returns false when another instance runs: the caller then ends silently.
    bool Form_Load(const QString &commandLine);
    void Lang_Load();
    // The language chosen in the menu, in force at once: texts, skin images and
    // the bar's layout follow it.
    void applyLanguage(qint16 mode);
    void Tmr_Load_Timer();
    void Open_Initial();
    void Form_Unload();
    // The page-turn object and the two archive readers, made once at start-up.
    void createReaders();
    // Decides whether another instance is running (the real check locks a file in
    // the data folder; tests replace it).
    std::function<bool()> anotherInstanceRunning;
    // Ends the process after shutdown (tests replace it).
    std::function<void()> endProcess;
    // A path handed over by a later start (empty: only come to the front): opened
    // as the command line's path is, with its messages; while a dialog is open or
    // a volume loads, it waits (the latest one) and opens once that ends.
    void openHandedPath(const QString &path);
    bool handedPathWaiting() const { return m_handedPath.pending(); }

    // ---- page and volume lists (the session's)
    void Open_Source() { session.Open_Source(); }
    void openCommandLineSource() { session.openCommandLineSource(); }
    void VBZip_ArchiveUpdate() { session.VBZip_ArchiveUpdate(); }
    void VBUnRar_ArchiveUpdate() { session.VBUnRar_ArchiveUpdate(); }
    void Folder_Scan() { session.Folder_Scan(); }
    void Volume_Build() { session.Volume_Build(); }
    void cb_list_Click() { session.cb_list_Click(); }
    void Volume_Pages(const QString &volumeName) { session.Volume_Pages(volumeName); }
    bool Members_Ready() const { return session.Members_Ready(); }
    // Selects volume `index` of cb_list, which loads it (as a click would).
    void selectVolume(int index) { session.selectVolume(index); }
    QString volumeText(int index) const { return session.volumeText(index); }
    int volumeIndex() const { return session.volumeIndex(); }
    SortedList &List1() { return session.List1(); }
    Program &program() { return m_app; }

    // ---- page drawing
    // Draws the session's current step; I_Effect 1 animates the turn to it.
    void Page_Draw(qint16 I_Effect = 0);
    QString Page_Path(int k) const { return session.Page_Path(k); }
    // The page box and count label for the current step.
    void showPageNumber();
    // The draw target of this window.
    PageTarget pageTarget();
    void chk_view_Click();
    void chk_japan_Click();
    void Chk_hundred_Click();
    void Chk_Sharpen_Click();
    int stepCount() const { return session.stepCount(); }

    // ---- navigation
    void Go_Prev();
    void Go_Next();
    // Drops the window's input while a step or a load runs and gives the keyboard
    // focus back afterwards.
    void setBusy(bool busy);
    bool isBusy() const { return m_inputBlocker.isBlocked(); }
    void cmdfirst_MouseDown();
    void cmdprev_MouseDown();
    void cmdnext_MouseDown();
    void cmdlast_MouseDown();
    // Returns true when the key was consumed.
    bool PicDraw_KeyUp(QKeyCombination key);
    // The [Keys] settings that could not be taken, said once at start.
    void reportKeyProblems();
    // Runs what a key asks for; `arrow` when it came from Left or Right (which
    // follow the reading direction when the controls do).
    bool pageAction(PageKeys::Action action, bool arrow);
    void PicDraw_MouseDown(Qt::MouseButton button, double x);
    // The spread entry a key stands for (A, O, S), run; false for other keys.
    bool spreadKey(PageKeys::Action action);
    void PicDraw_MouseMove();
    void WheelMouse1_WheelChanged(int Delta);
    void Tmr_Scroll_Timer();
    void txtpage_KeyUp(int keyCode);

    // ---- layout and skin (app/views/Frm_ImgViewer_Layout.cpp)
    // Dresses and wires the top bar, the panes and the overlays; called once by
    // the constructor after the widgets exist.
    void styleWidgets();
    void Skin_Load();
    // The surface's screen density changed: the skin, the page and the
    // thumbnails again at the new one.
    void screenDensityChanged();
    void Set_ButtonState(bool pagesAvailable);
    QString skinPath(const QString &file, bool languageDependent) const;
    void Form_Resize();
    // The top-bar commands; each acts on the left button only (the full-screen
    // menu calls them with the default).
    void cmdopen_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    void cmdopen_MouseUp(Qt::MouseButton button = Qt::LeftButton);
    void cmdfullscreen_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    void cmdIndex_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    void cmdfile_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    void cmdFolder_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    void img_Info_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    void img_Info_MouseUp(Qt::MouseButton button = Qt::LeftButton);
    void img_Tip_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    void img_Tip_MouseUp(Qt::MouseButton button = Qt::LeftButton);
    void PicTip_Click();
    void PicTipOut_Click();
    // Places the buttons, the page box, the volume list and the options on the bar.
    void placeTopBar();
    // A top-bar command: pressed image, optionally one pass of events to paint it,
    // the command when `run` holds, then the normal image.
    void pressedCommand(SkinButton *b, const QString &name, bool paintFirst, bool run,
                        const std::function<void()> &command);
    void placeTopBarOnce(bool narrow);
    void paintTopBar();

    // The wait panel's progress while a volume loads.
    void ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg);
    // The wait panel shown or hidden: in the middle while nothing can be read, at the
    // foot of the page while the rest of a volume comes out.
    void showWaitPanel(bool visible);
    // Escape or the wait panel's cancel button: the load under way is given up.
    void cancelLoad();
    // Whether the page in view is drawn as soon as its file comes out.
    bool awaitingPage() const { return m_awaitingPage; }

    // ---- the session's load flag and pending path under the design's names
    bool &IsProcess = session.IsProcess;
    QString &Cmd_Folder = session.Cmd_Folder;
    QString &Cmd_File = session.Cmd_File;
    QImage Img_Tmp;

    // Widgets, named by kind: cmd buttons, chk check boxes, lbl labels, Pic panes.
    QWidget *PicTop = nullptr;
    QWidget *PicOption = nullptr;
    // Stands in for the option switches on the narrowest bar.
    QToolButton *cmdOptions = nullptr;
    QComboBox *cb_list = nullptr;
    QLineEdit *txtpage = nullptr;
    QLabel *lblpage = nullptr;
    QCheckBox *chk_view = nullptr;
    QCheckBox *chk_japan = nullptr;
    QCheckBox *Chk_hundred = nullptr;
    QCheckBox *Chk_Sharpen = nullptr;
    QCheckBox *chkeffect = nullptr;
    Canvas *PicDraw = nullptr;
    Magnifier *lens = nullptr;
    QLabel *lblnoimage = nullptr;
    QFrame *PicBox = nullptr;
    QLabel *lbl_filemsg = nullptr;
    QFrame *Shback = nullptr;
    QFrame *Shbar = nullptr;
    QToolButton *cmdCancelLoad = nullptr;
    QWidget *PicTipOut = nullptr;
    QLabel *PicTip = nullptr;
    QWidget *Picbanner = nullptr;
    IndexPane *Pic_IndexScreen = nullptr;
    // The page's own menu (right button): the spread entries.
    QMenu *mnuPage = nullptr;
    SpreadMenu::Entries spreadEntries;
    ViewMenu::Entries viewEntries;
    SkinButton *cmdopen = nullptr;
    SkinButton *cmdfirst = nullptr;
    SkinButton *cmdprev = nullptr;
    SkinButton *cmdnext = nullptr;
    SkinButton *cmdlast = nullptr;
    SkinButton *cmdfile = nullptr;
    SkinButton *cmdFolder = nullptr;
    SkinButton *cmdfullscreen = nullptr;
    SkinButton *cmdIndex = nullptr;
    SkinButton *img_Info = nullptr;
    SkinButton *img_Tip = nullptr;

    IImgPicture *ImgPicture1 = nullptr;
    // The index's loader: its thumbnails are decoded through this control.
    IImgPicture *ImgPicture2 = nullptr;
    IWheelMouse *WheelMouse1 = nullptr;

    TaggedTimer Tmr_Load;
    TaggedTimer Tmr_Scroll;
    // Fires once, 100 ms after start-up: the usage request of the network part.
    TaggedTimer Tmr_Connect;
    // Delays the thumbnail build until the index pane has painted.
    TaggedTimer Tmr_Index;
    // Filled in by the windows that own these jobs; empty means nothing to do yet.
    std::function<void()> sendUsageRequest;
    std::function<void()> buildIndex;

    QString resumeFile() const;

private slots:
    void onWheelChanged(int Delta) { WheelMouse1_WheelChanged(Delta); }

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    // What closing the window does once no step runs.
    void unloadNow();
    void buildWidgets();
    void createControls();
    // Puts the tip picture of the skin in place (read on first need).
    void showTipPicture();
    void connectSession();
    void onVolumeLoadStarted(const QString &volume);
    void onVolumeLoadFinished();
    void onLoadRunning(bool running);
    bool m_awaitingPage = false;
    bool m_indexAfterLoad = false;
    // Draws the place the session moved to (the full-screen window draws it
    // while open; the page box follows it either way).
    void onPlaceChanged(bool isTurn);
    // One move of the session through the step queue.
    void turn(const std::function<void()> &move);
    // Page steps one at a time; those asked for during a turn follow it.
    StepQueue m_steps;

    std::unique_ptr<Cls_BookMove> m_bookMove;
    QString m_tipFile;  // the skin's tip picture
    QString m_tipShown; // the one PicTip holds
    std::unique_ptr<InstanceGate> m_instanceGate;
    QString m_handOverPath;
    QPointer<QWidget> m_focusBeforeBusy;
    InputBlocker &m_inputBlocker = *new InputBlocker(this);
    PendingHandOver &m_handedPath = *new PendingHandOver(this);
    void openHandedPathNow(const QString &path);
    bool m_unloaded = false;
    bool m_shuttingDown = false;

    // layout state
public:
    // The windows behind the top-bar commands. runOpenChooser shows the open
    // chooser modally and returns true when it closed with a choice; the others
    // are empty until their windows exist (then the button only shows its images).
    std::function<bool()> runOpenChooser;
    std::function<void()> openFullScreen;
    std::function<void()> openIndex;
    std::function<void()> exportPage;
    std::function<void()> chooseExportFolder;
    std::function<void()> showInfo;
    // Opens a book of the recent books' list, as the open command does.
    std::function<void(const QString &)> openRecent;

private:
    QImage m_topPicture; // PicTop's persistent picture
    QImage PicTmp;       // bg_Top.bmp at its natural size, for widening the bar
    bool m_snapping = false; // Form_Resize is snapping the window to its smallest size
};
