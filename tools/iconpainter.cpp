// Draws the program's icon: the same shapes as an SVG file and as PNG files at
// the sizes desktops look for, so the two never drift apart.
//   iconpainter OUTPUT_FOLDER SIZE...  ->  leafview.svg, leafview-<SIZE>.png
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
struct Shape
{
    QPainterPath path;
    QColor fill;
};

// On a 256 x 256 grid: a rounded tile, an open comic book with two panels on each
// page, and a leaf growing from its spine.
std::vector<Shape> icon()
{
    std::vector<Shape> shapes;
    QPainterPath tile;
    tile.addRoundedRect(QRectF(16, 16, 224, 224), 44, 44);
    shapes.push_back({tile, QColor(0x1f, 0x5f, 0x5b)});

    for (int side : {-1, 1}) {
        auto x = [side](qreal dx) { return 128 + side * dx; };
        QPainterPath page;
        page.moveTo(x(0), 96);
        page.cubicTo(x(24), 82, x(56), 78, x(86), 84);
        page.lineTo(x(86), 202);
        page.cubicTo(x(56), 196, x(24), 200, x(0), 214);
        page.closeSubpath();
        shapes.push_back({page, QColor(0xf7, 0xf1, 0xe3)});
        for (const QRectF &panel : {QRectF(12, 100, 62, 40), QRectF(12, 148, 62, 44)}) {
            QPainterPath p;
            p.addRect(side < 0 ? QRectF(128 - panel.right(), panel.top(), panel.width(), panel.height())
                               : panel.translated(128, 0));
            shapes.push_back({p, QColor(0xc9, 0xbf, 0xa8)});
        }
    }
    QPainterPath leaf;
    leaf.moveTo(128, 94);
    leaf.cubicTo(126, 56, 158, 30, 204, 28);
    leaf.cubicTo(204, 70, 172, 98, 128, 94);
    leaf.closeSubpath();
    shapes.push_back({leaf, QColor(0x7c, 0xc5, 0x4a)});
    QPainterPath vein;
    vein.moveTo(130, 92);
    vein.cubicTo(150, 70, 170, 52, 198, 34);
    vein.lineTo(200, 38);
    vein.cubicTo(174, 56, 154, 74, 134, 94);
    vein.closeSubpath();
    shapes.push_back({vein, QColor(0x3e, 0x8e, 0x2a)});
    return shapes;
}

QString svgPathData(const QPainterPath &path)
{
    QString d;
    auto point = [](qreal x, qreal y) { return QString::number(x, 'g', 6) + ' ' + QString::number(y, 'g', 6); };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += (d.isEmpty() ? "M" : " M") + point(e.x, e.y);
        } else if (e.isLineTo()) {
            d += " L" + point(e.x, e.y);
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            d += " C" + point(e.x, e.y) + ' ' + point(c2.x, c2.y) + ' ' + point(end.x, end.y);
            i += 2;
        }
    }
    return d + " Z";
}

bool writeSvg(const QString &file, const std::vector<Shape> &shapes)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&f);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    for (const Shape &s : shapes)
        out << "  <path fill=\"" << s.fill.name() << "\" d=\"" << svgPathData(s.path) << "\"/>\n";
    out << "</svg>\n";
    return out.status() == QTextStream::Ok;
}

bool writePng(const QString &file, const std::vector<Shape> &shapes, int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    for (const Shape &s : shapes)
        p.fillPath(s.path, s.fill);
    p.end();
    return img.save(file, "PNG");
}
} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: iconpainter OUTPUT_FOLDER SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const std::vector<Shape> shapes = icon();
    bool ok = writeSvg(folder + "/leafview.svg", shapes);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        ok = size > 0 && writePng(folder + QStringLiteral("/leafview-%1.png").arg(size), shapes, size) && ok;
    }
    return ok ? 0 : 1;
}
