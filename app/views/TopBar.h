#pragma once
#include "core/ReadingSession.h"

#include <functional>

class Frm_ImgViewer;
class QCheckBox;
class SkinButton;

// The main window's top bar as a view of the reading session: it makes the bar's
// buttons, page box, count label, volume list and option boxes, and keeps them in
// step with the session both ways. A click on a box sets the option; a change of
// the option ticks the box (quietly) and runs that box's handler once.
class TopBar
{
public:
    // Makes the widgets into the window's fields; a click on a box sets its option.
    static void build(Frm_ImgViewer &w);
    // The boxes and the volume list follow the session's changes from now on.
    static void followSession(Frm_ImgViewer &w);
    // The check box that shows option `o`.
    static QCheckBox *optionBox(const Frm_ImgViewer &w, ReadingSession::Option o);
    // The volume list as the session holds it, without raising its signals.
    static void fillVolumeList(Frm_ImgViewer &w);
    // The page box and count label for the current step (empty without pages).
    static void showPageNumber(Frm_ImgViewer &w);
    // The option box and handler after the session changed option `o`.
    static void showOption(Frm_ImgViewer &w, ReadingSession::Option o, bool on);
    // How a page button shows its press: Painted, by one pass of events before
    // the step; PaintedAndHeld, also held 50 ms when the step changes nothing
    // (fewer than two pages), since such a step is instant and would not be seen.
    enum class StepPress { Plain, Painted, PaintedAndHeld };
    // A page button pressed: its pressed image, the step, its normal image again.
    static void stepButton(Frm_ImgViewer &w, SkinButton *b, const QString &stem, StepPress press,
                           const std::function<void()> &step);
};
