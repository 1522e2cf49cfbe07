#include "views/Frm_ImgViewer.h"

#include "archive/Cls_Rar.h"
#include "archive/Mo_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "core/CommandLine.h"
#include "core/IniRead.h"
#include "core/PageGeometry.h"
#include "core/Program.h"
#include "core/ResumeRecord.h"
#include "core/VolumeRules.h"
#include "imaging/CDIB.h"
#include "imaging/Cls_BookMove.h"
#include "platform/Canvas.h"
#include "platform/ControlHost.h"
#include "platform/KeyCodes.h"
#include "platform/LegacyCodePage.h"
#include "platform/Prompts.h"
#include "platform/SkinButton.h"

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
#include <QLockFile>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTextStream>
#include <QThread>

#include <exception>

using PageGeometry::roundEven;

namespace {

bool fileExists(const QString &f)
{
    return !f.isEmpty() && QFileInfo(f).isFile();
}

// Text after the last "/".
QString lastPart(const QString &s)
{
    return s.mid(s.lastIndexOf(QLatin1Char('/')) + 1);
}
} // namespace

Frm_ImgViewer::Frm_ImgViewer(Program &app, QWidget *parent) : QWidget(parent), m_app(app)
{
    setObjectName(QStringLiteral("Frm_ImgViewer"));
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
        // Held while the window lives; the lock of a run that crashed names a dead
        // process and is taken over.
        if (!m_instanceLock) {
            m_instanceLock = std::make_unique<QLockFile>(m_app.paths.dataFolder + QStringLiteral("/leafview.lock"));
            m_instanceLock->setStaleLockTime(0);
        }
        return !m_instanceLock->isLocked() && !m_instanceLock->tryLock(0);
    };
    endProcess = [] { QCoreApplication::quit(); };

    buildWidgets();
    createControls();
}

Frm_ImgViewer::~Frm_ImgViewer() = default;

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

    Pic_IndexScreen = new QWidget(this);
    Pic_IndexScreen->setObjectName(QStringLiteral("Pic_IndexScreen"));
    Pic_IndexScreen->resize(200, 100);
    Pic_IndexScreen->hide();

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

    PicBox = new QFrame(this);
    PicBox->setObjectName(QStringLiteral("PicBox"));
    PicBox->setFrameShape(QFrame::Box);
    PicBox->setAutoFillBackground(true);
    PicBox->resize(320, 70);
    lbl_filemsg = new QLabel(QStringLiteral("잠시만 기다려주세요"), PicBox);
    lbl_filemsg->setObjectName(QStringLiteral("lbl_filemsg"));
    lbl_filemsg->setGeometry(10, 8, 300, 22);
    Shback = new QFrame(PicBox);
    Shback->setObjectName(QStringLiteral("Shback"));
    Shback->setFrameShape(QFrame::Box);
    Shback->setGeometry(10, 38, 300, 16);
    Shbar = new QFrame(Shback);
    Shbar->setObjectName(QStringLiteral("Shbar"));
    Shbar->setAutoFillBackground(true);
    QPalette barPal = Shbar->palette();
    barPal.setColor(QPalette::Window, QColor(0x3b, 0x82, 0xf6));
    Shbar->setPalette(barPal);
    Shbar->setGeometry(2, 2, 1, 12);
    PicBox->hide();

    connect(cb_list, qOverload<int>(&QComboBox::activated), this, [this](int) { cb_list_Click(); });
    connect(chk_view, &QCheckBox::toggled, this, [this] { chk_view_Click(); });
    connect(chk_japan, &QCheckBox::toggled, this, [this] { chk_japan_Click(); });
    connect(Chk_hundred, &QCheckBox::toggled, this, [this] { Chk_hundred_Click(); });
    connect(Chk_Sharpen, &QCheckBox::toggled, this, [this] { Chk_Sharpen_Click(); });

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

    // Escape anywhere in the window minimises it.
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, &QWidget::showMinimized);
}

