#include "views/TopBarStyle.h"

#include "views/Frm_ImgViewer.h"
#include "platform/Canvas.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

namespace {

// The captions are Korean: a face with Hangul keeps them crisp instead of
// falling back glyph by glyph.
QString uiFamily()
{
    for (const char *f : {"Noto Sans CJK KR", "Noto Sans KR", "NanumGothic", "Noto Sans CJK JP"}) {
        const QString family = QString::fromLatin1(f);
        if (QFontDatabase::hasFamily(family))
            return family;
    }
    return QString();
}

QString fontRule()
{
    const QString family = uiFamily();
    return family.isEmpty() ? QString() : QStringLiteral("font-family: \"%1\";").arg(family);
}

// Scoped by object name so nothing leaks into the dialogs the window owns.
const char *kBar = R"(
QLineEdit#txtpage {
  background: #161b21; color: #f2f6fa; border: 1px solid #55667b; border-radius: 3px;
  padding: 0px 3px; font-size: 12px; font-weight: bold; selection-background-color: #4fa84d;
}
QLineEdit#txtpage:focus { border-color: #86d17f; }
QLineEdit#txtpage:disabled { color: #6b747e; border-color: #38404a; }
QLabel#lblpage { color: #c5cfda; font-size: 12px; background: transparent; }
QComboBox#cb_list {
  background: #161b21; color: #f2f6fa; border: 1px solid #55667b; border-radius: 3px;
  padding: 0px 4px 0px 6px; font-size: 12px; combobox-popup: 0;
}
QComboBox#cb_list:hover { border-color: #86d17f; }
QComboBox#cb_list:disabled { color: #6b747e; border-color: #38404a; }
QComboBox#cb_list::drop-down {
  subcontrol-origin: padding; subcontrol-position: center right; width: 14px; border: none;
}
QComboBox#cb_list QAbstractItemView {
  background: #222932; color: #eef3f8; border: 1px solid #55667b; outline: 0px;
  selection-background-color: #4fa84d; selection-color: #ffffff; font-size: 12px;
}
QWidget#PicOption QCheckBox {
  color: #dfe6ee; background: #2c3540; border: 1px solid #55667b; border-radius: 4px;
  padding: 0px 4px; spacing: 0px; font-size: 12px;
}
QWidget#PicOption QCheckBox::indicator { width: 0px; height: 0px; }
QToolButton#cmdOptions {
  color: #dfe6ee; background: #2c3540; border: 1px solid #55667b; border-radius: 4px;
  padding: 0px 4px; font-size: 12px;
}
QToolButton#cmdOptions:hover { border-color: #86d17f; }
QToolButton#cmdOptions:disabled { color: #6b747e; background: #2a3039; border-color: #38404a; }
QWidget#PicOption QCheckBox:hover { border-color: #86d17f; }
QWidget#PicOption QCheckBox:checked { background: #4fa84d; border-color: #86d17f; color: #ffffff; }
QWidget#PicOption QCheckBox:disabled { color: #6b747e; background: #2a3039; border-color: #38404a; }
QWidget#PicOption QCheckBox:checked:disabled { color: #93a394; background: #34463a; border-color: #3f5544; }
)";

const char *kWaitPanel = R"(
QFrame#PicBox { background: #222932; border: 1px solid #86d17f; border-radius: 6px; }
QLabel#lbl_filemsg { color: #eef3f8; background: transparent; border: none; font-size: 13px; }
QFrame#Shback { background: #12161b; border: 1px solid #4a5664; border-radius: 2px; }
QFrame#Shbar { background: #86d17f; border: none; border-radius: 1px; }
)";

QPixmap dropArrow(qreal dpr)
{
    QPixmap pm(QSize(9, 6) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(0.5, 0.5);
    path.lineTo(8.5, 0.5);
    path.lineTo(4.5, 5.5);
    path.closeSubpath();
    p.fillPath(path, QColor(0xc5, 0xcf, 0xda));
    return pm;
}

} // namespace

void TopBarStyle::placeArrow(QComboBox *list)
{
    if (auto *arrow = list->findChild<QLabel *>(QStringLiteral("cb_listArrow")))
        arrow->move(list->width() - arrow->width() - 5, (list->height() - arrow->height()) / 2);
}

void TopBarStyle::apply(Frm_ImgViewer &w)
{
    const QString font = fontRule();
    w.PicTop->setStyleSheet(QStringLiteral("QWidget { %1 }").arg(font) + QString::fromUtf8(kBar));
    w.PicBox->setStyleSheet(QStringLiteral("QWidget { %1 }").arg(font) + QString::fromUtf8(kWaitPanel));
    w.lbl_filemsg->setAlignment(Qt::AlignCenter);

    w.lblnoimage->setStyleSheet(
        QStringLiteral("QLabel#lblnoimage { %1 color: #c5cfda; background: transparent; font-size: 18px; }").arg(font));
    w.lblnoimage->adjustSize();

    // The veil over the page dims it while the tip card is shown.
    w.PicTipOut->setAttribute(Qt::WA_StyledBackground, true);
    w.PicTipOut->setStyleSheet(
        QStringLiteral("QWidget#PicTipOut { background: rgba(0, 0, 0, 150); } QLabel#PicTip { background: transparent; }"));
    w.PicTipOut->setCursor(Qt::PointingHandCursor);

    // The page box is short: the caret and the digits need no frame margins.
    w.txtpage->setFrame(false);
    w.txtpage->setTextMargins(0, 0, 0, 0);
    w.cb_list->setFocusPolicy(Qt::NoFocus);
    // Keys belong to the page at start; the page box takes the focus when clicked.
    w.txtpage->setFocusPolicy(Qt::ClickFocus);

    // The styled list draws no arrow of its own.
    auto *arrow = new QLabel(w.cb_list);
    arrow->setObjectName(QStringLiteral("cb_listArrow"));
    arrow->setAttribute(Qt::WA_TransparentForMouseEvents);
    arrow->setPixmap(dropArrow(w.cb_list->devicePixelRatioF()));
    arrow->adjustSize();
    for (QWidget *c : w.PicOption->findChildren<QWidget *>())
        c->setFocusPolicy(Qt::NoFocus);
}
