// Draws the program's skin: every button, background strip and the tip card,
// so the artwork is reproducible from source and never copied from elsewhere.
//
//   skinpainter OUTPUT_FOLDER [--sheet CONTACT_SHEET.png]
//
// Writes OUTPUT_FOLDER/<file> for every skin file and OUTPUT_FOLDER/english/<file>
// for the language-dependent ones, reads each back to check it, and optionally
// renders all of them onto one contact sheet for a person to look at.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace {

// ---------------------------------------------------------------- palette

// One slate family for the whole window; leaf green is the single accent.
const QColor kBarTop(0x34, 0x3e, 0x4b);
const QColor kBarBottom(0x22, 0x29, 0x32);
const QColor kBarHighlight(0x4a, 0x56, 0x64);
const QColor kBarShadow(0x12, 0x16, 0x1b);
const QColor kLeaf(0x86, 0xd1, 0x7f);
const QColor kLeafDeep(0x4f, 0xa8, 0x4d);
const QColor kInk(0xee, 0xf3, 0xf8);

constexpr int kBarHeight = 40;

enum class State { Normal, Down, Grey };

struct Look
{
    QColor bodyTop, bodyBottom, border, rim, glyph, accent, text;
    QPointF shift;
};

Look lookFor(State s)
{
    switch (s) {
    case State::Normal:
        return {QColor(0x55, 0x66, 0x7b), QColor(0x3a, 0x46, 0x55), QColor(0x1b, 0x21, 0x29),
                QColor(255, 255, 255, 46), kInk, kLeaf, kInk, QPointF(0, 0)};
    case State::Down:
        return {QColor(0x1d, 0x24, 0x2d), QColor(0x2b, 0x35, 0x41), QColor(0x10, 0x14, 0x19),
                QColor(0, 0, 0, 90), QColor(0xd0, 0xda, 0xe4), QColor(0xa4, 0xe8, 0x9c), QColor(0xd0, 0xda, 0xe4),
                QPointF(1, 1)};
    case State::Grey:
        return {QColor(0x38, 0x40, 0x4a), QColor(0x30, 0x37, 0x40), QColor(0x27, 0x2d, 0x35),
                QColor(255, 255, 255, 14), QColor(0x6b, 0x74, 0x7e), QColor(0x6b, 0x74, 0x7e),
                QColor(0x6b, 0x74, 0x7e), QPointF(0, 0)};
    }
    return {};
}

QString uiFamily()
{
    // Korean captions need a CJK face; Latin captions look the same in it.
    for (const char *f : {"Noto Sans CJK KR", "Noto Sans KR", "Noto Sans CJK JP", "DejaVu Sans"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(f)))
            return QString::fromLatin1(f);
    }
    return QFont().family();
}

