#include "imaging/CDIB.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline uint8_t clampByte(int64_t x)
{
    return x >= 256 ? 255 : (x <= -1 ? 0 : uint8_t(x));
}

// Round to nearest, ties to even (the default floating-point rounding mode).
inline int64_t roundEven(double x)
{
    return int64_t(std::nearbyint(x));
}

bool is32Bit(const QImage &img)
{
    switch (img.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

QImage as32Bit(const QImage &img)
{
    return is32Bit(img) ? img : img.convertToFormat(QImage::Format_RGB32);
}

const QString kCreateFailed = QStringLiteral("DIB failed to create\r\nPlease restart your system and try again");
const QString kNotCreated = QStringLiteral("DIB has to be created first");

} // namespace

// ---------------------------------------------------------------------------
// Surface

void CDIB::release()
{
    std::vector<uint8_t>().swap(m_pixels);
    m_hasSurface = false;
    m_width = m_height = m_stride = m_rgbSize = 0;
}

void CDIB::Create(int W, int H)
{
    release();

    int32_t w3 = 0;
    int32_t w3p3 = 0;
    int32_t size = 0;
    if (__builtin_mul_overflow(W, 3, &w3) || __builtin_add_overflow(w3, 3, &w3p3))
        throw ImagingError::overflow();
    const int32_t stride = w3p3 & ~3;
    if (__builtin_mul_overflow(stride, H, &size))
        throw ImagingError::overflow();
    // A section of no pixels (or of negative extent) cannot be made.
    if (W <= 0 || H <= 0)
        throw ImagingError(ImagingError::DibCreateFailed, kCreateFailed);
    try {
        m_pixels.assign(size_t(size), 0);
    } catch (const std::bad_alloc &) {
        release();
        throw ImagingError(ImagingError::DibCreateFailed, kCreateFailed);
    }
    m_width = W;
    m_height = H;
    m_stride = stride;
    m_rgbSize = size;
    m_hasSurface = true;
}

void CDIB::Cls()
{
    if (m_hasSurface)
        std::memset(bits(), 0, size_t(m_rgbSize));
}

int CDIB::MapArray(std::span<uint8_t> &a)
{
    // Without a surface the height is 0, and the stride is RGBSize / H.
    if (!m_hasSurface || m_height == 0)
        throw ImagingError::divisionByZero();
    a = std::span<uint8_t>(bits(), size_t(m_rgbSize));
    return m_rgbSize / m_height;
}

void CDIB::UnMapArray(std::span<uint8_t> &a)
{
    a = std::span<uint8_t>();
}

QImage CDIB::hDC()
{
    if (!m_hasSurface)
        return QImage();
    return QImage(bits(), m_width, m_height, m_stride, QImage::Format_BGR888);
}

QImage CDIB::toImage() const
{
    if (!m_hasSurface)
        return QImage();
    QImage out(m_width, m_height, QImage::Format_RGB32);
    for (int y = 0; y < m_height; ++y) {
        const uint8_t *src = bits() + int64_t(m_height - 1 - y) * m_stride;
        auto *dst = reinterpret_cast<uint32_t *>(out.scanLine(y));
        for (int x = 0; x < m_width; ++x, src += 3)
            dst[x] = 0xFF000000u | (uint32_t(src[2]) << 16) | (uint32_t(src[1]) << 8) | src[0];
    }
    return out;
}

CDIB::Painter::Painter(CDIB &dib) : m_target(dib.hDC())
{
    if (m_target.isNull())
        return;
    begin(&m_target);
    // Memory row 0 is the bottom of the picture: flip so callers draw upright.
    translate(0, m_target.height());
    scale(1, -1);
}

CDIB::Painter::~Painter()
{
    if (isActive())
        end();
}

// ---------------------------------------------------------------------------
// Copies between surfaces

void CDIB::copyFrom32(const QImage &src, int X, int Y)
{
    const int64_t x0 = std::max<int64_t>(0, -int64_t(X));
    const int64_t x1 = std::min<int64_t>(m_width, int64_t(src.width()) - X);
    if (x0 >= x1)
        return;
    for (int y = 0; y < m_height; ++y) {
        const int64_t sy = int64_t(Y) + y;
        if (sy < 0 || sy >= src.height())
            continue;
        const auto *srow = reinterpret_cast<const uint32_t *>(src.constScanLine(int(sy))) + X;
        uint8_t *drow = bits() + int64_t(m_height - 1 - y) * m_stride;
        for (int64_t x = x0; x < x1; ++x) {
            const uint32_t px = srow[x];
            drow[3 * x] = uint8_t(px);
            drow[3 * x + 1] = uint8_t(px >> 8);
            drow[3 * x + 2] = uint8_t(px >> 16);
        }
    }
}

void CDIB::Clone(const QImage &pic, bool FitSize)
{
    if (FitSize)
        Create(pic.width(), pic.height());
    if (!m_hasSurface)
        throw ImagingError(ImagingError::DibNotCreated, kNotCreated);
    if (pic.isNull())
        return;
    // Nearest-pixel stretch: rows and columns are dropped or repeated, never blended.
    const QImage fitted = pic.size() == QSize(m_width, m_height)
        ? pic
        : pic.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    copyFrom32(as32Bit(fitted), 0, 0);
}

void CDIB::CloneHDC(const QImage &theHDC, int /*dwRop*/, int X, int Y)
{
    if (!m_hasSurface || theHDC.isNull())
        return;
    if (is32Bit(theHDC)) {
        copyFrom32(theHDC, X, Y);
        return;
    }
    // Convert only the block we need; copy() fills what lies outside with 0,
    // so clip first to leave those pixels untouched as in the 32-bit path.
    const QRect block = QRect(X, Y, m_width, m_height).intersected(theHDC.rect());
    if (block.isEmpty())
        return;
    const QImage part = theHDC.copy(block).convertToFormat(QImage::Format_RGB32);
    // Place the converted block as if it were theHDC shifted to (block.x, block.y).
    const int dx = block.x() - X;
    const int dy = block.y() - Y;
    for (int y = 0; y < part.height(); ++y) {
        const auto *srow = reinterpret_cast<const uint32_t *>(part.constScanLine(y));
        uint8_t *drow = bits() + int64_t(m_height - 1 - (dy + y)) * m_stride + 3 * int64_t(dx);
        for (int x = 0; x < part.width(); ++x) {
            drow[3 * x] = uint8_t(srow[x]);
            drow[3 * x + 1] = uint8_t(srow[x] >> 8);
            drow[3 * x + 2] = uint8_t(srow[x] >> 16);
        }
    }
}

void CDIB::PaintTo(QImage &toDC, int atX, int atY, int /*dwRop*/) const
{
    if (!m_hasSurface || toDC.isNull())
        return;
    if (!is32Bit(toDC)) {
        QPainter p(&toDC);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(atX, atY, toImage());
        return;
    }
    const int64_t x0 = std::max<int64_t>(0, -int64_t(atX));
    const int64_t x1 = std::min<int64_t>(m_width, int64_t(toDC.width()) - atX);
    if (x0 >= x1)
        return;
    for (int y = 0; y < m_height; ++y) {
        const int64_t ty = int64_t(atY) + y;
        if (ty < 0 || ty >= toDC.height())
            continue;
        const uint8_t *srow = bits() + int64_t(m_height - 1 - y) * m_stride;
        auto *drow = reinterpret_cast<uint32_t *>(toDC.scanLine(int(ty))) + atX;
        int64_t x = x0;
        // Three little-endian words of blue-green-red bytes hold four pixels.
        for (; x + 4 <= x1; x += 4) {
            uint32_t w[3];
            std::memcpy(w, srow + 3 * x, 12);
            drow[x] = 0xFF000000u | (w[0] & 0xFFFFFFu);
            drow[x + 1] = 0xFF000000u | (w[0] >> 24) | ((w[1] & 0xFFFFu) << 8);
            drow[x + 2] = 0xFF000000u | (w[1] >> 16) | ((w[2] & 0xFFu) << 16);
            drow[x + 3] = 0xFF000000u | (w[2] >> 8);
        }
        for (; x < x1; ++x) {
            const uint8_t *px = srow + 3 * x;
            drow[x] = 0xFF000000u | (uint32_t(px[2]) << 16) | (uint32_t(px[1]) << 8) | px[0];
        }
    }
}

void CDIB::PaintZoom(QImage &toDC, int x, int y, int zoomPercent, int /*dwRop*/) const
{
    if (!m_hasSurface || toDC.isNull())
        return;
    const double w = std::nearbyint(double(m_width) * zoomPercent * 0.01);
    const double h = std::nearbyint(double(m_height) * zoomPercent * 0.01);
    if (std::fabs(w) > 2147483647.0 || std::fabs(h) > 2147483647.0)
        throw ImagingError::overflow();
    if (w <= 0 || h <= 0)
        return;
    QPainter p(&toDC);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(x, y, int(w), int(h)), toImage());
}

