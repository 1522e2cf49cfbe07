#include "core/PageComposer.h"

#include "core/PageGeometry.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "imaging/CDIB.h"
#include "imaging/Cls_BookMove.h"

#include <leafview/ImgPicture.h>

#include <QFileInfo>
#include <QPainter>

#include <exception>

using PageGeometry::roundEven;

namespace {

bool fileExists(const QString &f)
{
    return !f.isEmpty() && QFileInfo(f).isFile();
}

// Copies w x h pixels of the control's last picture onto `to` at (x, y).
void copyFromControl(IImgPicture *picture, QImage &to, int x, int y, int w, int h)
{
    const QImage &src = picture->GetHdc();
    if (src.isNull() || w <= 0 || h <= 0)
        return;
    QPainter painter(&to);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(x, y), src, QRect(0, 0, qMin(w, src.width()), qMin(h, src.height())));
}

} // namespace

int PageComposer::firstEntry(qint16 index) const
{
    return m_session.I_ViewMode == 2 ? index * 2 : index;
}

int PageComposer::prepare(qint16 index)
{
    const int p = firstEntry(index);
    m_session.extractEntry(p);
    if (m_session.I_ViewMode == 2)
        m_session.extractEntry(p + 1);
    return p;
}

QSize PageComposer::pageSize(IImgPicture *picture, const QString &file, qint16 n, QSize surface) const
{
    float w = 0, h = 0;
    if (picture && !file.isEmpty())
        picture->GetImageSize(file, w, h);
    return PageGeometry::drawnSize(w, h, n, m_session.option(ReadingSession::Hundred), surface.width(),
                                   surface.height());
}

void PageComposer::draw(const PageTarget &t, qint16 index, qint16 I_Effect, qint16 turnPos)
{
    QImage &surface = t.surface();
    surface.fill(Qt::black);
    const int p = firstEntry(index);
    if (m_session.I_ViewMode == 2)
        drawSpread(t, surface, p, I_Effect, turnPos);
    else
        drawOnePage(t, surface, p, I_Effect, turnPos);
    if (m_session.option(ReadingSession::Sharpen))
        sharpen(surface);
    if (t.show)
        t.show();
}

void PageComposer::drawOnePage(const PageTarget &t, QImage &surface, int p, qint16 I_Effect, qint16 turnPos)
{
    QImage &Img_Tmp = *t.Img_Tmp;
    IImgPicture *pic = t.picture;
    const QString f = m_session.Page_Path(p);
    const QSize d = pageSize(pic, f, 1, surface.size());
    if (!pic) {
        Img_Tmp = surface.copy();
        return;
    }
    pic->SetWidth(d.width());
    pic->SetHeight(d.height());
    const int x = int(roundEven((surface.width() - d.width()) / 2.0));
    const int y = int(roundEven((surface.height() - d.height()) / 2.0));
    if (I_Effect != 1) {
        pic->SetVisible(true);
        pic->DisplayPicture(f);
        surface.fill(Qt::black);
        if (fileExists(f))
            copyFromControl(pic, surface, x, y, d.width(), d.height());
    } else {
        if (!Img_Tmp.isNull())
            surface = Img_Tmp.copy();
        pic->SetVisible(false);
        std::optional<QImage> page;
        if (fileExists(f))
            page = pic->DisplayPicture(f);
        Img_Tmp = page ? *page : QImage();
        turnPage(t, surface, Img_Tmp, QRect(x, y, d.width(), d.height()), turnPos, false);
    }
    Img_Tmp = surface.copy();
}

