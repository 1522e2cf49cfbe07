// The main window's layout, skin and the commands of its top bar.
#include "views/Frm_ImgViewer.h"
#include "views/WindowParts.h"

#include "core/PageGeometry.h"
#include "core/Program.h"
#include "core/SessionLifecycle.h"
#include "dialogs/BannerView.h"
#include "dialogs/ExportCommand.h"
#include "dialogs/Frm_Folder.h"
#include "dialogs/Frm_Info.h"
#include "dialogs/Frm_Open.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"
#include "views/EventHook.h"
#include "views/IndexPane.h"
#include "views/OptionsMenu.h"
#include "views/SettingsMenu.h"
#include "views/TopBarStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include <exception>

namespace {
constexpr int kTopBarHeight = 40;
// bg_Top.bmp is this wide; a wider bar gets the image stretched from kWideFrom on.
constexpr int kBarImageWidth = 1024;
constexpr int kWideFrom = 1020;
// The smallest outer size, in twips (600 x 400 pixels at 15 twips per pixel).
constexpr double kMinOuterWidthTwips = 9000;
constexpr double kMinOuterHeightTwips = 6000;
// The banner keeps this place on the bar at every size.
const QRect kBannerRect(767, 1, 160, 36);
// The small controls stand in two rows between the page buttons and the export buttons.
constexpr int kRowTop1 = 2;
constexpr int kRowTop2 = 21;
constexpr int kRowHeight = 18;
constexpr int kPageBoxWidth = 38;
constexpr int kChipGap = 3;
constexpr int kMinVolumeListWidth = 110;
// The volume list on a row of its own (the narrowest bar).
constexpr int kNarrowVolumeListWidth = 120;
// A labelled button shown by its icon alone.
constexpr int kCompactButtonWidth = 38;
// The menu button on a bar wide enough for the switches.
constexpr QSize kMenuButtonSize(26, 32);

const QString kBgTop = QStringLiteral("bg_Top.bmp");

// Twips per pixel of the window's screen (15 on a standard 96 dpi screen).
double twipsPerPixelX(const QWidget *w)
{
    return 1440.0 / qMax(1, w->logicalDpiX());
}

double twipsPerPixelY(const QWidget *w)
{
    return 1440.0 / qMax(1, w->logicalDpiY());
}

bool isLeftClick(QEvent *e, const QWidget *w)
{
    if (e->type() != QEvent::MouseButtonRelease)
        return false;
    auto *m = static_cast<QMouseEvent *>(e);
    return m->button() == Qt::LeftButton && w->rect().contains(m->position().toPoint());
}
} // namespace

// ---------------------------------------------------------------- dressing