QFont uiFont(double pixelSize, int weight = QFont::DemiBold)
{
    QFont f(uiFamily());
    f.setPixelSize(qRound(pixelSize));
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QPainterPath poly(std::initializer_list<QPointF> pts)
{
    QPainterPath p;
    bool first = true;
    for (const QPointF &pt : pts) {
        if (first)
            p.moveTo(pt);
        else
            p.lineTo(pt);
        first = false;
    }
    p.closeSubpath();
    return p;
}

// ---------------------------------------------------------------- glyphs

// Every glyph is drawn in a 20 x 20 design box that the caller maps onto the button.
using Glyph = std::function<void(QPainter &, const Look &)>;

QPainterPath rounded(const QRectF &r, double radius)
{
    QPainterPath p;
    p.addRoundedRect(r, radius, radius);
    return p;
}

void triangleLeft(QPainter &p, double tipX, double w, const QColor &c)
{
    p.fillPath(poly({{tipX, 10}, {tipX + w, 3.5}, {tipX + w, 16.5}}), c);
}

void triangleRight(QPainter &p, double tipX, double w, const QColor &c)
{
    p.fillPath(poly({{tipX, 10}, {tipX - w, 3.5}, {tipX - w, 16.5}}), c);
}

void glyphFirst(QPainter &p, const Look &l)
{
    p.fillPath(rounded(QRectF(2.5, 3.5, 2.6, 13), 1), l.glyph);
    triangleLeft(p, 5.8, 6.6, l.glyph);
    triangleLeft(p, 11.4, 6.6, l.accent);
}

void glyphPrev(QPainter &p, const Look &l)
{
    triangleLeft(p, 4.5, 10.0, l.glyph);
    p.fillPath(poly({{10.5, 10}, {15.5, 6.2}, {15.5, 13.8}}), l.accent);
}

void glyphNext(QPainter &p, const Look &l)
{
    triangleRight(p, 15.5, 10.0, l.glyph);
    p.fillPath(poly({{9.5, 10}, {4.5, 6.2}, {4.5, 13.8}}), l.accent);
}

void glyphLast(QPainter &p, const Look &l)
{
    p.fillPath(rounded(QRectF(14.9, 3.5, 2.6, 13), 1), l.glyph);
    triangleRight(p, 14.2, 6.6, l.glyph);
    triangleRight(p, 8.6, 6.6, l.accent);
}

QPainterPath folderBack()
{
    QPainterPath p;
    p.moveTo(1.5, 5.5);
    p.quadTo(1.5, 3.5, 3.5, 3.5);
    p.lineTo(7.5, 3.5);
    p.lineTo(9.5, 5.5);
    p.lineTo(16.5, 5.5);
    p.quadTo(18.5, 5.5, 18.5, 7.5);
    p.lineTo(18.5, 15.5);
    p.quadTo(18.5, 17, 17, 17);
    p.lineTo(3, 17);
    p.quadTo(1.5, 17, 1.5, 15.5);
    p.closeSubpath();
    return p;
}

void glyphOpen(QPainter &p, const Look &l)
{
    p.fillPath(folderBack(), l.glyph);
    // The opened flap, tilted towards the reader.
    p.fillPath(poly({{4.2, 9.0}, {19.5, 9.0}, {17.0, 17.0}, {1.5, 17.0}}), l.accent);
    p.setPen(QPen(l.bodyBottom, 0.9));
    p.drawLine(QPointF(4.2, 9.0), QPointF(19.5, 9.0));
}

void glyphFolder(QPainter &p, const Look &l)
{
    p.fillPath(folderBack(), l.glyph);
    p.fillPath(rounded(QRectF(1.5, 7.5, 17, 9.5), 1.5), l.glyph.darker(118));
    // A small leaf marks the folder as the export target.
    QPainterPath leaf;
    leaf.moveTo(7, 15);
    leaf.cubicTo(7, 10.5, 10.5, 9, 14, 9);
    leaf.cubicTo(14, 13, 11.5, 15, 7, 15);
    p.fillPath(leaf, l.accent);
    p.setPen(QPen(l.bodyBottom, 0.8));
    p.drawLine(QPointF(7.8, 14.3), QPointF(12, 10.6));
}

void glyphExport(QPainter &p, const Look &l)
{
    QPainterPath page;
    page.moveTo(2.5, 2.5);
    page.lineTo(10.0, 2.5);
    page.lineTo(13.5, 6.0);
    page.lineTo(13.5, 17.5);
    page.lineTo(2.5, 17.5);
    page.closeSubpath();
    p.fillPath(page, l.glyph);
    p.fillPath(poly({{10.0, 2.5}, {13.5, 6.0}, {10.0, 6.0}}), l.glyph.darker(135));
    // Arrow leaving the page.
    p.setPen(QPen(l.bodyBottom, 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 11.5), QPointF(15.0, 11.5));
    p.setPen(QPen(l.accent, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.5, 11.5), QPointF(15.0, 11.5));
    p.fillPath(poly({{19.3, 11.5}, {14.2, 7.3}, {14.2, 15.7}}), l.accent);
}

void glyphFullScreen(QPainter &p, const Look &l)
{
    p.fillPath(rounded(QRectF(6.0, 6.5, 8.0, 7.0), 1.0), l.accent);
    QPen pen(l.glyph, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double a = 2.5, b = 17.5, k = 5.0;
    p.drawPolyline(QPolygonF({QPointF(a, a + k), QPointF(a, a), QPointF(a + k, a)}));
    p.drawPolyline(QPolygonF({QPointF(b - k, a), QPointF(b, a), QPointF(b, a + k)}));
    p.drawPolyline(QPolygonF({QPointF(b, b - k), QPointF(b, b), QPointF(b - k, b)}));
    p.drawPolyline(QPolygonF({QPointF(a + k, b), QPointF(a, b), QPointF(a, b - k)}));
}

void glyphList(QPainter &p, const Look &l)
{
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const QRectF cell(2.5 + c * 8.0, 2.5 + r * 8.0, 7.0, 7.0);
            p.fillPath(rounded(cell, 1.2), (r == 0 && c == 0) ? l.accent : l.glyph);
        }
    }
}

void glyphInfo(QPainter &p, const Look &l)
{
    p.setPen(QPen(l.glyph, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1.8, 1.8, 16.4, 16.4));
    p.fillPath(rounded(QRectF(8.8, 8.4, 2.4, 6.8), 1.0), l.accent);
    QPainterPath dot;
    dot.addEllipse(QPointF(10.0, 5.9), 1.45, 1.45);
    p.fillPath(dot, l.accent);
}

