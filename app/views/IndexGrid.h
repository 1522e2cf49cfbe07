#pragma once
#include <QImage>
#include <QString>
#include <QWidget>
#include <vector>

// A surface of the index pane with its grey grid lines. The scrolled content
// (PicBookIn) also holds the cells: one thumbnail and caption per page, drawn
// from the model rather than kept as a widget pair per page, and the highlight
// frame around the chosen one. The viewport behind it (PicBookIndex) shows the
// lines alone.
class IndexGrid : public QWidget
{
    Q_OBJECT
public:
    struct Cell
    {
        QImage picture; // null: the cell shows no picture
        QString caption;
        QString name;   // the whole file name, for the tip
    };

    explicit IndexGrid(QWidget *parent = nullptr);

    // The cells shown, in page order (the build appends them as they stand).
    std::vector<Cell> Img_List;
    // The chosen cell's frame; -1 hides it.
    void setHighlight(int i);
    int highlight() const { return m_highlight; }
    // A cell has been added or the model changed.
    void cellsChanged(int from = 0);

signals:
    // A left click on the thumbnail of cell i.
    void clicked(int i);
    // The wheel over the grid: what the scroll bar should do with it.
    void wheelTurned(QWheelEvent *e);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    bool event(QEvent *e) override;

private:
    int cellAt(QPoint p) const;
    int m_highlight = -1;
};