void Frm_ImgViewer::createControls()
{
    if (!m_app.controls)
        return;
    if (QWidget *w = m_app.controls->createControl(QString::fromLatin1(kImgPictureProgId), this)) {
        ImgPicture1 = qobject_cast<IImgPicture *>(w);
        if (!ImgPicture1)
            ImgPicture1 = dynamic_cast<IImgPicture *>(w);
        // The control is an off-screen loader; the reader never looks at it.
        w->hide();
    }
    if (QWidget *w = m_app.controls->createControl(QString::fromLatin1(kWheelMouseProgId), this)) {
        WheelMouse1 = qobject_cast<IWheelMouse *>(w);
        if (!WheelMouse1)
            WheelMouse1 = dynamic_cast<IWheelMouse *>(w);
        w->hide();
        connect(w, SIGNAL(WheelChanged(int)), this, SLOT(onWheelChanged(int)));
    }
}

// ---------------------------------------------------------------- start-up

bool Frm_ImgViewer::Form_Load(const QString &commandLine)
{
    // 1. A second instance ends silently; the running one is not disturbed.
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
    // 15.
    Tmr_Load.Tag.clear();
    Tmr_Load.timer.start();
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
    m_app.ZipReader = std::make_unique<cUnzip>(this);
    m_app.RarReader = std::make_unique<Cls_Rar>(this);
}

void Frm_ImgViewer::Lang_Load()
{
    m_app.lang.load();
    chkeffect->setText(m_app.lang.ChkEffectCaption);
    chk_japan->setText(m_app.lang.ChkJapanCaption);
}

void Frm_ImgViewer::Tmr_Load_Timer()
{
    if (Tmr_Load.Tag.isEmpty()) {
        // The first tick only marks that the window may now redraw on resizing.
        Tmr_Load.Tag = QStringLiteral("exe");
        return;
    }
    Tmr_Load.timer.stop();
    Open_Initial();
}

QString Frm_ImgViewer::resumeFile() const
{
    return m_app.paths.dataFolder + QLatin1Char('/') + ResumeRecord::fileName();
}

void Frm_ImgViewer::openCommandLineSource()
{
    const QString ext = VolumeRules::extensionOf(Cmd_File);
    if (VolumeRules::isArchiveExt(ext)) {
        m_app.IsArchive = true;
        m_app.OpenPath = Cmd_Folder + QLatin1Char('/') + Cmd_File;
        m_app.ArchiveKind = qint16(VolumeRules::archiveKindOfExt(ext));
    } else {
        m_app.IsArchive = false;
        m_app.OpenPath = Cmd_Folder;
    }
    Open_Source();
}

