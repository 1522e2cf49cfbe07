#pragma once

class Frm_ImgViewer;
class QComboBox;

// The look of the main window's own widgets: the controls on the dark top bar,
// the wait panel, the empty-list label and the tip overlay. Colours follow the
// skin's slate bar with its leaf-green accent.
namespace TopBarStyle {
void apply(Frm_ImgViewer &w);
// Keeps the volume list's drop-down arrow at its right end after a resize.
void placeArrow(QComboBox *list);
}
