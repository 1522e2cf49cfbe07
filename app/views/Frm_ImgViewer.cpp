#include "views/Frm_ImgViewer.h"
#include "views/DropOpen.h"
#include "views/EventHook.h"
#include "views/Frm_FullScreen.h"
#include "views/WindowParts.h"

#include "archive/Cls_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "core/CommandLine.h"
#include "platform/IniRead.h"
#include "core/Program.h"
#include "core/ResumeRecord.h"
#include "imaging/CDIB.h"
#include "imaging/Cls_BookMove.h"
#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/InputBlocker.h"
#include "platform/InstanceGate.h"
#include "platform/KeyCodes.h"
#include "platform/LegacyCodePage.h"
#include "platform/Prompts.h"
#include "platform/QtTranslations.h"
#include "platform/SkinButton.h"
#include "views/IndexPane.h"

#include <leafview/ImgPicture.h>
#include <leafview/WheelMouse.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QShortcut>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <exception>


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
    // Leaves every event loop at once, a dialog's too: closing the window always
    // ends the process (its state is saved by then).
    endProcess = [] { QCoreApplication::exit(0); };

    session.promptOwner = this;
    openFullScreen = [this] { Frm_FullScreen::openOver(*this); };
    buildWidgets();
    createControls();
    connectSession();
}

Frm_ImgViewer::~Frm_ImgViewer() = default;

QCheckBox *Frm_ImgViewer::optionBox(ReadingSession::Option o) const
{
    switch (o) {
    case ReadingSession::TwoPage:
        return chk_view;
    case ReadingSession::RightToLeft:
        return chk_japan;
    case ReadingSession::Hundred:
        return Chk_hundred;
    case ReadingSession::Sharpen:
        return Chk_Sharpen;
    case ReadingSession::BookEffect:
        break;
    }
    return chkeffect;
}

void Frm_ImgViewer::connectSession()
{
    connect(&session, &ReadingSession::optionChanged, this, &Frm_ImgViewer::onOptionChanged);
    connect(&session, &ReadingSession::volumesChanged, this, &Frm_ImgViewer::fillVolumeList);
    connect(&session, &ReadingSession::volumeTextChanged, this,
            [this](int i) { cb_list->setItemText(i, session.volumeText(i)); });
    connect(&session, &ReadingSession::volumeLoadStarted, this, &Frm_ImgViewer::onVolumeLoadStarted);
    connect(&session, &ReadingSession::volumeLoadFinished, this, &Frm_ImgViewer::onVolumeLoadFinished);
    connect(&session, &ReadingSession::pagesCleared, this, &Frm_ImgViewer::showEmptyState);
    connect(&session, &ReadingSession::noImageChanged, this, [this](bool visible) {
        lblnoimage->setVisible(visible);
        if (visible)
            lblnoimage->raise();
    });
    // While the full-screen window is open, the progress goes to its wait panel.
    connect(&session, &ReadingSession::progress, this, [this](qint32 p, qint32 t, const QString &m) {
        if (!m_app.IsFullScreen)
            ZipFile_Progress(p, t, m);
    });
}

void Frm_ImgViewer::onOptionChanged(ReadingSession::Option o, bool on)
{
    QCheckBox *box = optionBox(o);
    if (box->isChecked() != on) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
    switch (o) {
    case ReadingSession::TwoPage:
        chk_view_Click();
        break;
    case ReadingSession::RightToLeft:
        chk_japan_Click();
        break;
    case ReadingSession::Hundred:
        Chk_hundred_Click();
        break;
    case ReadingSession::Sharpen:
        Chk_Sharpen_Click();
        break;
    case ReadingSession::BookEffect:
        // Read by the next step; nothing to redraw.
        break;
    }
}

void Frm_ImgViewer::fillVolumeList()
{
    const QSignalBlocker quiet(cb_list);
    QStringList shown;
    for (int i = 0; i < cb_list->count(); ++i)
        shown << cb_list->itemText(i);
    if (shown != session.volumes()) {
        cb_list->clear();
        cb_list->addItems(session.volumes());
    }
    cb_list->setCurrentIndex(session.volumeIndex());
}

void Frm_ImgViewer::showEmptyState()
{
    PicDraw->clearPicture();
    txtpage->clear();
    lblpage->setText(QStringLiteral("/0"));
}