void Frm_ImgViewer::styleWidgets()
{
    TopBarStyle::apply(*this);

    PicTop->setFixedHeight(kTopBarHeight);
    EventHook::install(PicTop, [this](QEvent *e) {
        if (e->type() != QEvent::Paint)
            return false;
        paintTopBar();
        return true;
    });
    Picbanner->setGeometry(kBannerRect);

    // Clicks on the tip overlay: the picture and the veil around it both close it.
    PicTip->setAlignment(Qt::AlignCenter);
    // The hooks hold their widget themselves: they still see events while the
    // window is being torn down, when its members are no longer to be read.
    EventHook::install(PicTip, [this, tip = PicTip](QEvent *e) {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)
            return true;
        if (!isLeftClick(e, tip))
            return false;
        PicTip_Click();
        return true;
    });
    EventHook::install(PicTipOut, [this, veil = PicTipOut](QEvent *e) {
        if (e->type() == QEvent::Show)
            showTipPicture();
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)
            return true;
        if (!isLeftClick(e, veil))
            return false;
        PicTipOut_Click();
        return true;
    });

    connect(cmdopen, &SkinButton::leftPressed, this, [this] { cmdopen_MouseDown(Qt::LeftButton); });
    connect(cmdopen, &SkinButton::leftReleased, this, [this] { cmdopen_MouseUp(Qt::LeftButton); });
    connect(cmdfullscreen, &SkinButton::leftPressed, this, [this] { cmdfullscreen_MouseDown(Qt::LeftButton); });
    connect(cmdIndex, &SkinButton::leftPressed, this, [this] { cmdIndex_MouseDown(Qt::LeftButton); });
    connect(cmdfile, &SkinButton::leftPressed, this, [this] { cmdfile_MouseDown(Qt::LeftButton); });
    connect(cmdFolder, &SkinButton::leftPressed, this, [this] { cmdFolder_MouseDown(Qt::LeftButton); });
    connect(img_Info, &SkinButton::leftPressed, this, [this] { img_Info_MouseDown(Qt::LeftButton); });
    connect(img_Info, &SkinButton::leftReleased, this, [this] { img_Info_MouseUp(Qt::LeftButton); });
    connect(img_Tip, &SkinButton::leftPressed, this, [this] { img_Tip_MouseDown(Qt::LeftButton); });
    connect(img_Tip, &SkinButton::leftReleased, this, [this] { img_Tip_MouseUp(Qt::LeftButton); });

    runOpenChooser = [this] {
        Frm_Open chooser(m_app, this);
        return chooser.exec() == QDialog::Accepted;
    };
    // Run from the full-screen menu, the messages and the chooser belong in front
    // of the full-screen window, not behind it with the main window.
    const auto frontWindow = [this]() -> QWidget * {
        QWidget *active = QApplication::activeWindow();
        return active ? active : this;
    };
    exportPage = [this, frontWindow] {
        ExportCurrentPage(m_app, frontWindow(), chk_view->isChecked(), Page_Path(session.currentStep().first), chooseExportFolder);
    };
    chooseExportFolder = [this, frontWindow] { Frm_Folder(m_app, frontWindow()).exec(); };
    showInfo = [this] { Frm_Info(m_app.paths, this, m_app.lang.Tip_InfoClose, m_app.keys).exec(); };
    sendUsageRequest = InstallBanner(Picbanner, m_app);
    WindowParts::onKeys(this, m_app.keys, PageKeys::Action::Open, [this] {
        if (isEnabled() && !IsProcess) {
            cmdopen_MouseDown(Qt::LeftButton);
            cmdopen_MouseUp(Qt::LeftButton);
        }
    });
    // The key follows the button; in the two-page view, where the button is off, the
    // reader is told why nothing is exported.
    WindowParts::onKeys(this, m_app.keys, PageKeys::Action::Export, [this] {
        if (cmdfile->isEnabled())
            cmdfile_MouseDown(Qt::LeftButton);
        else
            session.exportRefused();
    });
    WindowParts::onKeys(this, m_app.keys, PageKeys::Action::Info, [this] {
        img_Info_MouseDown(Qt::LeftButton);
        img_Info_MouseUp(Qt::LeftButton);
    });
}

QString Frm_ImgViewer::skinPath(const QString &file, bool languageDependent) const
{
    return m_app.paths.skinFolder() + (languageDependent ? m_app.lang.Lang_Folder : QString()) + file;
}

void Frm_ImgViewer::Skin_Load()
{
    cmdopen->setImageFile(skinPath(QStringLiteral("b_open.bmp"), true));
    cmdfirst->setImageFile(skinPath(QStringLiteral("b_start2.bmp"), false));
    cmdnext->setImageFile(skinPath(QStringLiteral("b_next.bmp"), false));
    cmdprev->setImageFile(skinPath(QStringLiteral("b_prev.bmp"), false));
    cmdlast->setImageFile(skinPath(QStringLiteral("b_fast2.bmp"), false));
    cmdfile->setImageFile(skinPath(QStringLiteral("b_fileout.bmp"), true));
    cmdFolder->setImageFile(skinPath(QStringLiteral("b_folder.bmp"), true));
    cmdfullscreen->setImageFile(skinPath(QStringLiteral("b_allscreen.bmp"), true));
    cmdIndex->setImageFile(skinPath(QStringLiteral("b_list.bmp"), true));
    img_Info->setImageFile(skinPath(QStringLiteral("b_inform.bmp"), false));
    m_topPicture = readSkinImage(skinPath(kBgTop, false), devicePixelRatioF());
    PicTmp = m_topPicture;
    PicTop->update();
    Pic_IndexScreen->Skin_Load();
    img_Tip->setImageFile(skinPath(QStringLiteral("b_tip.bmp"), false));
    // The tip is read when it is first shown: a start that opens a book never
    // shows it, and its format is the only one the skin needs a plugin for.
    m_tipFile = skinPath(QStringLiteral("tip.gif"), false);
    if (PicTipOut->isVisible())
        showTipPicture();
    // The buttons now have their images' sizes.
    placeTopBar();
}

