#pragma once
// CDIB: an off-screen 24-bit picture with direct byte access and whole-picture
// pixel effects. The viewer's sharpen option copies the drawn page surface in,
// sharpens it and copies it back.
//
// Memory layout (kept exactly, because the effects are defined on it):
//   stride  = (3*W + 3) with the two low bits cleared (rows padded to 4 bytes)
//   RGBSize = stride * H
//   the pixel in column x of memory row r starts at r*stride + 3*x and holds
//   blue, green, red; memory row 0 is the BOTTOM row of the picture.
// All size arithmetic is checked 32-bit arithmetic; an overflow raises
// ImagingError::Overflow.
//
// Device contexts are QImages lent by reference (Format_RGB32 is the fast path;
// other formats are converted). Only the source-copy raster operation exists:
// the dwRop parameters are accepted for the callers' sake and always copy.
#include "imaging/ImagingError.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

class CDIB
{
public:
    static constexpr int SRCCOPY = 0x00CC0020;

    // A painter that draws onto the surface in picture coordinates (y grows
    // downward from the top row), writing straight into the pixel bytes. Only
    // valid while the surface is not re-created.
    class Painter : public QPainter
    {
    public:
        explicit Painter(CDIB &dib);
        ~Painter();

    private:
        QImage m_target;
    };

    // New surface of W x H pixels, all black. The old surface is released first.
    // W or H of 0 or less, or memory that cannot be had: error 825.
    void Create(int W, int H);
    // Copies pic stretched (nearest pixel) onto the whole surface; with FitSize
    // the surface is first re-created at pic's own size. No surface: error -1.
    void Clone(const QImage &pic, bool FitSize = false);
    // Copies the W x H block of theHDC starting at (X, Y) onto the surface;
    // pixels whose source lies outside theHDC are left as they are.
    void CloneHDC(const QImage &theHDC, int dwRop = SRCCOPY, int X = 0, int Y = 0);
    // Copies the whole surface onto toDC at (atX, atY), clipped to toDC.
    void PaintTo(QImage &toDC, int atX = 0, int atY = 0, int dwRop = SRCCOPY) const;
    // Stretches the whole surface onto toDC at (x, y), size
    // round(W * zoomPercent * 0.01) x round(H * zoomPercent * 0.01), ties to even.
    void PaintZoom(QImage &toDC, int x, int y, int zoomPercent, int dwRop = SRCCOPY) const;
    // All RGBSize bytes to 0; nothing without a surface.
    void Cls();

    int RGBSize() const { return m_rgbSize; }
    int Width() const { return m_hasSurface ? m_width : 0; }
    int Height() const { return m_hasSurface ? m_height : 0; }
    bool HasSurface() const { return m_hasSurface; }

    // Lends a view of the pixel bytes (indices 0 .. RGBSize-1) and returns
    // RGBSize / H, the stride. Without a surface the height is 0 and the
    // division raises ImagingError::DivisionByZero.
    int MapArray(std::span<uint8_t> &a);
    void UnMapArray(std::span<uint8_t> &a);

    // The surface as an image sharing the pixel bytes, in MEMORY order (its
    // first row is the bottom row of the picture), Format_BGR888. Null without
    // a surface. For drawing in picture coordinates use CDIB::Painter.
    QImage hDC();
    // A copy of the picture, top row first, Format_RGB32.
    QImage toImage() const;

    // Text state of the surface, used by PrintTxt. A fresh surface draws with
    // the application font, black text on an opaque white background.
    void SetFont(const QFont &font) { m_font = font; }
    void SetTextColor(const QColor &c) { m_textColor = c; }
    void SetBackColor(const QColor &c) { m_backColor = c; }
    void SetBackTransparent(bool transparent) { m_backTransparent = transparent; }

    // --- effects (all in place) ---
    void Sharpen();
    void ShiftColors(int addRed, int addGreen, int addBlue);
    void ShiftColorsEx(int addRed, int addGreen, int addBlue, int ExCol);
    void ExchangeRGB(int Oper);
    void RotatePic();
    void FlipHorZ();
    void PrintTxt(const QString &theText, int X, int Y);
    void MakeEmboss(int embFactor, bool Extended, bool useGreyscale = false);
    void FastRot();
    void Greyscale();
    void Brightness(int bValue);
    void FlipVert();
    void InvertColors();
    void FilterOutColors(bool red, bool green, bool blue);
    void ScanLines(uint8_t p);
    void Monochrome(uint8_t Threshold);
    void DynamicBlur(uint8_t radius, uint8_t passes);
    void FastBlur();
    void AlphaBlend(const CDIB &dibToBlend, int atX, int atY, int Visibility, int ExCol);
    void Flame();
    void Freeze(bool strong);
    void NightShade();
    void Spooky();
    void Psycho();
    void Aqua();
    void Brown();
    void PurpleStain();

private:
    void release();
    uint8_t *bits() { return m_pixels.data(); }
    const uint8_t *bits() const { return m_pixels.data(); }
    // Calls f(blue, green, red) for every pixel of every row; padding is not a pixel.
    template<typename F>
    void forEachPixel(F f);
    // Writes a top-down 32-bit image block starting at (X, Y) onto the surface.
    void copyFrom32(const QImage &src, int X, int Y);

    bool m_hasSurface = false;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_rgbSize = 0;
    std::vector<uint8_t> m_pixels;

    QFont m_font;
    QColor m_textColor = Qt::black;
    QColor m_backColor = Qt::white;
    bool m_backTransparent = false;
};
