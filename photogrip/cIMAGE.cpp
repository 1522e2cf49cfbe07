#include "cIMAGE.h"

#include "ImageDecoder.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <atomic>
#include <cmath>
#include <pixman.h>

namespace {

std::atomic<quint64> g_nextToken{1};

// Rounds half to even, as the scaled bitmap's dimensions are rounded.
int roundEven(float v)
{
    return int(std::nearbyint(double(v)));
}

QImage toRgb32(const QImage &img)
{
    // Alpha is dropped over black, as a device-dependent bitmap with background 0 would show it.
    return img.format() == QImage::Format_RGB32 ? img : img.convertToFormat(QImage::Format_RGB32);
}

// A separable bicubic resample done by pixman: its convolution filter handles
// the reconstruction (cubic) and, on any axis that shrinks, the area sampling.
QImage bicubicScaled(const QImage &src, int w, int h)
{
    const QImage in = toRgb32(src);
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull() || in.isNull())
        return {};
    pixman_image_t *ps = pixman_image_create_bits(PIXMAN_x8r8g8b8, in.width(), in.height(),
                                                  reinterpret_cast<uint32_t *>(const_cast<uchar *>(in.constBits())),
                                                  int(in.bytesPerLine()));
    pixman_image_t *pd = pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, reinterpret_cast<uint32_t *>(out.bits()),
                                                  int(out.bytesPerLine()));
    if (!ps || !pd) {
        if (ps)
            pixman_image_unref(ps);
        if (pd)
            pixman_image_unref(pd);
        return {};
    }
    const double sx = double(in.width()) / w;
    const double sy = double(in.height()) / h;
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(sx), pixman_double_to_fixed(sy));
    pixman_image_set_transform(ps, &t);
    pixman_image_set_repeat(ps, PIXMAN_REPEAT_PAD);
    int nParams = 0;
    pixman_fixed_t *params = pixman_filter_create_separable_convolution(
        &nParams, pixman_double_to_fixed(std::max(sx, 1.0)), pixman_double_to_fixed(std::max(sy, 1.0)),
        PIXMAN_KERNEL_CUBIC, PIXMAN_KERNEL_CUBIC, sx > 1.0 ? PIXMAN_KERNEL_BOX : PIXMAN_KERNEL_IMPULSE,
        sy > 1.0 ? PIXMAN_KERNEL_BOX : PIXMAN_KERNEL_IMPULSE, 4, 4);
    bool ok = params && pixman_image_set_filter(ps, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, nParams);
    free(params);
    if (ok)
        pixman_image_composite32(PIXMAN_OP_SRC, ps, nullptr, pd, 0, 0, 0, 0, 0, 0, w, h);
    pixman_image_unref(ps);
    pixman_image_unref(pd);
    return ok ? out : QImage();
}

void drawScaled(QImage &dc, const QImage &img, qint32 x, qint32 y, qint32 w, qint32 h)
{
    if (dc.isNull() || img.isNull() || w == 0 || h == 0)
        return;
    QPainter p(&dc);
    if (!p.isActive())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRectF(x, y, w, h), img);
}

} // namespace

cIMAGE::cIMAGE()
    : m_token(g_nextToken.fetch_add(1))
{
}

cIMAGE::~cIMAGE()
{
    ClassUnload();
}

const QImage &cIMAGE::currentImage() const
{
    return m_scaled.isNull() ? m_source : m_scaled;
}

QSizeF cIMAGE::currentSize() const
{
    if (!m_scaled.isNull())
        return m_scaled.size();
    if (!m_source.isNull())
        return m_natural;
    return QSizeF(0, 0);
}

float cIMAGE::ImageWidth() const
{
    return float(currentSize().width());
}

float cIMAGE::ImageHeight() const
{
    return float(currentSize().height());
}

bool cIMAGE::Initialised() const
{
    return m_token != 0;
}

void cIMAGE::releaseSource()
{
    m_source = QImage();
    m_natural = QSize();
}

bool cIMAGE::Load(const QString &sFile)
{
    return LoadForResize(sFile, 0, 0);
}

bool cIMAGE::LoadForResize(const QString &sFile, float width, float height)
{
    releaseSource();
    if (!Initialised())
        return false;
    ImageDecoder::TargetFor targetFor;
    if (width > 0 || height > 0)
        targetFor = [width, height](QSize natural) {
            return ResizeTarget(float(natural.width()), float(natural.height()), width, height);
        };
    ImageDecoder::Decoded d = ImageDecoder::decode(sFile, targetFor);
    if (d.image.isNull())
        return false;
    m_source = std::move(d.image);
    m_natural = d.natural;
    return true;
}

void cIMAGE::GetSize(const QString &sFile, float &Sw, float &Sh) const
{
    const QSize s = ImageDecoder::headerSize(sFile);
    if (!s.isValid())
        return;
    Sw = float(s.width());
    Sh = float(s.height());
}

void cIMAGE::DrawRotated(QImage &D_Hdc, const QString &Str_Path, float, qint32 Cur_x, qint32 Cur_Y, qint32 Cur_W,
                         qint32 Cur_H, qint32, qint32)
{
    if (!Initialised())
        return;
    const ImageDecoder::Decoded d = ImageDecoder::decode(Str_Path);
    drawScaled(D_Hdc, d.image, Cur_x, Cur_Y, Cur_W, Cur_H);
}

