#pragma once
#include "core/LensGeometry.h"
#include "core/PageComposer.h"
#include "core/DecodeQueue.h"

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
// own files, never from the screen's pixels. The pages are decoded for it by the
// decode queue, ahead of anything else there, when it is first raised over them,
// and kept while they stand.
class Magnifier : public QWidget
{
    Q_OBJECT
public:
    using Pages = std::function<const std::vector<PageComposer::ShownPage> &()>;

    // A lens of `side` logical pixels over `canvas`, reading what stands there
    // from `pages`, their sizes through `picture`, and decoding through `decodes`.
    Magnifier(Canvas *canvas, IImgPicture *picture, DecodeQueue &decodes, Pages pages, int side);

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
        DecodeQueue::Key key;
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
    DecodeQueue &m_decodes;
    QTimer m_poll;
};