void Frm_ImgViewer::Open_Initial()
{
    try {
        PicDraw->hide();
        if (!Cmd_Folder.isEmpty()) {
            if (QFileInfo(Cmd_Folder + QLatin1Char('/') + Cmd_File).isFile())
                openCommandLineSource();
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
                    Chk_hundred->setChecked(rec->hundred == 1);
                    chkeffect->setChecked(rec->effect == 1);
                    Chk_Sharpen->setChecked(rec->sharpen == 1);
                    if (rec->rightToLeft)
                        chk_japan->setChecked(true);
                    Set_ButtonState(true);
                    Open_Source();
                    if (I_ViewMode == 2) {
                        // The stored spread index becomes a page index; the box's handler
                        // turns it back into a spread index and draws.
                        Page_Index = qint16(Page_Index * 2);
                        if (chk_view->isChecked())
                            chk_view_Click();
                        else
                            chk_view->setChecked(true);
                    }
                }
            }
        }
        if (m_list1.isEmpty()) {
            PicTipOut->show();
            PicTipOut->raise();
            Set_ButtonState(false);
        }
    } catch (const std::exception &e) {
        m_app.logError(QString::fromLocal8Bit(e.what()));
    }
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
    m_members.discard();
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

    const int count = stepCount();
    const int v = cb_list->currentIndex();
    const bool finished = Page_Index + 1 == count && v >= 0 && v + 1 == cb_list->count();

    if (finished) {
        // A finished book is not offered again: neither the legacy unversioned file
        // nor this version's resume record survives.
        QFile::remove(m_app.paths.dataFolder + QStringLiteral("/imgviewer_info.txt"));
        QFile::remove(resumeFile());
        releaseReaders();
        clearTmpZip();
    } else {
        if (!m_list1.isEmpty()) {
            ResumeRecord r;
            r.path = m_app.OpenPath;
            r.volumeIndex = qint16(v);
            r.isArchive = m_app.IsArchive;
            r.viewMode = I_ViewMode;
            r.pagePosition = Page_Index;
            r.rightToLeft = chk_japan->isChecked();
            r.archiveKind = m_app.ArchiveKind;
            r.hundred = Chk_hundred->isChecked() ? 1 : 0;
            r.effect = chkeffect->isChecked() ? 1 : 0;
            r.sharpen = Chk_Sharpen->isChecked() ? 1 : 0;
            if (!r.writeTo(resumeFile()))
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

void Frm_ImgViewer::closeEvent(QCloseEvent *e)
{
    Form_Unload();
    e->accept();
}

// ---------------------------------------------------------------- volume and page lists

void Frm_ImgViewer::Open_Source()
{
    if (m_app.IsArchive && m_app.ArchiveKind == 0) {
        Mo_Unzip::ListZip(*this, m_app.OpenPath);
        // Rebuilt even when the archive listed nothing, so an unreadable archive
        // never leaves the previous book's volumes and pages behind.
        VBZip_ArchiveUpdate();
    } else if (m_app.IsArchive && m_app.ArchiveKind == 1) {
        m_app.RarReader->setRarFile(m_app.OpenPath);
        m_app.RarReader->Rar_Directory();
        VBUnRar_ArchiveUpdate();
    } else if (!m_app.IsArchive) {
        Folder_Scan();
    }
    // An archive of neither kind opens nothing: scanning its path as a folder would
    // only wipe the book that is open.
}

void Frm_ImgViewer::VBZip_ArchiveUpdate()
{
    m_members.discard();
    const qint32 n = m_app.ZipReader->FileCount();
    m_members.dimension(n);
    for (qint32 i = 1; i <= n; ++i)
        m_members.at(i) = {m_app.ZipReader->FileName(i), m_app.ZipReader->FileDirectory(i), QString()};
    Volume_Build();
}

void Frm_ImgViewer::VBUnRar_ArchiveUpdate()
{
    m_members.discard();
    const qint16 n = m_app.RarReader->Get_FileCount();
    m_members.dimension(n);
    for (qint16 i = 1; i <= n; ++i)
        m_members.at(i) = {m_app.RarReader->RarFileName(i), m_app.RarReader->RarFolderName(i), QString()};
    Volume_Build();
}

void Frm_ImgViewer::showEmptyState()
{
    PicDraw->clearPicture();
    txtpage->clear();
    lblpage->setText(QStringLiteral("/0"));
}

void Frm_ImgViewer::Folder_Scan()
{
    cb_list->clear();
    m_list1.Clear();
    if (!VolumeRules::scanFolder(m_app.OpenPath, !Cmd_Folder.isEmpty(), m_members)) {
        showEmptyState();
        return;
    }
    Volume_Build();
}

void Frm_ImgViewer::Volume_Build()
{
    cb_list->clear();
    if (!m_members.dimensioned() || m_members.upper() == 0) {
        showEmptyState();
        m_list1.Clear();
        return;
    }
    const QStringList names = VolumeRules::deriveVolumes(m_members);
    QStringList sorted;
    for (const QString &n : names)
        sorted.insert(SortedList::insertPosition(sorted, n), n);
    cb_list->addItems(sorted);
    if (cb_list->count() > 0) {
        selectVolume(Sel_Volume >= 0 && Sel_Volume <= cb_list->count() - 1 ? Sel_Volume : 0);
    } else {
        showEmptyState();
        m_list1.Clear();
    }
}

void Frm_ImgViewer::selectVolume(int index)
{
    cb_list->setCurrentIndex(index);
    cb_list_Click();
}

QString Frm_ImgViewer::volumeText(int index) const
{
    return cb_list->itemText(index);
}

int Frm_ImgViewer::volumeIndex() const
{
    return cb_list->currentIndex();
}

void Frm_ImgViewer::cb_list_Click()
{
    PicTop->setFocus();
    lblnoimage->hide();
    if (!Members_Ready() || IsProcess)
        return;
    // Each step may fail on its own; the switch always ends with the window usable.
    auto step = [this](auto &&f) {
        try {
            f();
        } catch (const std::exception &e) {
            Q_UNUSED(e);
        }
    };
    setBusy(false);
    IsProcess = true;
    Cur_Volume = qint16(cb_list->currentIndex());
    Shbar->resize(1, Shbar->height());
    setBusy(true);
    const QString volume = cb_list->currentText();
    step([&] { setWindowTitle(m_app.lang.Title_Text + QStringLiteral(" [") + volume + QLatin1Char(']')); });
    step([&] {
        PicBox->show();
        PicBox->raise();
    });
    step([&] {
        PicDraw->clearPicture();
        lblpage->setText(QStringLiteral("/0"));
        QCoreApplication::processEvents();
    });
    step([&] {
        if (m_app.IsArchive && m_app.ArchiveKind != 0)
            Mo_Rar::SelectRarVolume(*this, volume);
        else if (m_app.IsArchive)
            Mo_Unzip::SelectZipVolume(*this, volume);
        else
            Volume_Pages(volume);
    });
    Sel_Volume = qint16(cb_list->currentIndex());
    PicBox->hide();
    if (Cmd_File.isEmpty()) {
        if (Is_Resumed)
            Is_Resumed = false;
        else
            Page_Index = 0;
    } else {
        const QString wanted = Cmd_Folder + QLatin1Char('/') + Cmd_File;
        for (int k = 0; k < m_list1.ListCount(); ++k) {
            if (m_list1.List(k).trimmed() == wanted) {
                Page_Index = qint16(k);
                break;
            }
        }
        Cmd_Folder.clear();
        Cmd_File.clear();
    }
    // A resumed position past the end (the book lost pages since) shows the last page.
    if (Page_Index >= stepCount())
        Page_Index = qint16(qMax(stepCount() - 1, 0));
    step([&] { Page_Draw(Page_Index, 0); });
    if (m_app.IsIndexShow)
        Tmr_Index.timer.start();
    IsProcess = false;
    setBusy(false);
    // The volume list gave up the focus at the start so its arrow keys would not
    // switch volumes; the keys go to the new volume's pages instead, also after an
    // enclosing command (the open command) enables the window again.
    m_focusBeforeBusy = PicDraw;
    PicDraw->setFocus();
}

void Frm_ImgViewer::Volume_Pages(const QString &volumeName)
{
    m_list1.Clear();
    const QString root = VolumeRules::folderRoot(m_app.OpenPath);
    for (int i = 1; i <= m_members.upper(); ++i) {
        const MemberRecord &r = m_members.at(i);
        if (r.volumeName != volumeName)
            continue;
        // Only an archive volume is listed as a nested archive: a sub-folder whose
        // name merely holds a "." ("Vol.1/") is an ordinary folder of pages.
        const int kind = VolumeRules::archiveKindOfExt(VolumeRules::extensionOf(volumeName));
        if (kind == 0)
            Mo_Unzip::ListNestedZip(*this, root + r.fileName);
        else if (kind == 1)
            Mo_Rar::ListNestedRar(*this, root + r.fileName);
        else
            m_list1.AddItem(root + r.folder + r.fileName);
    }
}

int Frm_ImgViewer::cbListCount() const
{
    return cb_list->count();
}

QString Frm_ImgViewer::cbListText() const
{
    return cb_list->currentText();
}

void Frm_ImgViewer::setCbListText(const QString &t)
{
    const int i = cb_list->currentIndex();
    if (i >= 0)
        cb_list->setItemText(i, t);
}

void Frm_ImgViewer::setNoImageVisible(bool visible)
{
    lblnoimage->setVisible(visible);
    if (visible)
        lblnoimage->raise();
}


// ---------------------------------------------------------------- page drawing

int Frm_ImgViewer::stepCount() const
{
    const int entries = m_list1.ListCount();
    return I_ViewMode == 2 ? (entries + 1) / 2 : entries;
}

QString Frm_ImgViewer::Page_Path(int k) const
{
    if (k < 0 || k >= m_list1.ListCount())
        return QString();
    const QString volume = cb_list->currentText();
    if (m_app.IsArchive || VolumeRules::isZipVolumeName(volume))
        return m_app.paths.tmpZip() + QLatin1Char('/') + m_list1.List(k);
    return m_list1.List(k);
}

void Frm_ImgViewer::extractEntry(int k)
{
    if (k < 0 || k >= m_list1.ListCount())
        return;
    const QString volume = cb_list->currentText();
    const QString entry = m_list1.List(k);
    const bool zipVolume = VolumeRules::isZipVolumeName(volume);
    if (!m_app.IsArchive) {
        if (zipVolume)
            Mo_Unzip::ExtractZipMember(*this, VolumeRules::folderRoot(m_app.OpenPath) + volume, entry);
    } else if (zipVolume) {
        Mo_Unzip::ExtractZipMember(*this, m_app.paths.tmpZip() + QLatin1Char('/') + volume, entry);
    } else if (volume != QLatin1String("/")) {
        Mo_Unzip::ExtractZipMember(*this, m_app.OpenPath, volume + QLatin1Char('/') + entry);
    } else {
        Mo_Unzip::ExtractZipMember(*this, m_app.OpenPath, entry);
    }
}

void Frm_ImgViewer::setPageCaption(int p)
{
    const QString source = lastPart(m_app.OpenPath);
    const QString page = p >= 0 && p < m_list1.ListCount() ? lastPart(m_list1.List(p)) : QString();
    const QString volume = cb_list->currentText();
    const QString sep = QStringLiteral(" ─ ");
    if (volume == QLatin1String("/"))
        setWindowTitle(m_app.lang.Title_Text + sep + source + QStringLiteral("/[") + page + QLatin1Char(']'));
    else
        setWindowTitle(m_app.lang.Title_Text + sep + source + QStringLiteral("/[") + volume + QLatin1Char('/') + page +
                       QLatin1Char(']'));
}

void Frm_ImgViewer::Page_Draw(qint16 i_PgNo, qint16 I_Effect)
{
    if (m_list1.isEmpty()) {
        PicDraw->clearPicture();
        txtpage->clear();
        lblpage->setText(QStringLiteral("/0"));
        Set_ButtonState(false);
        return;
    }
    Set_ButtonState(true);
    txtpage->setText(QString::number(i_PgNo + 1));
    lblpage->setText(QLatin1Char('/') + QString::number(m_list1.ListCount()));
    int p;
    if (I_ViewMode == 2) {
        cmdfile->setEnabled(false);
        p = i_PgNo * 2;
        extractEntry(p);
        extractEntry(p + 1);
        lblpage->setText(QLatin1Char('/') + QString::number(stepCount()));
    } else {
        p = i_PgNo;
        extractEntry(p);
    }
    setPageCaption(p);

    QImage &surface = PicDraw->surface();
    surface.fill(Qt::black);
    if (I_ViewMode == 2)
        drawSpread(p, I_Effect);
    else
        drawOnePage(p, I_Effect);

    if (Chk_Sharpen->isChecked())
        sharpenSurface(surface);
    PicDraw->update();
}

QSize Frm_ImgViewer::pageSize(const QString &file, qint16 n)
{
    float w = 0, h = 0;
    if (ImgPicture1 && !file.isEmpty())
        ImgPicture1->GetImageSize(file, w, h);
    const QImage &s = PicDraw->surface();
    return PageGeometry::drawnSize(w, h, n, Chk_hundred->isChecked(), s.width(), s.height());
}

void Frm_ImgViewer::copyFromControl(QImage &surface, int x, int y, int w, int h)
{
    const QImage &src = ImgPicture1->GetHdc();
    if (src.isNull() || w <= 0 || h <= 0)
        return;
    QPainter painter(&surface);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), src, QRect(0, 0, qMin(w, src.width()), qMin(h, src.height())));
}

