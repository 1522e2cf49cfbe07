// The main window's layout, skin and the commands of its top bar.
#include "core/Frm_ImgViewer.h"

#include "core/PageGeometry.h"
#include "core/Program.h"
#include "platform/Canvas.h"
#include "platform/SkinButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int kTopBarHeight = 40;
}

void Frm_ImgViewer::ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg)
{
    lbl_filemsg->setText(StrMsg);
    if (TotCount < 1)
        return;
    const double w = double(Shback->width() - 4) / double(TotCount) * double(Percent);
    Shbar->resize(qMax(1, int(PageGeometry::roundEven(w))), Shbar->height());
}

void Frm_ImgViewer::styleWidgets()
{
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
    img_Tip->setImageFile(skinPath(QStringLiteral("b_tip.bmp"), false));
    PicTip->setPixmap(QPixmap(skinPath(QStringLiteral("tip.gif"), false)));
    PicTip->adjustSize();
}

void Frm_ImgViewer::Set_ButtonState(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(cmdfirst), static_cast<QWidget *>(cmdnext),
                       static_cast<QWidget *>(cmdprev), static_cast<QWidget *>(cmdlast), PicOption,
                       static_cast<QWidget *>(cmdfullscreen), static_cast<QWidget *>(cmdIndex),
                       static_cast<QWidget *>(cmdfile)})
        w->setEnabled(on);
    const QString suffix = on ? QStringLiteral(".bmp") : QStringLiteral("_grey.bmp");
    cmdfirst->setImageFile(skinPath(QStringLiteral("b_start2") + suffix, false));
    cmdnext->setImageFile(skinPath(QStringLiteral("b_next") + suffix, false));
    cmdprev->setImageFile(skinPath(QStringLiteral("b_prev") + suffix, false));
    cmdlast->setImageFile(skinPath(QStringLiteral("b_fast2") + suffix, false));
    cmdfullscreen->setImageFile(skinPath(QStringLiteral("b_allscreen") + suffix, true));
    cmdIndex->setImageFile(skinPath(QStringLiteral("b_list") + suffix, true));
    const bool fileNormal = on && I_ViewMode == 1;
    cmdfile->setImageFile(skinPath(fileNormal ? QStringLiteral("b_fileout.bmp") : QStringLiteral("b_fileout_grey.bmp"), true));
}

void Frm_ImgViewer::resizeEvent(QResizeEvent *)
{
    Form_Resize();
}

void Frm_ImgViewer::Form_Resize()
{
    if (isMinimized())
        return;
    const int W = width();
    const int H = height();
    PicTop->setGeometry(0, 0, W, kTopBarHeight);
    // A simple row until the skinned layout places the bar's parts.
    int x = 4;
    for (QWidget *b : {static_cast<QWidget *>(cmdopen), static_cast<QWidget *>(cmdfirst),
                       static_cast<QWidget *>(cmdprev), static_cast<QWidget *>(cmdnext),
                       static_cast<QWidget *>(cmdlast)}) {
        b->move(x, 0);
        x += b->width() + 2;
    }
    txtpage->setGeometry(x + 4, 9, 44, 22);
    lblpage->setGeometry(x + 50, 9, 44, 22);
    x += 100;
    cb_list->setGeometry(x, 8, 200, 24);
    x += 206;
    for (QWidget *b : {static_cast<QWidget *>(cmdfile), static_cast<QWidget *>(cmdFolder),
                       static_cast<QWidget *>(cmdfullscreen), static_cast<QWidget *>(cmdIndex)}) {
        b->move(x, 0);
        x += b->width() + 2;
    }
    PicOption->setGeometry(x + 4, 0, 360, kTopBarHeight);
    int cx = 0;
    for (QCheckBox *c : {chk_view, chk_japan, Chk_hundred, Chk_Sharpen, chkeffect}) {
        c->adjustSize();
        c->move(cx, (kTopBarHeight - c->height()) / 2);
        cx += c->width() + 6;
    }
    img_Info->move(W - img_Info->width(), 0);
    img_Tip->move(img_Info->x() - img_Tip->width(), 0);
    Pic_IndexScreen->setGeometry(W - Pic_IndexScreen->width(), kTopBarHeight, Pic_IndexScreen->width(),
                                 H - kTopBarHeight);
    if (H > 0)
        PicDraw->setGeometry(0, kTopBarHeight, W - (m_app.IsIndexShow ? Pic_IndexScreen->width() : 0),
                             H - kTopBarHeight);
    lblnoimage->move(PicDraw->x() + (PicDraw->width() - lblnoimage->width()) / 2,
                     PicDraw->y() + (PicDraw->height() - lblnoimage->height()) / 2);
    PicBox->move((W - PicBox->width()) / 2, (H - PicBox->height()) / 2);
    Img_Tmp = QImage();
    PicTipOut->setGeometry(PicDraw->geometry());
    PicTip->move((PicTipOut->width() - PicTip->width()) / 2, (PicTipOut->height() - PicTip->height()) / 2);
    if (Tmr_Load.Tag == QLatin1String("exe"))
        Page_Draw(Page_Index, 0);
}