// ---------------------------------------------------------------------------
// Effects

template<typename F>
void CDIB::forEachPixel(F f)
{
    std::span<uint8_t> view;
    MapArray(view);
    // Pixel by pixel within each row: walking the bytes flat across the row
    // padding would pair blue of one pixel with green and red of another.
    for (int r = 0; r < m_height; ++r) {
        uint8_t *p = bits() + int64_t(r) * m_stride;
        for (int x = 0; x < m_width; ++x, p += 3)
            f(p[0], p[1], p[2]);
    }
    UnMapArray(view);
}

void CDIB::Sharpen()
{
    std::span<uint8_t> view;
    int s = 0;
    try {
        s = MapArray(view);
    } catch (const ImagingError &) {
        return; // no surface: the empty view leaves nothing to walk
    }
    // Flat walk: k = 0, 3, 6 ... <= size - 1 - s, bytes k..k+2 each. A byte whose
    // neighbour j + s + 3 lies outside the buffer is left as it is. Each
    // neighbour lies further on in memory, so reading it before it is itself
    // rewritten gives the same result as computing from an unmodified copy.
    // The v > 0 condition needs no test: for v = 0, clamp(0 - n) is 0.
    const int64_t size = int64_t(view.size());
    const int64_t kLast = size - 1 - s;
    if (kLast >= 0) {
        const int64_t d = int64_t(s) + 3;
        const int64_t jEnd = std::min(kLast - kLast % 3 + 2, size - 1 - d); // inclusive
        uint8_t *p = view.data();
        int64_t j = 0;
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        for (; j + 15 <= jEnd; j += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + j));
            const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + j + d));
            const __m128i vlo = _mm_unpacklo_epi8(v, zero);
            const __m128i vhi = _mm_unpackhi_epi8(v, zero);
            const __m128i lo = _mm_sub_epi16(_mm_add_epi16(vlo, vlo), _mm_unpacklo_epi8(n, zero));
            const __m128i hi = _mm_sub_epi16(_mm_add_epi16(vhi, vhi), _mm_unpackhi_epi8(n, zero));
            // Saturating pack is exactly clamp to 0..255.
            _mm_storeu_si128(reinterpret_cast<__m128i *>(p + j), _mm_packus_epi16(lo, hi));
        }
