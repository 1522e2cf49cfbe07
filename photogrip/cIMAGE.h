#pragma once
// The library's private image object: one decoded file and the operations the
// ImgPicture control needs. A session is the object's lifetime (started when
// it is created, ended by ClassUnload or destruction). A "picture" is a QImage
// value in 32-bit RGB that the caller owns; a device context is a QImage lent
// for one call.
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

class cIMAGE
{
public:
    // The filters Resize chooses between; exposed so that tests can tell which
    // one a call took.
    enum class Interpolation { None, HighQualityBilinear, HighQualityBicubic };

    cIMAGE();
    ~cIMAGE();
    cIMAGE(const cIMAGE &) = delete;
    cIMAGE &operator=(const cIMAGE &) = delete;

    float ImageWidth() const;
    float ImageHeight() const;
    bool Initialised() const;
    std::optional<QImage> Thumbnail(qint32 thumbWidth, qint32 thumbHeight, bool bRetainProportions);
    bool Load(const QString &sFile);
    // Load for a caller that goes on with Resize(width, height, ..., false): a
    // format that can scale while decoding (JPEG) is decoded straight at the
    // size that Resize will produce, so the full-size pixels are never made.
    // Sizes and Resize's arithmetic still use the file's natural size.
    bool LoadForResize(const QString &sFile, float width, float height);
    void GetSize(const QString &sFile, float &Sw, float &Sh) const;
    void DrawRotated(QImage &D_Hdc, const QString &Str_Path, float Sng_Angle, qint32 Cur_x, qint32 Cur_Y,
                     qint32 Cur_W, qint32 Cur_H, qint32 unused1 = 0, qint32 unused2 = 0);
    bool Resize(float width, float height, const QImage *hdc, bool bGrow);
    void Gdi_LoadPicture(QImage &hdc, qint32 x, qint32 y, qint32 width, qint32 height);
    bool SaveAs(const QString &sFile, qint32 JPEG_Quality);
    static QString GdiErrorString(qint32 lError);
    std::optional<QImage> Picture();
    void ClassUnload();

    // The pixel size Resize makes for a source of w0 x h0 (invalid when Resize
    // would fail): both given = exactly that; one zero = kept aspect ratio.
    static QSize ResizeTarget(float w0, float h0, float width, float height);
    // The filter the last Resize used (None when it failed or none ran).
    Interpolation LastInterpolation() const { return m_lastInterpolation; }

private:
    void releaseSource();
    const QImage &currentImage() const;
    QSizeF currentSize() const;

    quint64 m_token = 0;        // non-zero while the session runs
    QImage m_source;            // as decoded; may be smaller than m_natural (reduced JPEG decode)
    QSize m_natural;            // the source's own size, as the file declares it
    QImage m_scaled;            // made by Resize, Format_RGB32
    Interpolation m_lastInterpolation = Interpolation::None;
};