QSize cIMAGE::ResizeTarget(float w0, float h0, float width, float height)
{
    return ImageDecoder::scaledSize(w0, h0, width, height);
}

bool cIMAGE::Resize(float width, float height, const QImage *, bool bGrow)
{
    m_scaled = QImage();
    m_lastInterpolation = Interpolation::None;
    if (!(width > 0 || height > 0) || m_source.isNull())
        return false;
    const float w0 = float(m_natural.width());
    const float h0 = float(m_natural.height());
    const QSize size = ResizeTarget(w0, h0, width, height);
    if (!size.isValid())
        return false;
    // Fill in the side ResizeTarget derived, for the grow test below.
    if (width == 0)
        width = float(size.width());
    if (height == 0)
        height = float(size.height());
    const bool bicubic = bGrow && (height > h0 || width > w0);

    QImage scaled;
    if (bicubic)
        scaled = bicubicScaled(m_source, size.width(), size.height());
    else if (m_source.size() == size)
        scaled = toRgb32(m_source); // the decoder already produced this size
    else
        scaled = toRgb32(m_source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    if (scaled.isNull() || scaled.size() != size)
        return false;
    m_scaled = std::move(scaled);
    m_lastInterpolation = bicubic ? Interpolation::HighQualityBicubic : Interpolation::HighQualityBilinear;
    return true;
}

std::optional<QImage> cIMAGE::Thumbnail(qint32 thumbWidth, qint32 thumbHeight, bool bRetainProportions)
{
    if (m_source.isNull())
        return std::nullopt;
    const QSizeF cur = currentSize();
    const float h = float(cur.height());
    const float w = float(cur.width());
    if (bRetainProportions && h > 0) {
        const float ratio = w / h;
        if (w > h)
            thumbHeight = roundEven(float(thumbWidth) / ratio);
        else
            thumbWidth = roundEven(ratio * float(thumbHeight));
    }
    std::optional<QImage> result;
    const QSize size(thumbWidth, thumbHeight);
    if (!size.isEmpty() && ImageDecoder::fitsMemory(size)) {
        QImage thumb = toRgb32(m_source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        if (!thumb.isNull())
            result = std::move(thumb);
    }
    releaseSource();
    return result;
}

void cIMAGE::Gdi_LoadPicture(QImage &hdc, qint32 x, qint32 y, qint32 width, qint32 height)
{
    if (m_source.isNull())
        return;
    m_source = m_source.mirrored(true, false);
    drawScaled(hdc, m_source, x, y, width, height);
}

bool cIMAGE::SaveAs(const QString &sFile, qint32 JPEG_Quality)
{
    if (!Initialised())
        return false;
    const qsizetype cut = sFile.lastIndexOf(QLatin1Char('/'));
    QString folder = cut > 0 ? sFile.left(cut) : QString();
    if (folder.isEmpty())
        return false;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (!QFileInfo::exists(folder) && !QDir().mkdir(folder))
        return false;

    bool haveEncoder = false;
    for (const QByteArray &mime : QImageWriter::supportedMimeTypes()) {
        if (QString::fromLatin1(mime).compare(QLatin1String("image/jpeg"), Qt::CaseInsensitive) == 0) {
            haveEncoder = true;
            break;
        }
    }
    const QImage &img = currentImage();
    bool ok = false;
    if (haveEncoder && !img.isNull()) {
        // Written beside the target and renamed over it only when complete, so a
        // failed write never leaves a truncated file or destroys the one it replaces.
        QSaveFile out(sFile);
        if (out.open(QIODevice::WriteOnly)) {
            QImageWriter writer(&out, "jpeg");
            writer.setQuality(JPEG_Quality);
            ok = writer.write(toRgb32(img)) && out.commit();
        }
    }
    m_scaled = QImage();
    return ok;
}

QString cIMAGE::GdiErrorString(qint32 lError)
{
    switch (lError) {
    case 1: return QStringLiteral("Generic Error");
    case 2: return QStringLiteral("Invalid Parameter");
    case 3: return QStringLiteral("Out Of Memory");
    case 4: return QStringLiteral("Object Busy");
    case 5: return QStringLiteral("Insufficient Buffer");
    case 6: return QStringLiteral("Not Implemented");
    case 7: return QStringLiteral("Win32 Error");
    case 8: return QStringLiteral("Wrong State");
    case 9: return QStringLiteral("Aborted");
    case 10: return QStringLiteral("File Not Found");
    case 11: return QStringLiteral("Value Overflow");
    case 12: return QStringLiteral("Access Denied");
    case 13: return QStringLiteral("Unknown Image Format");
    case 14: return QStringLiteral("FontFamily Not Found");
    case 15: return QStringLiteral("FontStyle Not Found");
    case 16: return QStringLiteral("Not TrueType Font");
    case 17: return QStringLiteral("Unsupported Gdiplus Version");
    case 18: return QStringLiteral("Gdiplus Not Initialized");
    case 19: return QStringLiteral("Property Not Found");
    case 20: return QStringLiteral("Property Not Supported");
    default: return QStringLiteral("Unknown GDI+ Error");
    }
}

std::optional<QImage> cIMAGE::Picture()
{
    if (m_source.isNull())
        return std::nullopt;
    QImage pic = toRgb32(currentImage());
    if (pic.isNull())
        return std::nullopt;
    m_scaled = QImage();
    releaseSource();
    return pic;
}

void cIMAGE::ClassUnload()
{
    if (m_token == 0)
        return;
    releaseSource();
    m_token = 0;
}