#endif
        for (; j <= jEnd; ++j) {
            const int r = 2 * int(p[j]) - int(p[j + d]);
            p[j] = uint8_t(r < 0 ? 0 : (r > 255 ? 255 : r));
        }
    }
    UnMapArray(view);
}

void CDIB::ShiftColors(int addRed, int addGreen, int addBlue)
{
    forEachPixel([&](uint8_t &b, uint8_t &g, uint8_t &r) {
        b = clampByte(int64_t(b) + addBlue);
        g = clampByte(int64_t(g) + addGreen);
        r = clampByte(int64_t(r) + addRed);
    });
}

void CDIB::ShiftColorsEx(int addRed, int addGreen, int addBlue, int ExCol)
{
    forEachPixel([&](uint8_t &b, uint8_t &g, uint8_t &r) {
        if (int(r) + 256 * int(g) + 65536 * int(b) == ExCol)
            return;
        b = clampByte(int64_t(b) + addBlue);
        g = clampByte(int64_t(g) + addGreen);
        r = clampByte(int64_t(r) + addRed);
    });
}

void CDIB::ExchangeRGB(int Oper)
{
    if (Oper < 1 || Oper > 3) {
        std::span<uint8_t> view;
        MapArray(view);
        UnMapArray(view);
        return;
    }
    forEachPixel([&](uint8_t &b, uint8_t &g, uint8_t &r) {
        const uint8_t ob = b, og = g, orr = r;
        switch (Oper) {
        case 1:
            b = og;
            g = orr;
            r = ob;
            break;
        case 2:
            b = orr;
            g = ob;
            r = og;
            break;
        case 3:
            b = orr;
            r = ob;
            break;
        }
    });
}