void Frm_ImgViewer::drawOnePage(int p, qint16 I_Effect)
{
    QImage &surface = PicDraw->surface();
    const QString f = Page_Path(p);
    const QSize d = pageSize(f, 1);
    if (!ImgPicture1) {
        Img_Tmp = surface.copy();
        return;
    }
    ImgPicture1->SetWidth(d.width());
    ImgPicture1->SetHeight(d.height());
    const int x = int(roundEven((surface.width() - d.width()) / 2.0));
    const int y = int(roundEven((surface.height() - d.height()) / 2.0));
    if (I_Effect != 1) {
        ImgPicture1->SetVisible(true);
        ImgPicture1->DisplayPicture(f);
        surface.fill(Qt::black);
        if (fileExists(f))
            copyFromControl(surface, x, y, d.width(), d.height());
    } else {
        if (!Img_Tmp.isNull())
            surface = Img_Tmp.copy();
        ImgPicture1->SetVisible(false);
        std::optional<QImage> pic;
        if (fileExists(f))
            pic = ImgPicture1->DisplayPicture(f);
        Img_Tmp = pic ? *pic : QImage();
        turnPage(surface, Img_Tmp, x, y, d.width(), d.height());
    }
    Img_Tmp = surface.copy();
}

void Frm_ImgViewer::drawSpread(int p, qint16 I_Effect)
{
    QImage &surface = PicDraw->surface();
    const int n = m_list1.ListCount();
    const bool rightToLeft = chk_view->isChecked() && chk_japan->isChecked();
    int leftIdx, rightIdx;
    if (!rightToLeft) {
        leftIdx = p;
        rightIdx = p + 1 < n ? p + 1 : -1;
    } else if (p + 1 < n) {
        leftIdx = p + 1;
        if (!fileExists(Page_Path(leftIdx)))
            leftIdx = p;
        rightIdx = p;
    } else {
        // A lone last page in right-to-left order stands once, on the right half,
        // where the first page of every right-to-left spread stands.
        leftIdx = -1;
        rightIdx = p;
    }
    const QString leftFile = Page_Path(leftIdx);
    const QString rightFile = Page_Path(rightIdx);
    const QSize d1 = leftIdx >= 0 ? pageSize(leftFile, 2) : QSize(0, 0);
    const QSize d2 = rightIdx >= 0 ? pageSize(rightFile, 2) : QSize(0, 0);
    if (!ImgPicture1) {
        Img_Tmp = surface.copy();
        return;
    }
    const int sw = surface.width(), sh = surface.height();
    if (I_Effect != 1) {
        ImgPicture1->SetVisible(true);
        if (leftIdx >= 0 && fileExists(leftFile)) {
            ImgPicture1->SetWidth(d1.width());
            ImgPicture1->SetHeight(d1.height());
            ImgPicture1->DisplayPicture(leftFile);
            copyFromControl(surface, int(roundEven(sw / 2.0 - d1.width())),
                            int(roundEven((sh - d1.height()) / 2.0)), d1.width(), d1.height());
        }
        if (rightIdx >= 0 && fileExists(rightFile)) {
            ImgPicture1->SetWidth(d2.width());
            ImgPicture1->SetHeight(d2.height());
            ImgPicture1->DisplayPicture(rightFile);
            copyFromControl(surface, int(roundEven(sw / 2.0)), int(roundEven((sh - d2.height()) / 2.0)),
                            d2.width(), d2.height());
        }
    } else {
        if (!Img_Tmp.isNull())
            surface = Img_Tmp.copy();
        // Both pages are composed side by side into one block that turns as a whole.
        const int bw = d1.width() + d2.width();
        QImage block(qMax(bw, 1), qMax(sh, 1), QImage::Format_RGB32);
        block.fill(Qt::black);
        ImgPicture1->SetVisible(true);
        auto place = [&](const QString &file, QSize d, int x) {
            if (d.isEmpty() || !fileExists(file))
                return;
            ImgPicture1->SetWidth(d.width());
            ImgPicture1->SetHeight(d.height());
            ImgPicture1->DisplayPicture(file);
            copyFromControl(block, x, int(roundEven((sh - d.height()) / 2.0)), d.width(), d.height());
        };
        if (leftIdx >= 0)
            place(leftFile, d1, 0);
        if (rightIdx >= 0)
            place(rightFile, d2, d1.width());
        turnPage(surface, block, int(roundEven((sw - bw) / 2.0)), 0, bw, sh, true);
    }
    Img_Tmp = surface.copy();
}