void Frm_ImgViewer::screenDensityChanged()
{
    m_tipShown.clear();
    PicTmp = QImage();
    Skin_Load();
    Form_Resize();
    if (m_app.IsIndexShow && !session.List1().isEmpty())
        Tmr_Index.timer.start();
}

void Frm_ImgViewer::showTipPicture()
{
    if (m_tipShown == m_tipFile)
        return;
    m_tipShown = m_tipFile;
    PicTip->setPixmap(skinPixmap(m_tipFile, devicePixelRatioF()));
    PicTip->adjustSize();
    PicTip->move((PicTipOut->width() - PicTip->width()) / 2, (PicTipOut->height() - PicTip->height()) / 2);
}

void Frm_ImgViewer::Set_ButtonState(bool pagesAvailable)
{
    struct Switched
    {
        SkinButton *button;
        const char *stem;
        bool languageDependent;
    };
    const Switched switched[] = {
        {cmdfirst, "b_start2", false},     {cmdnext, "b_next", false},
        {cmdprev, "b_prev", false},        {cmdlast, "b_fast2", false},
        {cmdfullscreen, "b_allscreen", true}, {cmdIndex, "b_list", true},
        {cmdfile, "b_fileout", true},
    };
    for (const Switched &s : switched)
        s.button->setEnabled(pagesAvailable);
    PicOption->setEnabled(pagesAvailable);
    for (const Switched &s : switched) {
        // Export works on single pages only: in two-page view its button stays grey.
        const bool normal = pagesAvailable && (s.button != cmdfile || session.viewMode() == ViewMode::OnePage);
        const QString file = QString::fromLatin1(s.stem) + (normal ? QStringLiteral(".bmp") : QStringLiteral("_grey.bmp"));
        s.button->setImageFile(skinPath(file, s.languageDependent));
    }
}

// ---------------------------------------------------------------- wait panel

void Frm_ImgViewer::ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg)
{
    WindowParts::WaitPanel{PicBox, lbl_filemsg, Shback, Shbar}.progress(Percent, TotCount, StrMsg);
}

// ---------------------------------------------------------------- top bar

void Frm_ImgViewer::paintTopBar()
{
    QPainter p(PicTop);
    if (!m_topPicture.isNull())
        p.drawImage(0, 0, m_topPicture);
}

void Frm_ImgViewer::placeTopBar()
{
    SkinButton *const labelled[] = {cmdopen, cmdfile, cmdFolder, cmdfullscreen, cmdIndex};
    const QList<QCheckBox *> switches = {chk_view, chk_japan, Chk_hundred, Chk_Sharpen, chkeffect};
    if (!cmdOptions) {
        cmdOptions = OptionsMenu::build(PicTop, switches);
        QMenu *menu = cmdOptions->menu();
        menu->addMenu(SettingsMenu::recentBooks(menu, m_app, [this](const QString &path) {
            if (openRecent)
                openRecent(path);
        }));
        menu->addSeparator();
        SettingsMenu::addSettings(menu, m_app, [this](qint16 mode) { applyLanguage(mode); });
    }
    const auto fits = [&] {
        const QRect menu = cmdOptions->geometry();
        return cmdIndex->geometry().right() < menu.left() && menu.right() < img_Tip->x();
    };
    for (SkinButton *b : labelled)
        b->setCompactWidth(0);
    placeTopBarOnce(false);
    // A bar too narrow for the labelled buttons (a 1024-pixel screen) shows them
    // by their icons alone, so every command stays reachable; narrower still (the
    // smallest window), one options button stands in for the switches.
    if (!fits()) {
        for (SkinButton *b : labelled)
            b->setCompactWidth(kCompactButtonWidth);
        placeTopBarOnce(false);
        if (!fits())
            placeTopBarOnce(true);
    }
}