void CDIB::RotatePic()
{
    std::span<uint8_t> view;
    MapArray(view);
    UnMapArray(view);
    // Quarter turn counter-clockwise: memory row y, column x goes to memory row
    // x, column H-1-y of a surface H wide and W high. For a square picture
    // without row padding this is byte for byte "k*H + (stride-3-3y) <- stride*y + k".
    const std::vector<uint8_t> copy = m_pixels;
    const int oldW = m_width, oldH = m_height, oldStride = m_stride;
    if (oldW != oldH)
        Create(oldH, oldW);
    for (int y = 0; y < oldH; ++y) {
        const uint8_t *src = copy.data() + int64_t(y) * oldStride;
        for (int x = 0; x < oldW; ++x) {
            uint8_t *dst = bits() + int64_t(x) * m_stride + 3 * int64_t(oldH - 1 - y);
            dst[0] = src[3 * x];
            dst[1] = src[3 * x + 1];
            dst[2] = src[3 * x + 2];
        }
    }
}

void CDIB::FlipHorZ()
{
    std::span<uint8_t> view;
    MapArray(view);
    // Mirror the W pixels of each row; the row padding stays where it is.
    for (int r = 0; r < m_height; ++r) {
        uint8_t *row = bits() + int64_t(r) * m_stride;
        for (int a = 0, b = m_width - 1; a < b; ++a, --b) {
            std::swap(row[3 * a], row[3 * b]);
            std::swap(row[3 * a + 1], row[3 * b + 1]);
            std::swap(row[3 * a + 2], row[3 * b + 2]);
        }
    }
    UnMapArray(view);
}

void CDIB::PrintTxt(const QString &theText, int X, int Y)
{
    if (!m_hasSurface)
        return;
    int32_t w = 0;
    if (__builtin_mul_overflow(int32_t(theText.size()), 16, &w))
        throw ImagingError::overflow();
    const QRect rect(X, Y, w, 50);
    Painter p(*this);
    p.setFont(m_font);
    p.setPen(m_textColor);
    if (!m_backTransparent) {
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(m_backColor);
    }
    p.setClipRect(rect);
    p.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, theText);
}

void CDIB::MakeEmboss(int embFactor, bool Extended, bool useGreyscale)
{
    std::span<uint8_t> view;
    MapArray(view);
    const int64_t d = Extended ? int64_t(m_stride) + 3 : 3;
    const int64_t kLast = int64_t(m_rgbSize) - 3 - d;
    uint8_t *p = bits();
    // Neighbours lie further on in memory, so they still hold their old values.
    for (int r = 0; r < m_height; ++r) {
        for (int x = 0; x < m_width; ++x) {
            const int64_t k = int64_t(r) * m_stride + 3 * int64_t(x);
            if (k > kLast)
                break;
            uint8_t e[3];
            for (int c = 0; c < 3; ++c)
                e[c] = clampByte(int64_t(p[k + c]) + embFactor - p[k + c + d]);
            if (useGreyscale) {
                const uint8_t m = uint8_t((int(e[0]) + e[1] + e[2]) / 3);
                p[k] = p[k + 1] = p[k + 2] = m;
            } else {
                p[k] = e[0];
                p[k + 1] = e[1];
                p[k + 2] = e[2];
            }
        }
    }
    UnMapArray(view);
}

void CDIB::FastRot()
{
    std::span<uint8_t> view;
    MapArray(view);
    // Half turn: pixel (x, r) changes place with (W-1-x, H-1-r). Without row
    // padding this is the reversed order of all three-byte groups.
    const int64_t total = int64_t(m_width) * m_height;
    for (int64_t i = 0, j = total - 1; i < j; ++i, --j) {
        uint8_t *a = bits() + (i / m_width) * m_stride + 3 * (i % m_width);
        uint8_t *b = bits() + (j / m_width) * m_stride + 3 * (j % m_width);
        std::swap(a[0], b[0]);
        std::swap(a[1], b[1]);
        std::swap(a[2], b[2]);
    }
    UnMapArray(view);
}