void Frm_ImgViewer::onVolumeLoadStarted(const QString &volume)
{
    setBusy(false);
    Shbar->resize(1, Shbar->height());
    setBusy(true);
    setWindowTitle(m_app.lang.Title_Text + QStringLiteral(" [") + volume + QLatin1Char(']'));
    // The full-screen window shows its own wait panel while it is open.
    if (!m_app.IsFullScreen) {
        PicBox->show();
        PicBox->raise();
    }
    PicDraw->clearPicture();
    lblpage->setText(QStringLiteral("/0"));
    QCoreApplication::processEvents();
}

void Frm_ImgViewer::onVolumeLoadFinished()
{
    PicBox->hide();
    Page_Draw(Page_Index, 0);
    if (m_app.IsIndexShow)
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

    PicTop = new QWidget(this);
    PicTop->setObjectName(QStringLiteral("PicTop"));
    PicTop->setAutoFillBackground(true);

    auto makeButton = [this](const char *name) {
        auto *b = new SkinButton(PicTop);
        b->setObjectName(QString::fromLatin1(name));
        b->resize(40, 40);
        return b;
    };
    cmdopen = makeButton("cmdopen");
    cmdfirst = makeButton("cmdfirst");
    cmdprev = makeButton("cmdprev");
    cmdnext = makeButton("cmdnext");
    cmdlast = makeButton("cmdlast");
    cmdfile = makeButton("cmdfile");
    cmdFolder = makeButton("cmdFolder");
    cmdfullscreen = makeButton("cmdfullscreen");
    cmdIndex = makeButton("cmdIndex");
    img_Info = makeButton("img_Info");
    img_Tip = makeButton("img_Tip");

    txtpage = new QLineEdit(PicTop);
    txtpage->setObjectName(QStringLiteral("txtpage"));
    txtpage->setAlignment(Qt::AlignRight);
    lblpage = new QLabel(QStringLiteral("/0"), PicTop);
    lblpage->setObjectName(QStringLiteral("lblpage"));
    cb_list = new QComboBox(PicTop);
    cb_list->setObjectName(QStringLiteral("cb_list"));
    cb_list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cb_list->setMinimumContentsLength(16);

    PicOption = new QWidget(PicTop);
    PicOption->setObjectName(QStringLiteral("PicOption"));
    auto makeCheck = [this](const char *name, const QString &caption) {
        auto *c = new QCheckBox(caption, PicOption);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    chk_view = makeCheck("chk_view", QStringLiteral("2장보기"));
    chk_japan = makeCheck("chk_japan", QString());
    Chk_hundred = makeCheck("Chk_hundred", QStringLiteral("100%"));
    Chk_Sharpen = makeCheck("Chk_Sharpen", QStringLiteral("선명하게"));
    chkeffect = makeCheck("chkeffect", QString());
    // The book effect is on when the window is created; the other options are off.
    chkeffect->setChecked(true);

    Picbanner = new QWidget(PicTop);
    Picbanner->setObjectName(QStringLiteral("Picbanner"));
    Picbanner->setGeometry(767, 1, 160, 36);

    PicDraw = new Canvas(this);
    PicDraw->setObjectName(QStringLiteral("PicDraw"));

    Pic_IndexScreen = new IndexPane(*this);

    lblnoimage = new QLabel(QStringLiteral("이미지가 없습니다."), this);
    lblnoimage->setObjectName(QStringLiteral("lblnoimage"));
    lblnoimage->setStyleSheet(QStringLiteral("color: white; background: transparent; font-size: 16px;"));
    lblnoimage->adjustSize();
    lblnoimage->hide();

    PicTipOut = new QWidget(this);
    PicTipOut->setObjectName(QStringLiteral("PicTipOut"));
    PicTip = new QLabel(PicTipOut);
    PicTip->setObjectName(QStringLiteral("PicTip"));
    PicTipOut->hide();

    const WindowParts::WaitPanel wait = WindowParts::WaitPanel::build(this, QStringLiteral("잠시만 기다려주세요"));
    PicBox = wait.PicBox;
    lbl_filemsg = wait.lbl_filemsg;
    Shback = wait.Shback;
    Shbar = wait.Shbar;

    connect(cb_list, qOverload<int>(&QComboBox::activated), this, [this](int i) {
        // The list gives up the focus, so its arrow keys never switch volumes.
        PicTop->setFocus();
        session.selectVolume(i);
    });
    // A click on a box sets the option; the session's change runs the handler.
    for (auto o : {ReadingSession::TwoPage, ReadingSession::RightToLeft, ReadingSession::Hundred,
                   ReadingSession::Sharpen, ReadingSession::BookEffect})
        connect(optionBox(o), &QCheckBox::toggled, this, [this, o](bool on) { session.setOption(o, on); });

    connect(cmdfirst, &SkinButton::leftPressed, this, &Frm_ImgViewer::cmdfirst_MouseDown);
    connect(cmdprev, &SkinButton::leftPressed, this, &Frm_ImgViewer::cmdprev_MouseDown);
    connect(cmdnext, &SkinButton::leftPressed, this, &Frm_ImgViewer::cmdnext_MouseDown);
    connect(cmdlast, &SkinButton::leftPressed, this, &Frm_ImgViewer::cmdlast_MouseDown);

    connect(PicDraw, &Canvas::keyReleased, this, [this](QKeyEvent *e) {
        if (PicDraw_KeyUp(KeyCodes::fromQt(e->key())))
            e->accept();
    });
    connect(PicDraw, &Canvas::mousePressed, this,
            [this](QMouseEvent *e) { PicDraw_MouseDown(e->button(), e->position().x()); });
    connect(PicDraw, &Canvas::mouseMoved, this, [this](QMouseEvent *) { PicDraw_MouseMove(); });
    connect(txtpage, &QLineEdit::returnPressed, this, [this] { txtpage_KeyUp(KeyCodes::Enter); });

    styleWidgets();

    // F11 reads on in full screen, as in other viewers on this desktop.
    auto *full = new QShortcut(QKeySequence(Qt::Key_F11), this);
    full->setContext(Qt::WindowShortcut);
    connect(full, &QShortcut::activated, this, [this] { cmdfullscreen_MouseDown(Qt::LeftButton); });

    // Escape anywhere in the window minimises it.
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, &QWidget::showMinimized);
}

