#pragma once
#include <QPixmap>
#include <QWidget>

// A skin image, read as the format its name gives. Qt, asked to guess, loads and
// questions every image-format plugin it has before it reads a format of its own
// such as BMP: milliseconds of start-up for nothing. A file whose name lies about
// its format is still read, by its contents. On a screen denser than 1 the
// skin's 2x drawing ("name@2x.bmp" beside "name.bmp") is read when there is one,
// and carries its device pixel ratio, so it shows at the same logical size.
QImage readSkinImage(const QString &path, qreal ratio = 1.0);
// The same as a pixmap, kept in the pixmap cache: a button switches between its
// normal, pressed and grey images on every press.
QPixmap skinPixmap(const QString &path, qreal ratio = 1.0);

// An image button dressed from the skin folder. It shows whatever image its
// owner gives it (normal, pressed or grey) and reports presses and releases of
// the left mouse button only; other buttons do nothing. A disabled button
// reports nothing.
class SkinButton : public QWidget
{
    Q_OBJECT
public:
    explicit SkinButton(QWidget *parent = nullptr);

    // Loads the image file; a missing file shows the button without an image.
    void setImageFile(const QString &path);
    QString imageFile() const { return m_file; }
    // A labelled button on a bar too narrow for its label: only the first
    // `width` columns (its icon) are shown, closed by the image's right edge.
    // 0 shows the whole image.
    void setCompactWidth(int width);

    // What a mouse press and release of `button` over the button do; the mouse
    // events end up here too, so scripted input follows the same path.
    void press(Qt::MouseButton button);
    void release(Qt::MouseButton button);
    // The left button went down on this button and has not been reported released.
    bool isHeld() const { return m_held; }

signals:
    void leftPressed();
    void leftReleased();

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString m_file;
    QPixmap m_pixmap;
    bool m_held = false;
    int m_compactWidth = 0;
    void fitToImage();
};