void glyphTip(QPainter &p, const Look &l)
{
    p.setPen(QPen(l.glyph, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1.8, 1.8, 16.4, 16.4));
    QPainterPath q;
    q.moveTo(7.2, 7.6);
    q.cubicTo(7.2, 4.4, 12.8, 4.4, 12.8, 7.4);
    q.cubicTo(12.8, 9.6, 10.0, 9.6, 10.0, 11.9);
    p.setPen(QPen(l.accent, 2.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(q);
    QPainterPath dot;
    dot.addEllipse(QPointF(10.0, 14.6), 1.3, 1.3);
    p.fillPath(dot, l.accent);
}

void glyphClose(QPainter &p, const Look &l)
{
    p.setPen(QPen(l.glyph, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5, 5), QPointF(15, 15));
    p.drawLine(QPointF(15, 5), QPointF(5, 15));
}

void glyphCheck(QPainter &p, const Look &l)
{
    p.setPen(QPen(l.accent, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(3.5, 10.5), QPointF(8.0, 15.0), QPointF(16.5, 5.0)}));
}

void glyphGrid(QPainter &p, const QColor &a, const QColor &b)
{
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            p.fillPath(rounded(QRectF(1.5 + c * 6.2, 4.0 + r * 6.2, 5.2, 5.2), 1.0), (r == 0 && c == 0) ? a : b);
}

// ---------------------------------------------------------------- surfaces

void paintBar(QPainter &p, const QRect &r)
{
    QLinearGradient g(0, 0, 0, kBarHeight);
    g.setColorAt(0, kBarTop);
    g.setColorAt(1, kBarBottom);
    p.fillRect(r, g);
    p.fillRect(QRect(r.left(), 0, r.width(), 1), kBarHighlight);
    p.fillRect(QRect(r.left(), kBarHeight - 1, r.width(), 1), kBarShadow);
}

// Device pixels per drawn pixel: 1 for the skin, 2 for its "@2x" drawing for
// dense screens. The drawings are made in the same coordinates either way; the
// image's device pixel ratio makes the painter place them at twice the pixels.
double g_scale = 1.0;

QImage newImage(int w, int h)
{
    QImage img(int(w * g_scale), int(h * g_scale), QImage::Format_RGB32);
    img.fill(Qt::black);
    img.setDevicePixelRatio(g_scale);
    return img;
}

// The image's rectangle in drawing coordinates.
QRect logicalRect(const QImage &img)
{
    return QRect(QPoint(0, 0), img.deviceIndependentSize().toSize());
}

void paintBody(QPainter &p, const QRectF &body, const Look &l, State s)
{
    const double radius = 7;
    QPainterPath shape = rounded(body, radius);
    if (s == State::Normal) {
        // A soft drop shadow lifts the button off the bar.
        p.fillPath(rounded(body.translated(0, 1.2), radius), QColor(0, 0, 0, 70));
    }
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, l.bodyTop);
    g.setColorAt(1, l.bodyBottom);
    p.fillPath(shape, g);
    if (s == State::Down) {
        // Pressed in: a shadow along the inner top edge.
        p.save();
        p.setClipPath(shape);
        QLinearGradient inner(body.topLeft(), body.topLeft() + QPointF(0, 6));
        inner.setColorAt(0, QColor(0, 0, 0, 120));
        inner.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(body, inner);
        p.restore();
    } else {
        p.setPen(QPen(l.rim, 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(rounded(body.adjusted(1, 1, -1, -1), radius - 1));
    }
    p.setPen(QPen(l.border, 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
}

void paintGlyph(QPainter &p, const Glyph &glyph, const QRectF &box, const Look &l)
{
    p.save();
    p.translate(box.topLeft() + l.shift);
    p.scale(box.width() / 20.0, box.height() / 20.0);
    glyph(p, l);
    p.restore();
}

struct ButtonArt
{
    Glyph glyph;
    QString label; // empty for icon-only buttons
};

// A top-bar button: 40 pixels high over the bar's own gradient, so it sits on bg_Top seamlessly.
QImage barButton(int width, const ButtonArt &art, State s)
{
    QImage img = newImage(width, kBarHeight);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintBar(p, logicalRect(img));
    const Look l = lookFor(s);
    const QRectF body(2.5, 4.5, width - 5.0, kBarHeight - 9.0);
    paintBody(p, body, l, s);

    const double glyphSize = art.label.isEmpty() ? 21.0 : 20.0;
    if (art.label.isEmpty()) {
        const QRectF box(body.center().x() - glyphSize / 2, body.center().y() - glyphSize / 2, glyphSize, glyphSize);
        paintGlyph(p, art.glyph, box, l);
    } else {
        const QRectF box(body.left() + 8, body.center().y() - glyphSize / 2, glyphSize, glyphSize);
        paintGlyph(p, art.glyph, box, l);
        p.setFont(uiFont(12.5));
        p.setPen(l.text);
        const QRectF textBox(box.right() + 6 + l.shift.x(), body.top() + l.shift.y(), body.right() - box.right() - 12,
                             body.height());
        p.drawText(textBox, Qt::AlignVCenter | Qt::AlignHCenter, art.label);
    }
    return img;
}

// Width that fits the wider of a button's two captions, so both languages lay out alike.
int labelledWidth(const QString &ko, const QString &en)
{
    const QFontMetricsF fm(uiFont(12.5));
    const double text = std::max(fm.horizontalAdvance(ko), fm.horizontalAdvance(en));
    const int w = int(std::ceil(2.5 + 8 + 20 + 6 + text + 12 + 2.5));
    return std::max(64, w + (w & 1));
}

QImage backgroundTop()
{
    QImage img = newImage(1024, kBarHeight);
    QPainter p(&img);
    paintBar(p, logicalRect(img));
    return img;
}

// The index pane's title-strip background, shared by the strip and its close
// button so the button sits on the strip without a seam.
void fillStrip(QPainter &p, int width)
{
    QLinearGradient g(0, 0, 0, 24);
    g.setColorAt(0, QColor(0x3d, 0x48, 0x56));
    g.setColorAt(1, QColor(0x2c, 0x34, 0x3f));
    p.fillRect(QRect(0, 0, width, 24), g);
    p.fillRect(QRect(0, 0, width, 1), kBarHighlight);
}

// Title strip of the thumbnail index pane.
QImage listTop(const QString &title)
{
    // As wide as the pane (221 pixels), so the strip needs no widening.
    QImage img = newImage(221, 24);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    fillStrip(p, logicalRect(img).width());
    p.fillRect(QRect(0, 22, logicalRect(img).width(), 2), kLeafDeep);
    p.save();
    p.translate(7, 3);
    p.scale(0.8, 0.8);
    glyphGrid(p, kLeaf, kInk);
    p.restore();
    p.setFont(uiFont(12));
    p.setPen(kInk);
    p.drawText(QRectF(26, 0, 150, 22), Qt::AlignVCenter | Qt::AlignLeft, title);
    return img;
}

// Close button of the index pane: sits on the right end of the title strip.
QImage closeButton()
{
    QImage img = newImage(22, 22);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    fillStrip(p, logicalRect(img).width());
    Look l = lookFor(State::Normal);
    const QRectF body(2.5, 2.5, 17, 17);
    QLinearGradient b(body.topLeft(), body.bottomLeft());
    b.setColorAt(0, QColor(0xc8, 0x55, 0x4f));
    b.setColorAt(1, QColor(0xa0, 0x3b, 0x37));
    p.fillPath(rounded(body, 4.5), b);
    p.setPen(QPen(QColor(0x5e, 0x1f, 0x1c), 1));
    p.drawPath(rounded(body, 4.5));
    paintGlyph(p, glyphClose, QRectF(4, 4, 14, 14), l);
    return img;
}

// The information window's close button, on the window's light face.
QImage okButton(State s)
{
    QImage img = newImage(80, 30);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(logicalRect(img), QColor(0xef, 0xf1, 0xf3));
    const bool down = s == State::Down;
    const QRectF body(1.5, 1.5, 77, 27);
    if (!down)
        p.fillPath(rounded(body.translated(0, 1), 6), QColor(0, 0, 0, 40));
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, down ? QColor(0x28, 0x31, 0x3c) : QColor(0x55, 0x66, 0x7b));
    g.setColorAt(1, down ? QColor(0x33, 0x3e, 0x4b) : QColor(0x3a, 0x46, 0x55));
    p.fillPath(rounded(body, 6), g);
    p.setPen(QPen(QColor(0x1b, 0x21, 0x29), 1));
    p.drawPath(rounded(body, 6));
    Look l = lookFor(down ? State::Down : State::Normal);
    paintGlyph(p, glyphCheck, QRectF(16, 6, 17, 17), l);
    p.setFont(uiFont(13, QFont::Bold));
    p.setPen(l.text);
    p.drawText(QRectF(36 + l.shift.x(), 1.5 + l.shift.y(), 30, 27), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("OK"));
    return img;
}

// A leaf in a 20 x 20 box, tip at the top right: the program's mark.
QPainterPath leafShape()
{
    QPainterPath leaf;
    leaf.moveTo(3, 17);
    leaf.cubicTo(2, 8, 8, 3, 18, 2);
    leaf.cubicTo(17, 12, 12, 18, 3, 17);
    return leaf;
}

// Background of the information window: a light face, a sunken field where the
// information page sits and the program's mark beside the OK button.
QImage infoBackground()
{
    QImage img = newImage(350, 230);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient face(0, 0, 0, 230);
    face.setColorAt(0, QColor(0xf6, 0xf7, 0xf9));
    face.setColorAt(1, QColor(0xe4, 0xe8, 0xec));
    p.fillRect(logicalRect(img), face);
    // The OK button's own face colour behind it, so it sits without a seam.
    p.fillRect(QRect(135, 190, 80, 30), QColor(0xef, 0xf1, 0xf3));

    // Field of the page: a soft shadow, then a white well with a slate rim.
    const QRectF field(12.5, 12.5, 325, 167);
    p.fillPath(rounded(field.translated(0, 1.5), 5), QColor(0, 0, 0, 22));
    p.fillPath(rounded(field, 5), Qt::white);
    p.setPen(QPen(QColor(0xb4, 0xbd, 0xc7), 1));
    p.drawPath(rounded(field, 5));
    p.fillRect(QRectF(13, 13, 324, 1), QColor(0xd5, 0xdb, 0xe1));

    // Leaf-green rule between the field and the button row.
    QLinearGradient rule(12, 0, 338, 0);
    rule.setColorAt(0, QColor(kLeafDeep.red(), kLeafDeep.green(), kLeafDeep.blue(), 0));
    rule.setColorAt(0.5, kLeafDeep);
    rule.setColorAt(1, QColor(kLeafDeep.red(), kLeafDeep.green(), kLeafDeep.blue(), 0));
    p.fillRect(QRectF(12, 184, 326, 1.5), rule);

    // The mark and the name at the left of the button row.
    p.save();
    p.translate(16, 194);
    QLinearGradient leafFill(0, 0, 20, 20);
    leafFill.setColorAt(0, kLeaf);
    leafFill.setColorAt(1, kLeafDeep);
    p.fillPath(leafShape(), leafFill);
    p.setPen(QPen(QColor(0x2f, 0x6f, 0x2e), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 16), QPointF(15, 5));
    p.restore();
    p.setFont(uiFont(13, QFont::Bold));
    p.setPen(QColor(0x3a, 0x46, 0x55));
    p.drawText(QRectF(42, 190, 90, 30), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Leafview"));

    // Three falling leaves at the right, faint, for balance.
    const struct
    {
        double x, y, angle, scale;
        int alpha;
    } fall[] = {{262, 192, 20, 0.8, 70}, {292, 200, -35, 0.6, 55}, {318, 189, 60, 0.7, 45}};
    for (const auto &f : fall) {
        p.save();
        p.translate(f.x, f.y);
        p.rotate(f.angle);
        p.scale(f.scale, f.scale);
        p.fillPath(leafShape(), QColor(kLeafDeep.red(), kLeafDeep.green(), kLeafDeep.blue(), f.alpha));
        p.restore();
    }
    return img;
}

// ---------------------------------------------------------------- tip card

QImage tipCard()
{
    const int W = 360, H = 240;
    QImage img = newImage(W, H);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF card(4.5, 4.5, W - 9, H - 9);
    const QPainterPath shape = rounded(card, 14);
    p.fillPath(rounded(card.translated(0, 2), 14), QColor(0x28, 0x2c, 0x30));
    p.fillPath(shape, QColor(0xfd, 0xf9, 0xee));

    // Header band in leaf green.
    p.save();
    p.setClipPath(shape);
    QLinearGradient band(0, card.top(), 0, card.top() + 44);
    band.setColorAt(0, QColor(0x6c, 0xbf, 0x66));
    band.setColorAt(1, QColor(0x4c, 0xa0, 0x4a));
    p.fillRect(QRectF(card.left(), card.top(), card.width(), 44), band);
    p.restore();

    // A leaf beside the title.
    QPainterPath leaf;
    leaf.moveTo(22, 39);
    leaf.cubicTo(22, 24, 32, 17, 46, 16);
    leaf.cubicTo(46, 31, 38, 39, 22, 39);
    p.fillPath(leaf, QColor(0xf4, 0xfb, 0xef));
    p.setPen(QPen(QColor(0x4c, 0xa0, 0x4a), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 37), QPointF(38, 24));

    p.setFont(uiFont(17, QFont::Bold));
    p.setPen(Qt::white);
    p.drawText(QRectF(56, card.top(), 280, 44), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("리프뷰 사용 팁"));

    struct Hint
    {
        QString badge;
        QString text;
    };
    const std::vector<Hint> hints = {
        {QStringLiteral("←→"), QStringLiteral("← → 키, 휠, 클릭으로 페이지를 넘깁니다")},
        {QStringLiteral("클릭"), QStringLiteral("화면 왼쪽을 누르면 이전, 오른쪽은 다음 장")},
        {QStringLiteral("ZIP"), QStringLiteral("열기: 압축파일(ZIP, RAR)이나 폴더를 엽니다")},
        {QStringLiteral("메뉴"), QStringLiteral("전체화면에서는 오른쪽 버튼으로 메뉴를 엽니다")},
    };
    QFont textFont = uiFont(12.5, QFont::Medium);
    // Keep every hint on one line of the card.
    const double textWidth = W - 9 - 62 - 14;
    for (double size = 12.5; size > 9.5; size -= 0.5) {
        textFont = uiFont(size, QFont::Medium);
        const QFontMetricsF fm(textFont);
        bool fits = true;
        for (const Hint &h : hints)
            fits = fits && fm.horizontalAdvance(h.text) <= textWidth;
        if (fits)
            break;
    }
    double y = card.top() + 58;
    for (const Hint &h : hints) {
        const QRectF badge(card.left() + 14, y, 34, 22);
        p.fillPath(rounded(badge, 6), QColor(0x3a, 0x46, 0x55));
        p.setFont(uiFont(h.badge == QStringLiteral("ZIP") ? 9.5 : 11, QFont::Bold));
        p.setPen(QColor(0xb9, 0xec, 0xb3));
        p.drawText(badge, Qt::AlignCenter, h.badge);
        p.setFont(textFont);
        p.setPen(QColor(0x2a, 0x31, 0x39));
        p.drawText(QRectF(badge.right() + 10, y - 2, textWidth, 26), Qt::AlignVCenter | Qt::AlignLeft, h.text);
        y += 33;
    }

    p.setPen(QPen(QColor(0xe2, 0xdb, 0xc6), 1));
    p.drawLine(QPointF(card.left() + 14, card.bottom() - 30.5), QPointF(card.right() - 14, card.bottom() - 30.5));
    p.setFont(uiFont(11, QFont::Normal));
    p.setPen(QColor(0x7d, 0x77, 0x66));
    p.drawText(QRectF(card.left(), card.bottom() - 30, card.width(), 28), Qt::AlignCenter,
               QStringLiteral("이 안내를 누르면 닫힙니다 · 열기 버튼으로 시작하세요"));
    return img;
}

// ---------------------------------------------------------------- GIF writer

// Qt reads GIF but cannot write it, so the tip card is encoded here: one frame,
// a 256-colour global palette, LZW as the format prescribes.
struct Indexed
{
    int width = 0, height = 0;
    std::vector<QRgb> palette; // at most 256
    std::vector<uint8_t> pixels;
    int transparent = -1;
};

Indexed quantise(const QImage &src, QRgb transparentColour)
{
    const QImage img = src.convertToFormat(QImage::Format_RGB32);
    Indexed out;
    out.width = img.width();
    out.height = img.height();

    // Popularity over 5-bit-per-channel cells: flat areas get exact colours,
    // anti-aliased edges the nearest of the common ones.
    struct Cell
    {
        quint64 r = 0, g = 0, b = 0, n = 0;
    };
    std::vector<Cell> cells(32768);
    auto cellOf = [](QRgb c) { return ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3); };
    const QRgb clear = transparentColour | 0xff000000u;
    bool hasClear = false;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if ((line[x] | 0xff000000u) == clear) {
                hasClear = true;
                continue;
            }
            Cell &c = cells[cellOf(line[x])];
            c.r += qRed(line[x]);
            c.g += qGreen(line[x]);
            c.b += qBlue(line[x]);
            ++c.n;
        }
    }
    std::vector<int> order;
    for (int i = 0; i < int(cells.size()); ++i)
        if (cells[i].n)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return cells[a].n > cells[b].n; });
    const size_t room = hasClear ? 255 : 256;
    if (order.size() > room)
        order.resize(room);
    if (hasClear) {
        out.transparent = 0;
        out.palette.push_back(clear);
    }
    for (int i : order) {
        const Cell &c = cells[i];
        out.palette.push_back(qRgb(int(c.r / c.n), int(c.g / c.n), int(c.b / c.n)));
    }
    if (out.palette.empty())
        out.palette.push_back(qRgb(0, 0, 0));

    std::unordered_map<QRgb, uint8_t> nearest;
    const int first = hasClear ? 1 : 0;
    out.pixels.resize(size_t(out.width) * out.height);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x] | 0xff000000u;
            uint8_t index = 0;
            if (hasClear && c == clear) {
                index = 0;
            } else if (auto it = nearest.find(c); it != nearest.end()) {
                index = it->second;
            } else {
                int best = first;
                long bestD = -1;
                for (int i = first; i < int(out.palette.size()); ++i) {
                    const long dr = qRed(c) - qRed(out.palette[i]);
                    const long dg = qGreen(c) - qGreen(out.palette[i]);
                    const long db = qBlue(c) - qBlue(out.palette[i]);
                    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (bestD < 0 || d < bestD) {
                        bestD = d;
                        best = i;
                    }
                }
                index = uint8_t(best);
                nearest.emplace(c, index);
            }
            out.pixels[size_t(y) * out.width + x] = index;
        }
    }
    out.palette.resize(256, qRgb(0, 0, 0));
    return out;
}