void Frm_ImgViewer::createControls()
{
    // Both pictures are off-screen loaders (the second builds the thumbnails).
    ImgPicture1 = WindowParts::createImgPicture(m_app.controls, this);
    ImgPicture2 = WindowParts::createImgPicture(m_app.controls, this);
    WheelMouse1 = WindowParts::createWheelMouse(m_app.controls, this, this, SLOT(onWheelChanged(int)));
}

// ---------------------------------------------------------------- start-up

bool Frm_ImgViewer::Form_Load(const QString &commandLine)
{
    // 1. A second start hands its path to the running window and ends.
    m_handOverPath = CommandLine::parse(commandLine).path();
    if (anotherInstanceRunning && anotherInstanceRunning())
        return false;
    // 2.
    Lang_Load();
    setWindowTitle(m_app.lang.Title_Text);
    // 3.
    QDir().mkpath(m_app.paths.tmpZip());
    // 4.
    const CommandLine cmd = CommandLine::parse(commandLine);
    Cmd_Folder = cmd.Cmd_Folder;
    Cmd_File = cmd.Cmd_File;
    // 5.
    if (WheelMouse1)
        WheelMouse1->SetHwnd(PicDraw);
    // 6.
    Cur_Volume = -1;
    // 7.
    QFile ini(m_app.paths.exportFolderFile());
    if (ini.open(QIODevice::ReadOnly)) {
        const QByteArray all = ini.readAll();
        int end = all.size();
        for (int i = 0; i < all.size(); ++i) {
            if (all[i] == '\r' || all[i] == '\n') {
                end = i;
                break;
            }
        }
        m_app.ExportFolder = QString::fromUtf8(all.left(end));
    }
    // 8.
    Set_ButtonState(false);
    I_ViewMode = 1;
    // 9.
    createReaders();
    // 10.
    Skin_Load();
    // 11.
    Tmr_Connect.timer.start();
    // 12.
    PicBox->show();
    PicBox->raise();
    // 14. The window is maximised by design.
    move(0, 0);
    // 15. The initial open runs as soon as the wait panel has been painted, so the
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
    // Archive names that are not UTF-8 come from old tools in a legacy code page;
    // which one is a setting, Korean (CP949) unless the settings file says otherwise.
    const QString codePage =
        Ini_Read(m_app.paths, QStringLiteral("Archive"), QStringLiteral("CodePage"), QStringLiteral("CP949"));
    if (!LegacyCodePage::setName(codePage.trimmed().toLatin1()))
        m_app.logError(QStringLiteral("Unknown code page in the settings file: ") + codePage);
    m_bookMove = std::make_unique<Cls_BookMove>();
    m_app.ZipReader = std::make_unique<cUnzip>(&session);
    m_app.RarReader = std::make_unique<Cls_Rar>(&session);
}

