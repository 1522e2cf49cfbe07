#pragma once
#include "core/MemberTable.h"
#include "core/PageListHost.h"
#include "platform/SortedList.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class Program;
class Canvas;
class SkinButton;
class QComboBox;
class QLineEdit;
class QLabel;
class QCheckBox;
class QFrame;
class IImgPicture;
class IWheelMouse;
class Cls_BookMove;
class QLockFile;

// A timer with a tag: the tag carries the timer's state between ticks.
struct TaggedTimer
{
    QTimer timer;
    QString Tag;
};

// The main window: start-up and shutdown, the volume and page lists, page drawing
// and navigation. The window only wires widgets to these operations; the rules
// they follow live in VolumeRules, PageGeometry, ResumeRecord and the readers.
class Frm_ImgViewer : public QWidget, public PageListHost
{
    Q_OBJECT
public:
    explicit Frm_ImgViewer(Program &app, QWidget *parent = nullptr);
    ~Frm_ImgViewer() override;

    // ---- start-up and shutdown
    // Returns false when another instance runs: the caller then ends silently.
    bool Form_Load(const QString &commandLine);
    void Lang_Load();
    void Tmr_Load_Timer();
    void Open_Initial();
    void Form_Unload();
    // The page-turn object and the two archive readers (start-up step 9).
    void createReaders();
    // Decides whether another instance is running (the real check locks a file in
    // the data folder; tests replace it).
    std::function<bool()> anotherInstanceRunning;
    // Ends the process after shutdown (tests replace it).
    std::function<void()> endProcess;

    // ---- page and volume lists
    void Open_Source();
    void openCommandLineSource();
    void VBZip_ArchiveUpdate();
    void VBUnRar_ArchiveUpdate();
    void Folder_Scan();
    void Volume_Build();
    void cb_list_Click();
    void Volume_Pages(const QString &volumeName);
    bool Members_Ready() const { return m_members.dimensioned(); }
    // Selects volume `index` of cb_list, which loads it (as a click would).
    void selectVolume(int index);
    QString volumeText(int index) const;
    int volumeIndex() const;

    // ---- page drawing
    void Page_Draw(qint16 i_PgNo, qint16 I_Effect);
    QString Page_Path(int k) const;
    void chk_view_Click();
    void chk_japan_Click();
    void Chk_hundred_Click();
    void Chk_Sharpen_Click();
    int stepCount() const;

    // ---- navigation
    void Go_Prev();
    void Go_Next();
    // Disables the window while a step or a load runs (input is ignored) and
    // gives the keyboard focus back afterwards.
    void setBusy(bool busy);
    void cmdfirst_MouseDown();
    void cmdprev_MouseDown();
    void cmdnext_MouseDown();
    void cmdlast_MouseDown();
    // Returns true when the key was consumed.
    bool PicDraw_KeyUp(int keyCode);
    void PicDraw_MouseDown(Qt::MouseButton button, double x);
    void PicDraw_MouseMove();
    void WheelMouse1_WheelChanged(int Delta);
    void Tmr_Scroll_Timer();
    void txtpage_KeyUp(int keyCode);

    // ---- layout and skin (app/views/Frm_ImgViewer_Layout.cpp)
    // Dresses and wires the top bar, the panes and the overlays; called once by
    // the constructor after the widgets exist.
    void styleWidgets();
    void Skin_Load();
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
    void placeTopBarOnce();
    void paintTopBar();

    // ---- PageListHost
    Program &program() override { return m_app; }
    MemberTable &Member_Table() override { return m_members; }
    SortedList &List1() override { return m_list1; }
    int cbListCount() const override;
    QString cbListText() const override;
    void setCbListText(const QString &t) override;
    void setNoImageVisible(bool visible) override;
    void ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg) override;
    QWidget *dialogOwner() override { return this; }

    // ---- public state shared with the other windows
    qint16 I_ViewMode = 1;
    qint16 Page_Index = 0;
    qint16 i_PagePos = 2;
    bool IsProcess = false;
    bool Key_Busy = false;
    qint16 Cur_Volume = -1;
    qint16 Sel_Volume = 0;
    bool Is_Resumed = false;
    QString Cmd_Folder;
    QString Cmd_File;
    QImage Img_Tmp;

    // Widgets, named by kind: cmd buttons, chk check boxes, lbl labels, Pic panes.
    QWidget *PicTop = nullptr;
    QWidget *PicOption = nullptr;
    QComboBox *cb_list = nullptr;
    QLineEdit *txtpage = nullptr;
    QLabel *lblpage = nullptr;
    QCheckBox *chk_view = nullptr;
    QCheckBox *chk_japan = nullptr;
    QCheckBox *Chk_hundred = nullptr;
    QCheckBox *Chk_Sharpen = nullptr;
    QCheckBox *chkeffect = nullptr;
    Canvas *PicDraw = nullptr;
    QLabel *lblnoimage = nullptr;
    QFrame *PicBox = nullptr;
    QLabel *lbl_filemsg = nullptr;
    QFrame *Shback = nullptr;
    QFrame *Shbar = nullptr;
    QWidget *PicTipOut = nullptr;
    QLabel *PicTip = nullptr;
    QWidget *Picbanner = nullptr;
    QWidget *Pic_IndexScreen = nullptr;
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
    void buildWidgets();
    void createControls();
    void showEmptyState();
    void extractEntry(int k);
    void setPageCaption(int p);
    void drawOnePage(int p, qint16 I_Effect);
    void drawSpread(int p, qint16 I_Effect);
    QSize pageSize(const QString &file, qint16 n);
    // Copies w x h pixels of the control's last picture onto the surface at (x, y).
    void copyFromControl(QImage &surface, int x, int y, int w, int h);
    void sharpenSurface(QImage &surface);
    void turnPage(QImage &surface, const QImage &page, int left, int top, int width, int height,
                  bool pageIsDC = false);
    void pressButton(SkinButton *b, const QString &downFile);
    // A page button: pressed image, the step, normal image again.
    void stepButton(SkinButton *b, const QString &name, void (Frm_ImgViewer::*step)());
    void releaseReaders();
    void clearTmpZip();

    Program &m_app;
    std::unique_ptr<Cls_BookMove> m_bookMove;
    std::unique_ptr<QLockFile> m_instanceLock;
    QPointer<QWidget> m_focusBeforeBusy;
    MemberTable m_members;
    SortedList m_list1;
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

private:
    QImage m_topPicture; // PicTop's persistent picture
    QImage PicTmp;       // bg_Top.bmp at its natural size, for widening the bar
    bool m_snapping = false; // Form_Resize is snapping the window to its smallest size
};