class BitWriter
{
public:
    void put(unsigned code, int bits)
    {
        m_acc |= quint32(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            bytes.push_back(uint8_t(m_acc & 0xff));
            m_acc >>= 8;
            m_count -= 8;
        }
    }
    void flush()
    {
        if (m_count > 0)
            bytes.push_back(uint8_t(m_acc & 0xff));
        m_acc = 0;
        m_count = 0;
    }
    std::vector<uint8_t> bytes;

private:
    quint32 m_acc = 0;
    int m_count = 0;
};

std::vector<uint8_t> lzwEncode(const std::vector<uint8_t> &pixels)
{
    constexpr int kMinCodeSize = 8;
    constexpr unsigned kClear = 1u << kMinCodeSize;
    constexpr unsigned kEnd = kClear + 1;
    constexpr unsigned kMaxCode = 4095;

    // child[code * 256 + byte] = code of the string `code` followed by `byte`, 0 when absent.
    std::vector<uint16_t> child(4096 * 256, 0);
    BitWriter out;
    int codeSize = kMinCodeSize + 1;
    unsigned lastAssigned = kEnd;

    out.put(kClear, codeSize);
    if (pixels.empty()) {
        out.put(kEnd, codeSize);
        out.flush();
        return out.bytes;
    }
    unsigned current = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const uint8_t k = pixels[i];
        const uint16_t next = child[current * 256 + k];
        if (next) {
            current = next;
            continue;
        }
        out.put(current, codeSize);
        child[current * 256 + k] = uint16_t(++lastAssigned);
        if (lastAssigned >= (1u << codeSize))
            ++codeSize;
        if (lastAssigned == kMaxCode) {
            // The table is full: start afresh so the rest still compresses.
            out.put(kClear, codeSize);
            std::fill(child.begin(), child.end(), 0);
            codeSize = kMinCodeSize + 1;
            lastAssigned = kEnd;
        }
        current = k;
    }
    out.put(current, codeSize);
    out.put(kEnd, codeSize);
    out.flush();
    return out.bytes;
}