void Frm_ImgViewer::placeTopBarOnce(bool narrow)
{
    // Left to right; a control that would reach into the banner's place goes on
    // past the banner instead.
    int x = 4;
    auto place = [&](int width, int gapBefore) {
        x += gapBefore;
        if (x < kBannerRect.right() && x + width > kBannerRect.left() - 4)
            x = kBannerRect.right() + 1 + 10;
        const int left = x;
        x += width;
        return left;
    };
    cmdopen->move(place(cmdopen->width(), 0), 0);
    int gap = 4;
    for (SkinButton *b : {cmdfirst, cmdprev, cmdnext, cmdlast}) {
        b->move(place(b->width(), gap), 0);
        gap = 0;
    }

    // Page box, count and volume list above the option switches; on the narrowest
    // bar the options button follows the count and the list has the row below.
    QCheckBox *const chips[] = {chk_view, chk_japan, Chk_hundred, Chk_Sharpen, chkeffect};
    int chipsWidth = -kChipGap;
    for (QCheckBox *c : chips) {
        c->ensurePolished();
        chipsWidth += c->sizeHint().width() + kChipGap;
    }
    lblpage->ensurePolished();
    const int countWidth = lblpage->fontMetrics().horizontalAdvance(QStringLiteral("/0000")) + 4;
    const int pageWidth = kPageBoxWidth + 2 + countWidth + 4;
    PicOption->setVisible(!narrow);
    const Language &t = m_app.lang;
    OptionsMenu::setNarrow(cmdOptions, narrow, narrow ? t.OptionsCaption : t.Mnu_Menu,
                           {t.Mnu_Recent, t.Mnu_Language, t.Mnu_CodePage});
    if (narrow) {
        cmdOptions->ensurePolished();
        const int optionsWidth = cmdOptions->sizeHint().width();
        const int clusterWidth = qMax(pageWidth + optionsWidth, kNarrowVolumeListWidth);
        const int left = place(clusterWidth, 4);
        txtpage->setGeometry(left, kRowTop1, kPageBoxWidth, kRowHeight);
        lblpage->setGeometry(left + kPageBoxWidth + 2, kRowTop1, countWidth, kRowHeight);
        cmdOptions->setGeometry(left + pageWidth, kRowTop1, clusterWidth - pageWidth, kRowHeight);
        cb_list->setGeometry(left, kRowTop2, clusterWidth, kRowHeight);
    } else {
        const int clusterWidth = qMax(chipsWidth, pageWidth + kMinVolumeListWidth);
        const int left = place(clusterWidth, 6);
        txtpage->setGeometry(left, kRowTop1, kPageBoxWidth, kRowHeight);
        lblpage->setGeometry(left + kPageBoxWidth + 2, kRowTop1, countWidth, kRowHeight);
        cb_list->setGeometry(left + pageWidth, kRowTop1, clusterWidth - pageWidth, kRowHeight);
        PicOption->setGeometry(left, kRowTop2, clusterWidth, kRowHeight);
        // Spare width goes to the switches evenly, so both rows end together.
        const int spare = clusterWidth - chipsWidth;
        int cx = 0;
        for (int i = 0; i < 5; ++i) {
            const int w = chips[i]->sizeHint().width() + spare / 5 + (i < spare % 5 ? 1 : 0);
            chips[i]->setGeometry(cx, 0, w, kRowHeight);
            cx += w + kChipGap;
        }
    }
    TopBarStyle::placeArrow(cb_list);

    cmdfile->move(place(cmdfile->width(), 6), 0);
    cmdFolder->move(place(cmdFolder->width(), 0), 0);
    cmdfullscreen->move(place(cmdfullscreen->width(), 6), 0);
    cmdIndex->move(place(cmdIndex->width(), 0), 0);

    // The information button ends at the bar's right end. On the maximised
    // window that is the screen's right edge, where the button always stood; a
    // smaller window (or one spread over two screens) keeps both small buttons
    // on its own bar, where they can still be clicked.
    const int right = PicTop->width();
    img_Info->move(right - img_Info->width(), img_Info->y());
    img_Tip->move(img_Info->x() - img_Tip->width(), img_Tip->y());
    img_Tip->raise();
    img_Info->raise();

    if (!narrow) {
        // The menu of recent books and settings stands before the two small
        // buttons, past the banner; where the banner leaves no room for it
        // there, it follows the commands.
        const int menuLeft = img_Tip->x() - kMenuButtonSize.width() - 2;
        const int x = menuLeft > kBannerRect.right() || menuLeft + kMenuButtonSize.width() < kBannerRect.left()
                          ? menuLeft
                          : place(kMenuButtonSize.width(), 6);
        cmdOptions->setGeometry(QRect(QPoint(x, (kTopBarHeight - kMenuButtonSize.height()) / 2), kMenuButtonSize));
    }
}