void CDIB::Greyscale()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        const uint8_t m = uint8_t((int(b) + g + r) / 3);
        b = g = r = m;
    });
}

void CDIB::Brightness(int bValue)
{
    ShiftColors(bValue, bValue, bValue);
}

void CDIB::FlipVert()
{
    std::span<uint8_t> view;
    MapArray(view);
    for (int a = 0, b = m_height - 1; a < b; ++a, --b)
        std::swap_ranges(bits() + int64_t(a) * m_stride, bits() + int64_t(a + 1) * m_stride,
                         bits() + int64_t(b) * m_stride);
    UnMapArray(view);
}

void CDIB::InvertColors()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        b = uint8_t(255 - b);
        g = uint8_t(255 - g);
        r = uint8_t(255 - r);
    });
}

void CDIB::FilterOutColors(bool red, bool green, bool blue)
{
    ShiftColors(red ? 0 : -255, green ? 0 : -255, blue ? 0 : -255);
}

void CDIB::ScanLines(uint8_t p)
{
    std::span<uint8_t> view;
    MapArray(view);
    if (p != 0) {
        int step = int(std::nearbyint(100.0f / float(p)));
        // Above 200 the step rounds to 0, which would never advance: every row then.
        if (step < 1)
            step = 1;
        for (int r = 0; r < m_height; r += step)
            std::memset(bits() + int64_t(r) * m_stride, 0, size_t(m_stride));
    }
    UnMapArray(view);
}

void CDIB::Monochrome(uint8_t Threshold)
{
    forEachPixel([&](uint8_t &b, uint8_t &g, uint8_t &r) {
        const uint8_t v = (int(b) + g + r) / 3 < Threshold ? 0 : 255;
        b = g = r = v;
    });
}

// A box blur: `passes` times, each pixel becomes the rounded mean of the
// (2*radius+1) pixels around it in its row, then of those in its column; near
// the edges only the pixels that exist are averaged. Radius or passes of 0
// leave the picture as it is.
void CDIB::DynamicBlur(uint8_t radius, uint8_t passes)
{
    std::span<uint8_t> view;
    MapArray(view);
    UnMapArray(view);
    if (radius == 0 || passes == 0)
        return;
    const int W = m_width, H = m_height, s = m_stride, R = radius;
    std::vector<uint8_t> copy(m_pixels.size());
    for (int pass = 0; pass < passes; ++pass) {
        for (int dir = 0; dir < 2; ++dir) {
            copy = m_pixels;
            const int len = dir == 0 ? W : H; // pixels along the line
            const int lines = dir == 0 ? H : W;
            const int64_t along = dir == 0 ? 3 : s; // byte step along the line
            for (int line = 0; line < lines; ++line) {
                const int64_t base = dir == 0 ? int64_t(line) * s : 3 * int64_t(line);
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    int lo = 0, hi = -1; // window [lo, hi] already summed
                    for (int i = 0; i < len; ++i) {
                        const int wantLo = std::max(0, i - R), wantHi = std::min(len - 1, i + R);
                        while (hi < wantHi)
                            sum += copy[size_t(base + ++hi * along + c)];
                        while (lo < wantLo)
                            sum -= copy[size_t(base + lo++ * along + c)];
                        const int count = hi - lo + 1;
                        m_pixels[size_t(base + i * along + c)] = uint8_t((sum + count / 2) / count);
                    }
                }
            }
        }
    }
}

void CDIB::FastBlur()
{
    std::span<uint8_t> view;
    const int s = MapArray(view);
    const std::vector<uint8_t> c = m_pixels;
    uint8_t *p = bits();
    const int64_t last = int64_t(m_rgbSize) - s - 6;
    for (int64_t k = int64_t(s) + 3; k <= last; k += 3) {
        for (int64_t j = k; j < k + 3; ++j)
            p[j] = uint8_t((2 * int(c[j]) + c[j - 3] + c[j + 3] + c[j - s] + c[j + s]) / 6);
    }
    UnMapArray(view);
}

