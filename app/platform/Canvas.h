#pragma once
#include <QImage>
#include <QKeySequence>
#include <QSet>
#include <QWidget>

// A drawing surface with persistent drawing: whatever is drawn into its picture
// stays there and is what the widget paints. Its picture always has the widget's
// size in device pixels (the widget's logical size times the screen's device
// pixel ratio), so that what is drawn into it reaches the screen pixel for
// pixel; clearing it leaves the background colour (black).
class Canvas : public QWidget
{
    Q_OBJECT
public:
    explicit Canvas(QWidget *parent = nullptr);

    // The picture, at the widget's current size in device pixels; lent to
    // whoever draws on it. It carries no ratio of its own: whoever draws on it
    // works in its device pixels and is told ratio().
    QImage &surface();
    // Device pixels per logical pixel of the picture: the screen's, unless set.
    qreal ratio() const;
    // Fixes the ratio (a picture drawn for a file, the tests); 0 follows the
    // screen again.
    void setRatio(qreal ratio);
    // Whether the magnifier is held: the wheel is then the lens's, not a page step.
    bool magnifying() const { return m_magnifierHolds != 0; }
    // The keys that hold the magnifier while down.
    void setMagnifierKeys(const QList<QKeySequence> &keys);
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
    void mouseReleased(QMouseEvent *e);
    // The ratio is no longer the one the picture was drawn at (the window moved
    // to a screen of another density, or the screen's density changed): the
    // picture should be drawn again.
    void ratioChanged();
    // The magnifier's controls: `z` held or the middle button down (true), and
    // let go (false); the wheel while it is held.
    void magnifierHeld(bool held);
    void magnifierWheel(int delta);

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

private:
    // The picture's size in device pixels for the widget's size.
    QSize deviceSize() const;
    void checkRatio();
    void holdMagnifier(int by, bool held);

    QImage m_image;
    qreal m_fixedRatio = 0;
    // The ratio the picture was last made at.
    qreal m_imageRatio = 1.0;
    // What holds the magnifier: bit 0 the key, bit 1 the middle button.
    int m_magnifierHolds = 0;
    QList<QKeyCombination> m_magnifierKeys{QKeyCombination(Qt::Key_Z)};
    // Keys pressed while the surface had the focus: a release whose press went
    // elsewhere (the Enter that answered a dialog) is not a key for the page.
    QSet<int> m_pressed;
    QColor m_background = Qt::black;
};
