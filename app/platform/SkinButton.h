#pragma once
#include <QPixmap>
#include <QWidget>

// An image button dressed from the skin folder. It shows whatever image its
// owner gives it (normal, pressed or grey) and reports presses and releases of
// the left mouse button only; other buttons do nothing.
class SkinButton : public QWidget
{
    Q_OBJECT
public:
    explicit SkinButton(QWidget *parent = nullptr);

    // Loads the image file; a missing file shows the button without an image.
    void setImageFile(const QString &path);
    QString imageFile() const { return m_file; }

signals:
    void leftPressed();
    void leftReleased();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString m_file;
    QPixmap m_pixmap;
};
