#pragma once
// The ImgPicture control ("PhotoGrip.ImgPicture"): an off-screen image loader and
// scaler. The control owns a surface (a QImage, 32-bit RGB) on which the last
// shown picture stays at the top-left corner, unscaled; GetHdc lends it.
//
// Events are Qt signals of the control widget, declared with these signatures:
//   void Click();  void DblClick();
//   void MouseDown(short Button, short Shift, float x, float y);
//   void MouseMove(short Button, short Shift, float x, float y);
//   void MouseUp(short Button, short Shift, float x, float y);
// (connect by name with SIGNAL(...) since the program does not see the class).
#include <QtPlugin>
#include <QImage>
#include <QString>
#include <optional>

class QWidget;

// A decode that touches no control and so may run on any thread: the picture
// DisplayPicture gives for that file at width x height (nullopt when it gives none).
using PictureDecoder = std::optional<QImage> (*)(const QString &file, qint32 width, qint32 height);

class IImgPicture
{
public:
    virtual ~IImgPicture() = default;

    virtual QWidget *asWidget() = 0;

    // Write-only properties: they only store the value.
    virtual void SetWidth(qint32 w) = 0;
    virtual void SetHeight(qint32 h) = 0;
    virtual void SetVisible(bool show) = 0;
    virtual void SetAutoSize(bool autoSize) = 0;

    // The surface, lent for copying out width x height pixels of the last picture.
    virtual const QImage &GetHdc() const = 0;

    virtual void SetPicture(const QString &StrPath) = 0;
    // Show flag true: the picture goes onto the surface and nothing is returned.
    // Show flag false: the picture is returned (nullopt on failure).
    virtual std::optional<QImage> DisplayPicture(const QString &sFileName, qint32 shdc = 0) = 0;
    // The picture DisplayPicture makes of the file at width x height, decoded at
    // that size, without touching the control: it may run on any thread, as
    // GetImageSize may. nullopt when the file cannot be decoded.
    virtual std::optional<QImage> ScaledPicture(const QString &sFileName, qint32 width, qint32 height) const = 0;
    virtual void Draw_ImgCopy(const QImage &Trg_dC, qint32 T_W, qint32 T_H) = 0;
    virtual void Draw_Flip(QImage &Trg_dC, qint32 T_X, qint32 T_Y, qint32 T_W, qint32 T_H, const QString &StrPath) = 0;
    virtual void Draw_Rotate(QImage &hdc, const QString &S_File, float S_Angle, qint32 Draw_X, qint32 Draw_Y,
                             qint32 Draw_W, qint32 Draw_H, qint32 W, qint32 H) = 0;
    virtual std::optional<QImage> PictureThumNail(const QString &StrFile) = 0;
    virtual bool PictureSaveAsFile(const QString &StrSrcName, const QString &StrCopyName, qint32 MakeWidth = 0,
                                   qint32 MakeHeight = 0) = 0;
    virtual bool Save_File(const QString &StrSrcName, const QString &StrCopyName) = 0;
    // Leaves S_Width/S_Height untouched when the file cannot be read as an image.
    virtual void GetImageSize(const QString &sFName, float &S_Width, float &S_Height) = 0;
    // ScaledPicture as a plain function: a decode queued on a worker thread may
    // still run after the control is gone.
    virtual PictureDecoder Decoder() const = 0;
};

#define IImgPicture_iid "org.leafview.ImgPicture/3"
Q_DECLARE_INTERFACE(IImgPicture, IImgPicture_iid)

inline constexpr const char *kImgPictureProgId = "PhotoGrip.ImgPicture";