void Frm_ImgViewer::Lang_Load()
{
    // The language flag: the settings file may ask for the English texts.
    if (Language::isEnglishSetting(Ini_Read(m_app.paths, QStringLiteral("Main"), QStringLiteral("Language"), QString())))
        m_app.lang.Lang_Mode = 1;
    m_app.lang.load();
    QtTranslations::apply(m_app.lang.Lang_Mode != 1);
    chkeffect->setText(m_app.lang.ChkEffectCaption);
    chk_japan->setText(m_app.lang.ChkJapanCaption);
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

void Frm_ImgViewer::Open_Initial()
{
    try {
        PicDraw->hide();
        if (!Cmd_Folder.isEmpty() || !Cmd_File.isEmpty()) {
            session.openNamedPath();
        } else if (const std::optional<ResumeRecord> kept = ResumeRecord::readFrom(resumeFile());
                   kept && (kept->path.isEmpty() || !QFileInfo::exists(kept->path))) {
            // A book that is gone is not offered (a Yes would show nothing), and its
            // record goes so the question does not come back at every start.
            QFile::remove(resumeFile());
        } else if (QFileInfo::exists(resumeFile())) {
            const MsgResult answer =
                m_app.prompts->messageBox(this, QStringLiteral("기존파일읽기"),
                                          QStringLiteral("기존에 있던 파일을 계속 읽으시겠습니까?"), MsgIcon::Question,
                                          MsgButtons::YesNo);
            if (answer == MsgResult::Yes) {
                const std::optional<ResumeRecord> rec = ResumeRecord::readFrom(resumeFile());
                if (!rec)
                    throw std::runtime_error("The resume file is damaged");
                m_app.OpenPath = rec->path;
                m_app.LastFolder = rec->path;
                if (!rec->path.isEmpty() && QFileInfo::exists(rec->path)) {
                    Is_Resumed = true;
                    m_app.IsArchive = rec->isArchive;
                    I_ViewMode = rec->viewMode == 2 ? 2 : 1;
                    Page_Index = rec->pagePosition < 0 ? 0 : rec->pagePosition;
                    Sel_Volume = rec->volumeIndex;
                    m_app.ArchiveKind = rec->archiveKind;
                    // Each change runs that box's handler; the page list is still empty.
                    session.setOption(ReadingSession::Hundred, rec->hundred == 1);
                    session.setOption(ReadingSession::BookEffect, rec->effect == 1);
                    session.setOption(ReadingSession::Sharpen, rec->sharpen == 1);
                    if (rec->rightToLeft)
                        session.setOption(ReadingSession::RightToLeft, true);
                    Set_ButtonState(true);
                    Open_Source();
                    if (I_ViewMode == 2) {
                        // The stored spread index becomes a page index; the option's rule
                        // turns it back into a spread index and the handler draws.
                        Page_Index = qint16(Page_Index * 2);
                        if (!session.setOption(ReadingSession::TwoPage, true)) {
                            Page_Index = ReadingSession::spreadOfPage(Page_Index);
                            chk_view_Click();
                        }
                    }
                }
            }
        }
        if (session.List1().isEmpty()) {
            PicTipOut->show();
            PicTipOut->raise();
            Set_ButtonState(false);
        }
    } catch (const std::exception &e) {
        m_app.logError(QString::fromLocal8Bit(e.what()));
    }
    // The pending command-line state ends with the initial open, whatever it opened:
    // a folder chosen later lists its sub-folders again.
    Cmd_Folder.clear();
    Cmd_File.clear();
    // Always leave the window usable: a failure above must not freeze the wait panel.
    raise();
    activateWindow();
    PicBox->hide();
    PicDraw->show();
    // The surface was hidden while the first volume loaded, so it could not take
    // the focus then; the reader's first key should turn the page.
    PicDraw->setFocus();
}

// ---------------------------------------------------------------- shutdown

void Frm_ImgViewer::releaseReaders()
{
    session.Member_Table().discard();
    m_app.ZipReader.reset();
    m_bookMove.reset();
    m_app.RarReader.reset();
}

void Frm_ImgViewer::clearTmpZip()
{
    Mo_Unzip::ClearFolder(m_app.paths.tmpZip(), QString(), m_app.paths.tmpZip(), m_app.ErrorLog);
}

void Frm_ImgViewer::Form_Unload()
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
    // A signal or the session's end can close this window under the full-screen one.
    if (takePageInView)
        takePageInView();

    if (session.finishedReading()) {
        // A finished book is not offered again: neither the legacy unversioned file
        // nor this version's resume record survives.
        QFile::remove(m_app.paths.dataFolder + QStringLiteral("/imgviewer_info.txt"));
        QFile::remove(resumeFile());
        releaseReaders();
        clearTmpZip();
    } else {
        // A book is recorded while it is open, also when the selected volume
        // holds no page (an "ⓧ" volume).
        if (!session.List1().isEmpty() || session.volumeCount() > 0) {
            if (!session.snapshot().writeTo(resumeFile()))
                m_app.logError(QStringLiteral("The resume file cannot be written: ") + resumeFile());
        }
        if (!m_app.ErrorLog.isEmpty()) {
            QFile f(m_app.paths.errorLogFile());
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                const QString stamp = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
                f.write((stamp + QStringLiteral("   ") + m_app.ErrorLog + QStringLiteral("\r\n")).toUtf8());
            }
        }
        releaseReaders();
        clearTmpZip();
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
    const CommandLine named = CommandLine::parse(path);
    setBusy(true);
    PicTipOut->hide();
    Set_ButtonState(true);
    // A new book starts at its first volume and first page.
    Sel_Volume = 0;
    Cmd_Folder = named.Cmd_Folder;
    Cmd_File = named.Cmd_File;
    try {
        session.openNamedPath();
    } catch (const std::exception &e) {
        m_app.logError(QString::fromLocal8Bit(e.what()));
    }
    Cmd_Folder.clear();
    Cmd_File.clear();
    if (!m_app.IsArchive)
        m_app.LastFolder = m_app.OpenPath;
    if (session.List1().isEmpty()) {
        Set_ButtonState(false);
        if (session.volumeCount() == 0) {
            PicTipOut->show();
            PicTipOut->raise();
        }
    }
    setBusy(false);
}

