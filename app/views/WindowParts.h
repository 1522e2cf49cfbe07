#pragma once
#include "core/PageKeys.h"

#include <QRect>
#include <QString>

#include <functional>

class ControlHost;
class QWidget;
class QObject;
class QFrame;
class QLabel;
class QToolButton;
class IImgPicture;
class IWheelMouse;
class QEvent;

// What both page windows are made of besides their surface.
namespace WindowParts {

// The window's own ImgPicture control, an off-screen loader the reader never
// sees; nullptr when the control library is not available.
IImgPicture *createImgPicture(const ControlHost *controls, QWidget *owner);
// The window's WheelMouse control, its WheelChanged(int) connected to `slot` of receiver.
IWheelMouse *createWheelMouse(const ControlHost *controls, QWidget *owner, QObject *receiver, const char *slot);

// Whether `e` asks a reading window for a page step: a key that turns pages
// (PageKeys), a wheel notch or the left button. While a turn plays, these reach
// the window and queue their steps; the rest of its input is dropped.
bool asksForAStep(const QEvent *e, const PageKeys::KeyMap &keys);

// A window-wide shortcut for each key the settings give `action`.
void onKeys(QWidget *owner, const PageKeys::KeyMap &keys, PageKeys::Action action, const std::function<void()> &run);
// Whether `e` gives a load up: a key of the way out (Escape), or a press of a
// wait panel's cancel button.
bool givesUpLoad(const QObject *target, const QEvent *e, const PageKeys::KeyMap &keys);

// The wait panel shown while a volume is prepared: a box with a message and a
// progress bar in its track; hidden until needed.
struct WaitPanel
{
    QFrame *PicBox = nullptr;
    QLabel *lbl_filemsg = nullptr;
    QFrame *Shback = nullptr;
    QFrame *Shbar = nullptr;
    // Gives the load up (named "cmdCancelLoad"); its text and tip follow the language.
    QToolButton *cmdCancelLoad = nullptr;

    static WaitPanel build(QWidget *parent, const QString &message);
    // The message, and the bar at Percent of TotCount units, never beyond its track.
    void progress(qint32 Percent, qint32 TotCount, const QString &StrMsg) const;
    // Shows or hides the panel. While nothing can be read it stands in the middle
    // of `window`; once a page of the load is shown it moves to the foot of
    // `pages`, still counting, so the page can be read while the rest comes out.
    static void place(QWidget *box, bool visible, bool aside, const QRect &window, const QRect &pages);
};

} // namespace WindowParts