void PageComposer::drawSpread(const PageTarget &t, QImage &surface, int p, qint16 I_Effect, qint16 turnPos)
{
    QImage &Img_Tmp = *t.Img_Tmp;
    IImgPicture *pic = t.picture;
    const int n = m_session.pageCount();
    const bool rightToLeft = m_session.option(ReadingSession::TwoPage) && m_session.option(ReadingSession::RightToLeft);
    int leftIdx, rightIdx;
    if (!rightToLeft) {
        leftIdx = p;
        rightIdx = p + 1 < n ? p + 1 : -1;
    } else if (p + 1 < n) {
        leftIdx = p + 1;
        if (!fileExists(m_session.Page_Path(leftIdx)))
            leftIdx = p;
        rightIdx = p;
    } else {
        // A lone last page stands once, where it stands in left-to-right order, so
        // switching the reading order does not move it from half to half.
        leftIdx = p;
        rightIdx = -1;
    }
    const QString leftFile = m_session.Page_Path(leftIdx);
    const QString rightFile = m_session.Page_Path(rightIdx);
    const QSize d1 = leftIdx >= 0 ? pageSize(pic, leftFile, 2, surface.size()) : QSize(0, 0);
    const QSize d2 = rightIdx >= 0 ? pageSize(pic, rightFile, 2, surface.size()) : QSize(0, 0);
    if (!pic) {
        Img_Tmp = surface.copy();
        return;
    }
    const int sw = surface.width(), sh = surface.height();
    if (I_Effect != 1) {
        pic->SetVisible(true);
        if (leftIdx >= 0 && fileExists(leftFile)) {
            pic->SetWidth(d1.width());
            pic->SetHeight(d1.height());
            pic->DisplayPicture(leftFile);
            copyFromControl(pic, surface, int(roundEven(sw / 2.0 - d1.width())),
                            int(roundEven((sh - d1.height()) / 2.0)), d1.width(), d1.height());
        }
        if (rightIdx >= 0 && fileExists(rightFile)) {
            pic->SetWidth(d2.width());
            pic->SetHeight(d2.height());
            pic->DisplayPicture(rightFile);
            copyFromControl(pic, surface, int(roundEven(sw / 2.0)), int(roundEven((sh - d2.height()) / 2.0)),
                            d2.width(), d2.height());
        }
    } else {
        if (!Img_Tmp.isNull())
            surface = Img_Tmp.copy();
        // Both pages are composed side by side into one block that turns as a whole.
        const int bw = d1.width() + d2.width();
        QImage block(qMax(bw, 1), qMax(sh, 1), QImage::Format_RGB32);
        block.fill(Qt::black);
        pic->SetVisible(true);
        auto place = [&](const QString &file, QSize d, int x) {
            if (d.isEmpty() || !fileExists(file))
                return;
            pic->SetWidth(d.width());
            pic->SetHeight(d.height());
            pic->DisplayPicture(file);
            copyFromControl(pic, block, x, int(roundEven((sh - d.height()) / 2.0)), d.width(), d.height());
        };
        if (leftIdx >= 0)
            place(leftFile, d1, 0);
        if (rightIdx >= 0)
            place(rightFile, d2, d1.width());
        // A lone page comes to rest where it stands without the effect: its right
        // edge on the centre line. A full spread turns centred as a whole.
        const int left = rightIdx < 0 ? int(roundEven(sw / 2.0 - d1.width())) : int(roundEven((sw - bw) / 2.0));
        turnPage(t, surface, block, QRect(left, 0, bw, sh), turnPos, true);
    }
    Img_Tmp = surface.copy();
}

void PageComposer::sharpen(QImage &surface)
{
    if (!m_app.ProgramDib || surface.isNull())
        return;
    CDIB &dib = *m_app.ProgramDib;
    try {
        dib.Cls();
        dib.Create(surface.width(), surface.height());
        dib.CloneHDC(surface, CDIB::SRCCOPY, 0, 0);
        dib.Sharpen();
        dib.PaintTo(surface, 0, 0, CDIB::SRCCOPY);
    } catch (const std::exception &e) {
        m_app.logError(QString::fromUtf8(e.what()));
    }
}

void PageComposer::turnPage(const PageTarget &t, QImage &surface, const QImage &page, QRect area, qint16 turnPos,
                            bool pageIsDC)
{
    if (page.isNull() || area.width() <= 0 || area.height() <= 0)
        return;
    if (!t.bookMove) {
        QPainter painter(&surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(area, page, QRect(QPoint(0, 0), area.size()));
        return;
    }
    Cls_BookMove &move = *t.bookMove;
    move.Set_Left(area.left());
    move.Set_Top(area.top());
    move.Set_Width(area.width());
    move.Set_Height(area.height());
    move.Set_MovePos(turnPos);
    BookSurface target{surface, t.repaint, {}};
    try {
        move.Move_Page(target, page, pageIsDC ? &page : nullptr);
    } catch (const std::exception &e) {
        m_app.logError(QString::fromUtf8(e.what()));
    }
}