// ---------------------------------------------------------------- layout

void Frm_ImgViewer::resizeEvent(QResizeEvent *)
{
    Form_Resize();
}

void Frm_ImgViewer::Form_Resize()
{
    if (isMinimized() || m_snapping)
        return;

    // The smallest outer size. Snapping resizes the window, which comes
    // back here; that inner pass is skipped and this one goes on with the new size.
    const QSize outer = frameGeometry().size();
    const int minW = qRound(kMinOuterWidthTwips / twipsPerPixelX(this));
    const int minH = qRound(kMinOuterHeightTwips / twipsPerPixelY(this));
    QSize client = size();
    if (outer.width() <= minW)
        client.setWidth(minW - (outer.width() - width()));
    if (outer.height() <= minH)
        client.setHeight(minH - (outer.height() - height()));
    if (client != size()) {
        m_snapping = true;
        resize(client);
        m_snapping = false;
    }

    const int W = width();
    const int H = height();
    PicTop->setGeometry(0, 0, W, kTopBarHeight);
    const int top = PicTop->y() + PicTop->height();

    // A bar wider than its image: the image stretched over the rest.
    if (PicTop->width() > kBarImageWidth) {
        if (PicTmp.isNull())
            PicTmp = readSkinImage(skinPath(kBgTop, false), devicePixelRatioF());
        // At the skin image's own density, so a 2x bar stays sharp.
        const qreal r = PicTmp.isNull() ? 1.0 : PicTmp.devicePixelRatio();
        QImage bar(QSize(PicTop->width(), kTopBarHeight) * r, QImage::Format_RGB32);
        bar.setDevicePixelRatio(r);
        bar.fill(palette().color(QPalette::Window));
        if (!PicTmp.isNull()) {
            QPainter p(&bar);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, PicTmp);
            const int imageHeight = int(PicTmp.deviceIndependentSize().height());
            p.drawImage(QRect(kWideFrom, 0, PicTop->width() - kWideFrom, imageHeight), PicTmp, PicTmp.rect());
        }
        m_topPicture = bar;
        PicTop->update();
    }

    // Then the bar's controls, which depend on its width.
    placeTopBar();

    const int indexWidth = Pic_IndexScreen->width();
    Pic_IndexScreen->setGeometry(W - indexWidth, top, indexWidth, qMax(0, H - top));
    if (H > 0)
        PicDraw->setGeometry(0, top, qMax(0, PicTop->width() - (m_app.IsIndexShow ? indexWidth : 0)),
                             qMax(0, H - top));
    // lblnoimage is the window's child, so PicDraw's offset is added.
    lblnoimage->move(PicDraw->x() + (PicDraw->width() - lblnoimage->width()) / 2,
                     PicDraw->y() + (PicDraw->height() - lblnoimage->height()) / 2);
    showWaitPanel(!PicBox->isHidden());
    // The kept picture is of the old size: no turn may start from it.
    Img_Tmp = QImage();
    PicTipOut->setGeometry(PicDraw->geometry());
    PicTip->move((PicTipOut->width() - PicTip->width()) / 2, (PicTipOut->height() - PicTip->height()) / 2);
    // The page is redrawn at the new size, but not before the initial open.
    if (Tmr_Load.Tag == QLatin1String("exe"))
        Page_Draw(0);
}

