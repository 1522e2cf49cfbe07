#pragma once
// The ImgPicture control: an off-screen image loader and scaler whose surface
// keeps the last shown picture at its top-left corner, unscaled.
#include <leafview/ImgPicture.h>

#include <QColor>
#include <QImage>
#include <QWidget>

class ImgPicture : public QWidget, public IImgPicture
{
    Q_OBJECT
    Q_INTERFACES(IImgPicture)

public:
    // What the surface shows where no picture covers it.
    static constexpr QRgb kBackColor = 0xff000000;

    explicit ImgPicture(QWidget *parent = nullptr);

    QWidget *asWidget() override { return this; }

    void SetWidth(qint32 w) override { m_targetWidth = w; }
    void SetHeight(qint32 h) override { m_targetHeight = h; }
    void SetVisible(bool show) override { m_show = show; }
    void SetAutoSize(bool autoSize) override { m_autoSize = autoSize; }

    const QImage &GetHdc() const override { return m_surface; }

    void SetPicture(const QString &StrPath) override;
    std::optional<QImage> DisplayPicture(const QString &sFileName, qint32 shdc = 0) override;
    std::optional<QImage> ScaledPicture(const QString &sFileName, qint32 width, qint32 height) const override;
    void Draw_ImgCopy(const QImage &Trg_dC, qint32 T_W, qint32 T_H) override;
    void Draw_Flip(QImage &Trg_dC, qint32 T_X, qint32 T_Y, qint32 T_W, qint32 T_H, const QString &StrPath) override;
    void Draw_Rotate(QImage &hdc, const QString &S_File, float S_Angle, qint32 Draw_X, qint32 Draw_Y, qint32 Draw_W,
                     qint32 Draw_H, qint32 W, qint32 H) override;
    std::optional<QImage> PictureThumNail(const QString &StrFile) override;
    bool PictureSaveAsFile(const QString &StrSrcName, const QString &StrCopyName, qint32 MakeWidth = 0,
                           qint32 MakeHeight = 0) override;
    bool Save_File(const QString &StrSrcName, const QString &StrCopyName) override;
    void GetImageSize(const QString &sFName, float &S_Width, float &S_Height) override;
    PictureDecoder Decoder() const override { return &decodeAtSize; }

    // What DisplayPicture decodes when the control does not size itself.
    static std::optional<QImage> decodeAtSize(const QString &file, qint32 width, qint32 height);

    // The stored state, for the program's diagnostics and for tests.
    qint32 targetWidth() const { return m_targetWidth; }
    qint32 targetHeight() const { return m_targetHeight; }
    bool showFlag() const { return m_show; }
    bool autoSize() const { return m_autoSize; }
    bool hasBackgroundPicture() const { return !m_background.isNull(); }

signals:
    void Click();
    void DblClick();
    void MouseDown(short Button, short Shift, float x, float y);
    void MouseMove(short Button, short Shift, float x, float y);
    void MouseUp(short Button, short Shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    static QSize surfaceSize(qint32 w, qint32 h);
    void applyWidgetSize(QSize size);
    // Resizes the surface (and the widget), keeping what it shows at the top-left.
    void resizeSurface(qint32 w, qint32 h);
    // Makes picture (null = none) the background picture and repaints the surface with it.
    void showBackground(const QImage &picture);
    // The end of DisplayPicture and PictureThumNail: the picture goes onto the
    // surface (show flag true) or back to the caller.
    std::optional<QImage> deliver(std::optional<QImage> picture);

    qint32 m_targetWidth = 0;
    qint32 m_targetHeight = 0;
    bool m_show = false;
    bool m_autoSize = false;
    QImage m_surface;    // Format_RGB32, the control's size
    QImage m_background; // the background picture; null when there is none
    bool m_suppressClick = false;
    bool m_resizingSelf = false;
};
