#pragma once

class Frm_ImgViewer;

// The main window below its top bar: the page surface with its keys and clicks,
// the thumbnail index pane, the no-image notice, the tip and the wait panel.
namespace PageArea {

// Makes the widgets into the window's fields, in their stacking order, and sends
// the surface's input to the window's routines.
void build(Frm_ImgViewer &w);
// The surface, the page box, the no-image notice and the wait panel follow the
// session: pages cleared, no image in the volume, progress while it loads (to
// the full-screen window's own panel while that is open).
void followSession(Frm_ImgViewer &w);

} // namespace PageArea