// ---------------------------------------------------------------- open command

void Frm_ImgViewer::cmdopen_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    cmdopen->setImageFile(skinPath(QStringLiteral("b_open_down.bmp"), true));
    // The chooser records its choice over the open book's source.
    const ResumeRecord before = session.snapshot();
    const bool chosen = runOpenChooser && runOpenChooser();
    setBusy(true);
    if (chosen && !m_app.OpenPath.isEmpty())
        PicTipOut->hide();
    // A chooser closed without a choice changes nothing, even after a cancelled
    // dialog set OpenConfirmed: the book already open stays as it is.
    if (!m_app.OpenConfirmed || !chosen) {
        setBusy(false);
        return;
    }
    if (!m_app.IsArchive)
        m_app.LastFolder = m_app.OpenPath;
    Set_ButtonState(true);
    PicBox->show();
    PicBox->raise();
    SessionLifecycle::openChosen(session, before);
    session.afterLoad([this] {
        PicBox->hide();
        if (session.List1().isEmpty())
            Set_ButtonState(false);
        setBusy(false);
    });
}

void Frm_ImgViewer::cmdopen_MouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    cmdopen->setImageFile(skinPath(QStringLiteral("b_open.bmp"), true));
}

// ---------------------------------------------------------------- the other commands

void Frm_ImgViewer::pressedCommand(SkinButton *b, const QString &name, bool paintFirst, bool run,
                                   const std::function<void()> &command)
{
    b->setImageFile(skinPath(name + QStringLiteral("_down.bmp"), true));
    // The commands that may take a while show their pressed image before they run.
    if (paintFirst)
        QCoreApplication::processEvents();
    if (run && command)
        command();
    b->setImageFile(skinPath(name + QStringLiteral(".bmp"), true));
}

void Frm_ImgViewer::cmdfullscreen_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        pressedCommand(cmdfullscreen, QStringLiteral("b_allscreen"), true, !session.List1().isEmpty(), openFullScreen);
}

void Frm_ImgViewer::cmdIndex_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        pressedCommand(cmdIndex, QStringLiteral("b_list"), true, !session.List1().isEmpty() && !m_app.IsIndexShow, openIndex);
}

void Frm_ImgViewer::cmdfile_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton && !session.List1().isEmpty())
        pressedCommand(cmdfile, QStringLiteral("b_fileout"), true, true, exportPage);
}

void Frm_ImgViewer::cmdFolder_MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        pressedCommand(cmdFolder, QStringLiteral("b_folder"), false, true, chooseExportFolder);
}

void Frm_ImgViewer::img_Info_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    img_Info->setImageFile(skinPath(QStringLiteral("b_inform_down.bmp"), false));
    if (showInfo)
        showInfo();
}

void Frm_ImgViewer::img_Info_MouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    img_Info->setImageFile(skinPath(QStringLiteral("b_inform.bmp"), false));
}

void Frm_ImgViewer::img_Tip_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    img_Tip->setImageFile(skinPath(QStringLiteral("b_tip_down.bmp"), false));
    if (!PicTipOut->isHidden()) {
        PicTipOut->hide();
    } else {
        PicTipOut->show();
        PicTipOut->raise();
    }
}

void Frm_ImgViewer::img_Tip_MouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    img_Tip->setImageFile(skinPath(QStringLiteral("b_tip.bmp"), false));
}

void Frm_ImgViewer::PicTip_Click()
{
    PicTipOut->hide();
}

void Frm_ImgViewer::PicTipOut_Click()
{
    PicTipOut->hide();
}