void Frm_ImgViewer::sharpenSurface(QImage &surface)
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

void Frm_ImgViewer::turnPage(QImage &surface, const QImage &page, int left, int top, int width, int height,
                             bool pageIsDC)
{
    if (page.isNull() || width <= 0 || height <= 0)
        return;
    if (!m_bookMove) {
        QPainter painter(&surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRect(left, top, width, height), page, QRect(0, 0, width, height));
        return;
    }
    m_bookMove->Set_Left(left);
    m_bookMove->Set_Top(top);
    m_bookMove->Set_Width(width);
    m_bookMove->Set_Height(height);
    m_bookMove->Set_MovePos(i_PagePos);
    BookSurface target{surface, [this] { PicDraw->repaint(); }, {}};
    try {
        m_bookMove->Move_Page(target, page, pageIsDC ? &page : nullptr);
    } catch (const std::exception &e) {
        m_app.logError(QString::fromUtf8(e.what()));
    }
}

void Frm_ImgViewer::chk_view_Click()
{
    if (!chk_view->isChecked()) {
        I_ViewMode = 1;
        cmdfile->setEnabled(true);
        Img_Tmp = QImage();
        Page_Index = qint16(Page_Index * 2);
        if (Page_Index == m_list1.ListCount())
            --Page_Index;
        if (Page_Index < 0)
            Page_Index = 0;
    } else {
        I_ViewMode = 2;
        cmdfile->setEnabled(false);
        chk_japan->setEnabled(true);
        Img_Tmp = QImage();
        Page_Index = qint16(Page_Index / 2);
    }
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
    if (busy) {
        // Disabling a window takes the keyboard focus from the widget inside it;
        // remember it so the keys reach the page again after the step.
        // The window's own focus widget, which it keeps even while another window
        // (a dialog just closed) is the active one.
        if (isEnabled())
            m_focusBeforeBusy = focusWidget();
        setEnabled(false);
        return;
    }
    setEnabled(true);
    if (m_focusBeforeBusy)
        m_focusBeforeBusy->setFocus();
}