// Blends the other surface, placed with its top-left corner at (atX, atY) of
// this picture (y downward from the top row), so that each covered pixel
// becomes (other * Visibility + this * (100 - Visibility) + 50) / 100 per
// channel. Pixels of the other surface whose colour value
// red + 256*green + 65536*blue equals ExCol are skipped (a transparent colour).
void CDIB::AlphaBlend(const CDIB &dibToBlend, int atX, int atY, int Visibility, int ExCol)
{
    std::span<uint8_t> view;
    MapArray(view);
    UnMapArray(view);
    if (Visibility < 1 || Visibility > 100 || atX > m_width || atY > m_height)
        return;
    if (!dibToBlend.m_hasSurface)
        throw ImagingError::divisionByZero();
    const CDIB copy = &dibToBlend == this ? dibToBlend : CDIB();
    const CDIB &src = &dibToBlend == this ? copy : dibToBlend;
    const int v = Visibility;
    for (int sy = 0; sy < src.m_height; ++sy) {
        const int64_t ty = int64_t(atY) + sy;
        if (ty < 0 || ty >= m_height)
            continue;
        const uint8_t *srow = src.bits() + int64_t(src.m_height - 1 - sy) * src.m_stride;
        uint8_t *drow = bits() + (m_height - 1 - ty) * m_stride;
        for (int sx = 0; sx < src.m_width; ++sx) {
            const int64_t tx = int64_t(atX) + sx;
            if (tx < 0 || tx >= m_width)
                continue;
            const uint8_t *sp = srow + 3 * sx;
            if (int(sp[2]) + 256 * int(sp[1]) + 65536 * int(sp[0]) == ExCol)
                continue;
            uint8_t *dp = drow + 3 * tx;
            for (int c = 0; c < 3; ++c)
                dp[c] = uint8_t((sp[c] * v + dp[c] * (100 - v) + 50) / 100);
        }
    }
}

void CDIB::Flame()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        const int m = (int(b) + g + r) / 3;
        r = clampByte(int(r) + m);
        b = clampByte(int(b) - m);
    });
}

void CDIB::Freeze(bool strong)
{
    const float f = strong ? 1.8f : 1.5f;
    auto term = [f](int x) { return clampByte(int64_t(std::nearbyint(std::fabs(f * float(x))))); };
    forEachPixel([&](uint8_t &b, uint8_t &g, uint8_t &r) {
        r = term(int(r) - g - b);
        g = term(int(g) - b - r);
        b = term(int(b) - g - r);
    });
}

void CDIB::NightShade()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        r = clampByte(std::abs(int(r) - 64));
        g = clampByte(std::abs(int(r) - 64));
        b = clampByte(std::abs(int(r) - 64));
    });
}

void CDIB::Spooky()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        g = clampByte(g / 2 + int(r));
        b = clampByte(int(r) + b / 2);
    });
}

void CDIB::Psycho()
{
    auto sq = [](int x) { return int64_t(x) * x; };
    forEachPixel([&](uint8_t &b, uint8_t &g, uint8_t &r) {
        r = uint8_t(roundEven(double(clampByte(sq(int(g) - b))) * 0.008));
        g = clampByte(roundEven(double(sq(int(r) - b)) * 0.008));
        b = clampByte(roundEven(double(sq(int(r) - g)) * 0.008));
    });
}

// A water tone: red is halved, and what it loses tints green (a quarter of the
// old red) and blue (a quarter of the old red plus an eighth of the green).
void CDIB::Aqua()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        const int r0 = r, g0 = g;
        r = uint8_t(r0 / 2);
        g = clampByte(g0 + r0 / 4);
        b = clampByte(int(b) + r0 / 4 + g0 / 8);
    });
}

void CDIB::Brown()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        r = clampByte((int(g) * b) / 256);
        g = clampByte((int(r) * b) / 256);
        b = clampByte((int(r) * g) / 256);
    });
}

void CDIB::PurpleStain()
{
    forEachPixel([](uint8_t &b, uint8_t &g, uint8_t &r) {
        r = clampByte(int(g) + r / 2);
        g = clampByte(int(b) + g / 2);
        b = clampByte(int(r) + b / 2);
    });
}