bool writeGif(const QString &file, const Indexed &img)
{
    QByteArray data;
    auto u8 = [&](int v) { data.append(char(v & 0xff)); };
    auto u16 = [&](int v) {
        u8(v);
        u8(v >> 8);
    };
    data.append("GIF89a", 6);
    u16(img.width);
    u16(img.height);
    u8(0xF7); // global table of 256 entries, 8 bits per primary
    u8(img.transparent >= 0 ? img.transparent : 0);
    u8(0);
    for (int i = 0; i < 256; ++i) {
        u8(qRed(img.palette[i]));
        u8(qGreen(img.palette[i]));
        u8(qBlue(img.palette[i]));
    }
    if (img.transparent >= 0) {
        u8(0x21);
        u8(0xF9);
        u8(4);
        u8(0x01); // no disposal, transparent index present
        u16(0);
        u8(img.transparent);
        u8(0);
    }
    u8(0x2C);
    u16(0);
    u16(0);
    u16(img.width);
    u16(img.height);
    u8(0);
    u8(8); // LZW minimum code size
    const std::vector<uint8_t> lzw = lzwEncode(img.pixels);
    for (size_t at = 0; at < lzw.size(); at += 255) {
        const size_t n = std::min<size_t>(255, lzw.size() - at);
        u8(int(n));
        data.append(reinterpret_cast<const char *>(lzw.data() + at), qsizetype(n));
    }
    u8(0);
    u8(0x3B);

    QFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The GIF must decode to exactly the indexed picture we meant to write.
bool gifRoundTrips(const QString &file, const Indexed &img, QString &why)
{
    QImageReader reader(file, "gif");
    const QImage back = reader.read().convertToFormat(QImage::Format_ARGB32);
    if (back.isNull()) {
        why = reader.errorString();
        return false;
    }
    if (back.width() != img.width || back.height() != img.height) {
        why = QStringLiteral("size differs");
        return false;
    }
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const int index = img.pixels[size_t(y) * img.width + x];
            const QRgb got = back.pixel(x, y);
            if (index == img.transparent) {
                if (qAlpha(got) != 0) {
                    why = QStringLiteral("pixel %1,%2 should be transparent").arg(x).arg(y);
                    return false;
                }
            } else if ((got | 0xff000000u) != (img.palette[index] | 0xff000000u) || qAlpha(got) != 255) {
                why = QStringLiteral("pixel %1,%2 differs").arg(x).arg(y);
                return false;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------- the skin

struct SkinFile
{
    QString name; // relative to the skin folder, "english/" for the English variants
    QImage image;
};

std::vector<SkinFile> paintSkin()
{
    std::vector<SkinFile> files;
    const std::vector<std::pair<State, QString>> threeStates = {
        {State::Normal, QString()}, {State::Down, QStringLiteral("_down")}, {State::Grey, QStringLiteral("_grey")}};
    const std::vector<std::pair<State, QString>> twoStates(threeStates.begin(), threeStates.begin() + 2);

    // Page buttons: the same in both languages.
    struct Icon
    {
        const char *base;
        Glyph glyph;
        bool grey;
        int width;
    };
    const std::vector<Icon> icons = {
        {"b_start2", glyphFirst, true, 40}, {"b_prev", glyphPrev, true, 40},   {"b_next", glyphNext, true, 40},
        {"b_fast2", glyphLast, true, 40},   {"b_inform", glyphInfo, false, 34}, {"b_tip", glyphTip, false, 34},
    };
    for (const Icon &icon : icons) {
        for (const auto &[state, suffix] : icon.grey ? threeStates : twoStates)
            files.push_back({QString::fromLatin1(icon.base) + suffix + QStringLiteral(".bmp"),
                             barButton(icon.width, {icon.glyph, QString()}, state)});
    }

    // Buttons with captions: Korean in skin/, English in skin/english/.
    struct Labelled
    {
        const char *base;
        Glyph glyph;
        bool grey;
        QString ko, en;
    };
    const std::vector<Labelled> labelled = {
        {"b_open", glyphOpen, false, QStringLiteral("열기"), QStringLiteral("Open")},
        {"b_fileout", glyphExport, true, QStringLiteral("내보내기"), QStringLiteral("Export")},
        {"b_folder", glyphFolder, false, QStringLiteral("폴더지정"), QStringLiteral("Folder")},
        {"b_allscreen", glyphFullScreen, true, QStringLiteral("전체화면"), QStringLiteral("Full Screen")},
        {"b_list", glyphList, true, QStringLiteral("목록"), QStringLiteral("Index")},
    };
    for (const Labelled &b : labelled) {
        const int width = labelledWidth(b.ko, b.en);
        for (const auto &[state, suffix] : b.grey ? threeStates : twoStates) {
            const QString name = QString::fromLatin1(b.base) + suffix + QStringLiteral(".bmp");
            files.push_back({name, barButton(width, {b.glyph, b.ko}, state)});
            files.push_back({QStringLiteral("english/") + name, barButton(width, {b.glyph, b.en}, state)});
        }
    }

    files.push_back({QStringLiteral("bg_Top.bmp"), backgroundTop()});
    files.push_back({QStringLiteral("bg_listtop.bmp"), listTop(QStringLiteral("목록보기"))});
    files.push_back({QStringLiteral("english/bg_listtop.bmp"), listTop(QStringLiteral("Page Index"))});
    files.push_back({QStringLiteral("b_close.bmp"), closeButton()});
    files.push_back({QStringLiteral("b_ok.bmp"), okButton(State::Normal)});
    files.push_back({QStringLiteral("b_ok_down.bmp"), okButton(State::Down)});
    files.push_back({QStringLiteral("bg_info.bmp"), infoBackground()});
    return files;
}

QImage contactSheet(const std::vector<SkinFile> &files, const QImage &tip)
{
    const int W = 1100;
    const int cellW = 180, cellH = 74;
    const int cols = W / cellW;
    const int rows = int((files.size() + cols - 1) / cols);
    const int H = 20 + rows * cellH + tip.height() + 40 + 2 * (kBarHeight + 20);
    QImage sheet(W, H, QImage::Format_RGB32);
    sheet.fill(QColor(0x80, 0x86, 0x8c));
    QPainter p(&sheet);
    p.setFont(uiFont(11, QFont::Normal));
    for (size_t i = 0; i < files.size(); ++i) {
        const int x = 10 + int(i % cols) * cellW, y = 10 + int(i / cols) * cellH;
        const QImage &img = files[i].image;
        const QImage shown = img.width() > cellW - 10 ? img.scaledToWidth(cellW - 10) : img;
        p.drawImage(x, y, shown);
        p.setPen(Qt::black);
        p.drawText(x, y + shown.height() + 14, files[i].name);
    }
    p.drawImage(10, 20 + rows * cellH, tip);

    // The buttons laid on the bar, as the main window shows them, once per language.
    auto find = [&](const QString &name) {
        for (const SkinFile &f : files)
            if (f.name == name)
                return f.image;
        return QImage();
    };
    int y = 40 + rows * cellH + tip.height();
    for (const QString &lang : {QString(), QStringLiteral("english/")}) {
        p.drawImage(10, y, find(QStringLiteral("bg_Top.bmp")));
        int x = 14;
        for (const char *b : {"b_open", "b_start2", "b_prev_down", "b_next", "b_fast2_grey", "b_fileout", "b_folder",
                              "b_allscreen", "b_list_grey"}) {
            const QString base = QString::fromLatin1(b);
            QImage img = find(lang + base + QStringLiteral(".bmp"));
            if (img.isNull())
                img = find(base + QStringLiteral(".bmp"));
            p.drawImage(x, y, img);
            x += img.width();
        }
        const QImage info = find(QStringLiteral("b_inform.bmp")), tipButton = find(QStringLiteral("b_tip.bmp"));
        p.drawImage(10 + 1024 - info.width(), y, info);
        p.drawImage(10 + 1024 - info.width() - tipButton.width(), y, tipButton);
        y += kBarHeight + 20;
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    // No display is needed (or wanted) to draw files.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: skinpainter OUTPUT_FOLDER [--sheet FILE.png]\n");
        return 2;
    }
    const QString outDir = args.at(1);
    QString sheetFile;
    const qsizetype sheetAt = args.indexOf(QStringLiteral("--sheet"));
    if (sheetAt > 0 && sheetAt + 1 < args.size())
        sheetFile = args.at(sheetAt + 1);

    if (!QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK KR")))
        std::fprintf(stderr, "skinpainter: warning: font \"Noto Sans CJK KR\" not found; Korean captions may not show\n");

    if (!QDir().mkpath(outDir + QStringLiteral("/english"))) {
        std::fprintf(stderr, "skinpainter: cannot create %s\n", qPrintable(outDir));
        return 1;
    }

    int failures = 0;
    g_scale = 2.0;
    std::vector<SkinFile> dense = paintSkin();
    g_scale = 1.0;
    const std::vector<SkinFile> files = paintSkin();
    // Beside every file its drawing at twice the pixels: "b_next@2x.bmp".
    for (SkinFile &f : dense)
        f.name.insert(f.name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
    std::vector<SkinFile> all = files;
    all.insert(all.end(), dense.begin(), dense.end());
    for (const SkinFile &f : all) {
        const QString path = outDir + QLatin1Char('/') + f.name;
        const QImage opaque = f.image.convertToFormat(QImage::Format_RGB888);
        if (!opaque.save(path, "BMP")) {
            std::fprintf(stderr, "skinpainter: cannot write %s\n", qPrintable(path));
            ++failures;
            continue;
        }
        QImageReader check(path, "bmp");
        if (check.size() != f.image.size()) {
            std::fprintf(stderr, "skinpainter: %s does not read back\n", qPrintable(path));
            ++failures;
        }
    }

    const QString gifPath = outDir + QStringLiteral("/tip.gif");
    QImage tip;
    for (const double scale : {2.0, 1.0}) {
        g_scale = scale;
        tip = tipCard();
        const Indexed indexed = quantise(tip, qRgb(0, 0, 0));
        const QString path = scale == 1.0 ? gifPath : outDir + QStringLiteral("/tip@2x.gif");
        QString why;
        if (!writeGif(path, indexed)) {
            std::fprintf(stderr, "skinpainter: cannot write %s\n", qPrintable(path));
            ++failures;
        } else if (!gifRoundTrips(path, indexed, why)) {
            std::fprintf(stderr, "skinpainter: %s does not decode as written: %s\n", qPrintable(path), qPrintable(why));
            ++failures;
        }
    }

    if (!sheetFile.isEmpty()) {
        QImage shownTip(gifPath);
        if (!contactSheet(files, shownTip.isNull() ? tip : shownTip).save(sheetFile, "PNG")) {
            std::fprintf(stderr, "skinpainter: cannot write %s\n", qPrintable(sheetFile));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
