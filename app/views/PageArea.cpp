#include "views/PageArea.h"

#include "platform/Canvas.h"
#include "core/Program.h"
#include "views/Frm_ImgViewer.h"
#include "views/TopBar.h"
#include "views/IndexPane.h"
#include "views/PageDrag.h"
#include "views/WindowParts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QMouseEvent>

namespace PageArea {

void build(Frm_ImgViewer &w)
{
    w.PicDraw = new Canvas(&w);
    w.PicDraw->setObjectName(QStringLiteral("PicDraw"));

    w.Pic_IndexScreen = new IndexPane(w);

    // The notice and the wait text follow the language (Lang_Load).
    w.lblnoimage = new QLabel(&w);
    w.lblnoimage->setObjectName(QStringLiteral("lblnoimage"));
    w.lblnoimage->setStyleSheet(QStringLiteral("color: white; background: transparent; font-size: 16px;"));
    w.lblnoimage->hide();

    w.PicTipOut = new QWidget(&w);
    w.PicTipOut->setObjectName(QStringLiteral("PicTipOut"));
    w.PicTip = new QLabel(w.PicTipOut);
    w.PicTip->setObjectName(QStringLiteral("PicTip"));
    w.PicTipOut->hide();

    const WindowParts::WaitPanel wait = WindowParts::WaitPanel::build(&w, QString());
    w.PicBox = wait.PicBox;
    w.lbl_filemsg = wait.lbl_filemsg;
    w.Shback = wait.Shback;
    w.Shbar = wait.Shbar;
    w.cmdCancelLoad = wait.cmdCancelLoad;
    QObject::connect(wait.cmdCancelLoad, &QToolButton::clicked, &w, &Frm_ImgViewer::cancelLoad);

    Canvas *surface = w.PicDraw;
    QObject::connect(surface, &Canvas::keyReleased, &w, [&w](QKeyEvent *e) {
        if (w.PicDraw_KeyUp(e->keyCombination()))
            e->accept();
    });
    new PageDrag(surface, w.session, [&w](Qt::MouseButton button, double x) { w.PicDraw_MouseDown(button, x); });
    QObject::connect(surface, &Canvas::mouseMoved, &w, [&w](QMouseEvent *) { w.PicDraw_MouseMove(); });
    QObject::connect(surface, &Canvas::ratioChanged, &w, &Frm_ImgViewer::screenDensityChanged);
}

void followSession(Frm_ImgViewer &w)
{
    ReadingSession &session = w.session;
    QObject::connect(&session, &ReadingSession::pagesCleared, &w, [&w] {
        w.PicDraw->clearPicture();
        TopBar::showPageNumber(w); // the list is empty: no number
    });
    QObject::connect(&session, &ReadingSession::noImageChanged, &w, [&w](bool visible) {
        w.lblnoimage->setVisible(visible);
        if (visible)
            w.lblnoimage->raise();
    });
    QObject::connect(&session, &ReadingSession::progress, &w, [&w](qint32 p, qint32 t, const QString &m) {
        if (!w.program().IsFullScreen)
            w.ZipFile_Progress(p, t, m);
    });
}

} // namespace PageArea