void Frm_ImgViewer::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    e->accept();
}

// ---------------------------------------------------------------- volume and page lists


// ---------------------------------------------------------------- page drawing

void Frm_ImgViewer::showPageNumber(qint16 i_PgNo)
{
    if (session.List1().isEmpty()) {
        txtpage->clear();
        lblpage->setText(QStringLiteral("/0"));
        return;
    }
    txtpage->setText(QString::number(i_PgNo + 1));
    lblpage->setText(QLatin1Char('/') + QString::number(session.stepCount()));
}

PageTarget Frm_ImgViewer::pageTarget()
{
    return PageTarget{[this]() -> QImage & { return PicDraw->surface(); }, [this] { PicDraw->repaint(); },
                      [this] { PicDraw->update(); }, ImgPicture1, &Img_Tmp, m_bookMove.get()};
}

void Frm_ImgViewer::Page_Draw(qint16 i_PgNo, qint16 I_Effect)
{
    if (session.List1().isEmpty()) {
        PicDraw->clearPicture();
        showPageNumber(i_PgNo);
        Set_ButtonState(false);
        return;
    }
    Set_ButtonState(true);
    showPageNumber(i_PgNo);
    if (I_ViewMode == 2)
        cmdfile->setEnabled(false);
    const int p = composer.prepare(i_PgNo);
    setWindowTitle(session.pageCaption(p));
    composer.draw(pageTarget(), i_PgNo, I_Effect, i_PagePos);
}

void Frm_ImgViewer::chk_view_Click()
{
    // The session has converted Page_Index between pages and spreads.
    const bool two = I_ViewMode == 2;
    cmdfile->setEnabled(!two);
    if (two)
        chk_japan->setEnabled(true);
    // The first turn after a switch starts from an empty background.
    Img_Tmp = QImage();
    Page_Draw(Page_Index, 0);
}

void Frm_ImgViewer::chk_japan_Click()
{
    Page_Draw(Page_Index, 0);
}

void Frm_ImgViewer::Chk_hundred_Click()
{
    Page_Draw(Page_Index, 0);
}

void Frm_ImgViewer::Chk_Sharpen_Click()
{
    Page_Draw(Page_Index, 0);
}

// ---------------------------------------------------------------- navigation

void Frm_ImgViewer::setBusy(bool busy)
{
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
    setBusy(true);
    if (session.stepBack(Page_Index, i_PagePos) == ReadingSession::Step::Moved)
        Page_Draw(Page_Index, session.effectFlag());
    setBusy(false);
}