void Frm_ImgViewer::Go_Prev()
{
    setBusy(true);
    if (Page_Index - 1 >= 0) {
        --Page_Index;
        i_PagePos = chk_japan->isChecked() ? 2 : 1;
        Page_Draw(Page_Index, chkeffect->isChecked() ? 1 : 0);
    } else {
        const int v = cb_list->currentIndex();
        if (stepCount() >= 2 && v - 1 >= 0) {
            if (m_app.prompts->messageBox(this, m_app.lang.Title_Text, m_app.lang.Msg_Table[1], MsgIcon::Question,
                                          MsgButtons::YesNo) == MsgResult::Yes)
                selectVolume(v - 1);
        } else if (stepCount() >= 2) {
            m_app.prompts->messageBox(this, m_app.lang.Title_Text, m_app.lang.Msg_Table[6], MsgIcon::Information,
                                      MsgButtons::Ok);
        }
    }
    setBusy(false);
}

void Frm_ImgViewer::Go_Next()
{
    setBusy(true);
    const int steps = stepCount();
    if (Page_Index + 1 <= steps - 1) {
        ++Page_Index;
        i_PagePos = chk_japan->isChecked() ? 1 : 2;
        Page_Draw(Page_Index, chkeffect->isChecked() ? 1 : 0);
    } else {
        const int v = cb_list->currentIndex();
        const int c = cb_list->count();
        if (v >= 0 && v + 1 < c) {
            if (m_app.prompts->messageBox(this, m_app.lang.Title_Text, m_app.lang.Msg_Table[0], MsgIcon::Question,
                                          MsgButtons::YesNo) == MsgResult::Yes)
                selectVolume(v + 1);
        } else if (steps >= 2) {
            m_app.prompts->messageBox(this, m_app.lang.Title_Text, m_app.lang.Msg_Table[5], MsgIcon::Information,
                                      MsgButtons::Ok);
        }
    }
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
    if (m_list1.ListCount() < 2) {
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
    if (m_list1.isEmpty())
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
    const qint16 old = Page_Index;
    const QString t = txtpage->text().trimmed();
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok) {
        m_app.ErrorLog += QStringLiteral("txtpage key setfocus \r\n");
        return;
    }
    const int steps = stepCount();
    if (value > 0 && value <= steps)
        Page_Index = qint16(roundEven(value - 1));
    else if (value == 0)
        Page_Index = 0;
    else
        Page_Index = qint16(qMax(steps - 1, 0));
    if (Page_Index < old)
        i_PagePos = chk_japan->isChecked() ? 2 : 1;
    else if (Page_Index > old)
        i_PagePos = chk_japan->isChecked() ? 1 : 2;
    else
        i_PagePos = 2;
    Page_Draw(Page_Index, chkeffect->isChecked() ? 1 : 0);
    PicDraw->setFocus();
}

