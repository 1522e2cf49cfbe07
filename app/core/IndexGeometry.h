#pragma once
#include <QColor>
#include <QLine>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <vector>

// The thumbnail index pane's rules, free of widgets: where each cell stands in
// the scrolled content, how big a page's thumbnail is, how its caption is cut,
// which page or spread a click shows, the scroll bar's settings and where the
// pane's parts go for a given pane size. All values are pixels.
namespace IndexGeometry {

inline constexpr int kPaneWidth = 221;
inline constexpr int kScrollWidth = 20;
inline constexpr int kCellWidth = 98;
inline constexpr int kCellHeight = 90;
inline constexpr int kRowPitch = kCellHeight + 5;
inline constexpr int kMargin = 5;
inline constexpr int kCaptionHeight = 14;
// The thumbnail box: the cell less its margins and the caption under it.
inline constexpr int kThumbWidth = kCellWidth - 10;
inline constexpr int kThumbHeight = kCellHeight - kCaptionHeight - 5;
// The progress bar's full width on its track.
inline constexpr int kProgressTrack = 193;
// The grid lines' grey.
inline const QColor kGridColour(153, 153, 153);

// Thumbnail box, caption and highlight frame of page i (0-based) in the content.
QRect thumbRect(int i);
QRect captionRect(int i);
QRect highlightRect(int i);
// The content's height for `count` pages: it ends 5 below the last caption.
int contentHeight(int count);

// The thumbnail's size for an image of w x h. An image smaller than the box is
// shown at its own size; any other image is scaled by 0.099, then brought
// inside 88 x 71 keeping its shape. Empty when the size is unknown.
QSize thumbnailSize(double w, double h);
// Where a thumbnail of size `s` stands, centred, in its box (box coordinates).
QPoint thumbnailOffset(QSize s);

// The caption of a page file: its name after the last folder separator; a name
// needing more than 7 bytes in the legacy code page is cut to its first 7
// characters followed by "...".
QString caption(const QString &path);

// The scroll value that shows thumbnail i in the middle of a viewport `viewport`
// high; scrollSettings keeps it within reach.
int scrollValueShowing(int i, int viewport);

// The progress bar's width once `done` of `count` thumbnails stand.
int progressWidth(int done, int count);

struct ScrollSettings
{
    int value = 0;
    int singleStep = kRowPitch;
    int pageStep = 0;
    int maximum = 0;
    bool enabled = false;
};
// The scroll bar for content of height `content` in a viewport of `viewport`;
// `value` is kept where it still fits.
ScrollSettings scrollSettings(int content, int viewport, int value = 0);

// The y of every horizontal grid line on a surface of the given height.
std::vector<int> gridLinesY(int height);

struct EdgeLine
{
    QLine line;
    QColor colour;
};
struct PaneLayout
{
    QRect top;       // title strip
    QRect closeButton;
    QRect viewport;  // the visible part of the grid
    QRect scrollBar;
    QRect waitPanel;
    QRect bottomBar;
    std::array<EdgeLine, 6> edges;
};
// The pane's parts for a client area of w x h; `topHeight`, `barHeight` and
// `closeSize` are the designed sizes of the strip, the bottom bar and the close
// button, `waitSize` the wait panel's.
PaneLayout paneLayout(int w, int h, int topHeight, int barHeight, QSize closeSize, QSize waitSize);

} // namespace IndexGeometry