void Frm_ImgViewer::Go_Next()
{
    setBusy(true);
    if (session.stepForward(Page_Index, i_PagePos) == ReadingSession::Step::Moved)
        Page_Draw(Page_Index, session.effectFlag());
    setBusy(false);
}

void Frm_ImgViewer::pressButton(SkinButton *b, const QString &downFile)
{
    b->setImageFile(skinPath(downFile, false));
    // One pass of events so the pressed image is painted before the step runs.
    QCoreApplication::processEvents();
}

void Frm_ImgViewer::stepButton(SkinButton *b, const QString &name, void (Frm_ImgViewer::*step)())
{
    pressButton(b, name + QStringLiteral("_down.bmp"));
    (this->*step)();
    if (session.pageCount() < 2) {
        // A step that changes nothing is instant: hold the pressed image long enough to be seen.
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 50)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    b->setImageFile(skinPath(name + QStringLiteral(".bmp"), false));
}

void Frm_ImgViewer::cmdnext_MouseDown()
{
    stepButton(cmdnext, QStringLiteral("b_next"), &Frm_ImgViewer::Go_Next);
}

void Frm_ImgViewer::cmdprev_MouseDown()
{
    stepButton(cmdprev, QStringLiteral("b_prev"), &Frm_ImgViewer::Go_Prev);
}

void Frm_ImgViewer::cmdfirst_MouseDown()
{
    pressButton(cmdfirst, QStringLiteral("b_start2_down.bmp"));
    setBusy(true);
    // The first page is reached as a backward step, with its direction and effect.
    Page_Index = 1;
    Go_Prev();
    setBusy(false);
    cmdfirst->setImageFile(skinPath(QStringLiteral("b_start2.bmp"), false));
}

void Frm_ImgViewer::cmdlast_MouseDown()
{
    if (session.List1().isEmpty())
        return;
    cmdlast->setImageFile(skinPath(QStringLiteral("b_fast2_down.bmp"), false));
    setBusy(true);
    Page_Index = qint16(stepCount() - 2);
    Go_Next();
    setBusy(false);
    cmdlast->setImageFile(skinPath(QStringLiteral("b_fast2.bmp"), false));
}

bool Frm_ImgViewer::PicDraw_KeyUp(int keyCode)
{
    if (Key_Busy)
        return false;
    switch (keyCode) {
    case KeyCodes::PageDown:
    case KeyCodes::Space:
    case KeyCodes::Enter:
    case KeyCodes::Right:
        Key_Busy = true;
        Go_Next();
        Key_Busy = false;
        return true;
    case KeyCodes::Backspace:
    case KeyCodes::Left:
    case KeyCodes::PageUp:
        Key_Busy = true;
        Go_Prev();
        Key_Busy = false;
        return true;
    case KeyCodes::Home:
    case KeyCodes::End:
        // The first or last page (or spread), as the two buttons reach them.
        Key_Busy = true;
        keyCode == KeyCodes::Home ? cmdfirst_MouseDown() : cmdlast_MouseDown();
        Key_Busy = false;
        return true;
    default:
        return false;
    }
}

void Frm_ImgViewer::PicDraw_MouseDown(Qt::MouseButton button, double x)
{
    if (button != Qt::LeftButton)
        return;
    if (x >= 0 && x <= PicDraw->width() / 2.0)
        Go_Prev();
    else
        Go_Next();
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
    Tmr_Scroll.Tag = QString::number(Delta);
    // Enabling a running timer does not restart it: one step per burst.
    if (!Tmr_Scroll.timer.isActive())
        Tmr_Scroll.timer.start();
}

void Frm_ImgViewer::Tmr_Scroll_Timer()
{
    Tmr_Scroll.timer.stop();
    if (Tmr_Scroll.Tag.toInt() >= 0)
        Go_Prev();
    else
        Go_Next();
}

void Frm_ImgViewer::txtpage_KeyUp(int keyCode)
{
    if (keyCode != KeyCodes::Enter)
        return;
    const std::optional<qint16> index = session.pageBoxIndex(txtpage->text(), Page_Index, i_PagePos);
    if (!index) {
        m_app.ErrorLog += QStringLiteral("txtpage key setfocus \r\n");
        return;
    }
    Page_Index = *index;
    Page_Draw(Page_Index, session.effectFlag());
    PicDraw->setFocus();
}
