#pragma once
#include "core/LensGeometry.h"
#include "core/PageComposer.h"
#include "core/PagePrefetch.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class Canvas;
class IImgPicture;
struct ProgramPaths;

// The lens over a page surface: shown while the surface reports the magnifier
// held, following the pointer, showing the pages under it enlarged from their
// own files, never from the screen's pixels. The pages are decoded for it on a
// worker thread when it is first raised over them, and kept while they stand.
class Magnifier : public QWidget
{
    Q_OBJECT
public:
    using Pages = std::function<const std::vector<PageComposer::ShownPage> &()>;

    // A lens of `side` logical pixels over `canvas`, reading what stands there
    // from `pages` and decoding through `picture`'s decoder.
    Magnifier(Canvas *canvas, IImgPicture *picture, Pages pages, int side);

    // The lens side set in the settings file (section "View", key "LensSize").
    static int sideSetting(const ProgramPaths &paths);

    void hold(bool held);
    void follow(QPointF pointer);
    void turnWheel(int delta);
    double zoom() const { return m_zoom; }
    QPointF pointer() const { return m_pointer; }
    // Whether every page under the lens is shown from its own picture.
    bool sharp() const;

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    struct Source
    {
        PageComposer::ShownPage page;
        PagePrefetch::Key key;
        QImage picture;
    };
    void refresh();
    void collect();

    Canvas *m_canvas;
    IImgPicture *m_picture;
    Pages m_pages;
    int m_side;
    double m_zoom = LensGeometry::kDefaultZoom;
    QPointF m_pointer;
    std::vector<Source> m_sources;
    PagePrefetch m_decodes;
    QTimer m_poll;
};
