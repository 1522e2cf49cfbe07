#include "views/WindowParts.h"

#include "core/PageGeometry.h"
#include "core/PageKeys.h"
#include "platform/ControlHost.h"

#include <leafview/ImgPicture.h>
#include <leafview/WheelMouse.h>

#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QLabel>
#include <QToolButton>

namespace WindowParts {

bool asksForAStep(const QEvent *e, const PageKeys::KeyMap &keys)
{
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    {
        const PageKeys::Action a = keys.actionFor(static_cast<const QKeyEvent *>(e)->keyCombination());
        return a == PageKeys::Action::Next || a == PageKeys::Action::Prev || a == PageKeys::Action::First ||
               a == PageKeys::Action::Last;
    }
    case QEvent::Wheel:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        return static_cast<const QMouseEvent *>(e)->button() == Qt::LeftButton;
    default:
        return false;
    }
}

void onKeys(QWidget *owner, const PageKeys::KeyMap &keys, PageKeys::Action action, const std::function<void()> &run)
{
    for (const QKeySequence &key : keys.keysOf(action)) {
        auto *shortcut = new QShortcut(key, owner);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, owner, run);
    }
}

IImgPicture *createImgPicture(const ControlHost *controls, QWidget *owner)
{
    QWidget *w = controls ? controls->createControl(QString::fromLatin1(kImgPictureProgId), owner) : nullptr;
    if (!w)
        return nullptr;
    w->hide();
    if (auto *p = qobject_cast<IImgPicture *>(w))
        return p;
    return dynamic_cast<IImgPicture *>(w);
}

IWheelMouse *createWheelMouse(const ControlHost *controls, QWidget *owner, QObject *receiver, const char *slot)
{
    QWidget *w = controls ? controls->createControl(QString::fromLatin1(kWheelMouseProgId), owner) : nullptr;
    if (!w)
        return nullptr;
    w->hide();
    QObject::connect(w, SIGNAL(WheelChanged(int)), receiver, slot);
    if (auto *m = qobject_cast<IWheelMouse *>(w))
        return m;
    return dynamic_cast<IWheelMouse *>(w);
}

bool givesUpLoad(const QObject *target, const QEvent *e, const PageKeys::KeyMap &keys)
{
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        return keys.actionFor(static_cast<const QKeyEvent *>(e)->keyCombination()) == PageKeys::Action::Leave;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        return target && target->objectName() == QLatin1String("cmdCancelLoad");
    default:
        return false;
    }
}

WaitPanel WaitPanel::build(QWidget *parent, const QString &message)
{
    WaitPanel p;
    p.PicBox = new QFrame(parent);
    p.PicBox->setObjectName(QStringLiteral("PicBox"));
    p.PicBox->setFrameShape(QFrame::Box);
    p.PicBox->setAutoFillBackground(true);
    p.PicBox->resize(320, 70);
    p.lbl_filemsg = new QLabel(message, p.PicBox);
    p.lbl_filemsg->setObjectName(QStringLiteral("lbl_filemsg"));
    p.lbl_filemsg->setGeometry(10, 8, 300, 22);
    p.Shback = new QFrame(p.PicBox);
    p.Shback->setObjectName(QStringLiteral("Shback"));
    p.Shback->setFrameShape(QFrame::Box);
    p.Shback->setGeometry(10, 38, 300, 16);
    p.Shbar = new QFrame(p.Shback);
    p.Shbar->setObjectName(QStringLiteral("Shbar"));
    p.Shbar->setAutoFillBackground(true);
    QPalette barPal = p.Shbar->palette();
    barPal.setColor(QPalette::Window, QColor(0x3b, 0x82, 0xf6));
    p.Shbar->setPalette(barPal);
    p.Shbar->setGeometry(2, 2, 1, 12);
    p.lbl_filemsg->setGeometry(10, 8, 230, 22);
    p.cmdCancelLoad = new QToolButton(p.PicBox);
    p.cmdCancelLoad->setObjectName(QStringLiteral("cmdCancelLoad"));
    p.cmdCancelLoad->setGeometry(245, 6, 65, 26);
    p.PicBox->hide();
    return p;
}

void WaitPanel::progress(qint32 Percent, qint32 TotCount, const QString &StrMsg) const
{
    lbl_filemsg->setText(StrMsg);
    if (TotCount < 1)
        return;
    const int track = Shback->width() - 4;
    const double w = double(track) / double(TotCount) * double(Percent);
    // A count past the total must not draw the bar beyond its track.
    Shbar->resize(qBound(0, int(PageGeometry::roundEven(w)), track), Shbar->height());
}

void WaitPanel::place(QWidget *box, bool visible, bool aside, const QRect &window, const QRect &pages)
{
    constexpr int kMargin = 16;
    const QSize size = box->size();
    if (aside)
        box->move(pages.center().x() - size.width() / 2, qMax(pages.top(), pages.bottom() + 1 - size.height() - kMargin));
    else
        box->move((window.width() - size.width()) / 2, (window.height() - size.height()) / 2);
    box->setVisible(visible);
    if (visible)
        box->raise();
}

} // namespace WindowParts
