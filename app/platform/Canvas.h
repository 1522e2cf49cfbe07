#pragma once
#include <QImage>
#include <QSet>
#include <QWidget>

// A drawing surface with persistent drawing: whatever is drawn into its picture
// stays there and is what the widget paints. Its picture always has the widget's
// size; clearing it leaves the background colour (black).
class Canvas : public QWidget
{
    Q_OBJECT
public:
    explicit Canvas(QWidget *parent = nullptr);

    // The picture, at the widget's current size; lent to whoever draws on it.
    QImage &surface();
    // Removes the picture: the whole surface shows the background colour.
    void clearPicture();
    void setBackground(QColor c) { m_background = c; }
    QColor background() const { return m_background; }
    // Replaces the picture with img (drawn at the top-left, the rest background).
    void setPicture(const QImage &img);

signals:
    void keyReleased(QKeyEvent *e);
    void mousePressed(QMouseEvent *e);
    void mouseMoved(QMouseEvent *e);

protected:
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    QImage m_image;
    // Keys pressed while the surface had the focus: a release whose press went
    // elsewhere (the Enter that answered a dialog) is not a key for the page.
    QSet<int> m_pressed;
    QColor m_background = Qt::black;
};
