#pragma once
#include "views/IndexGrid.h"

#include <QTimer>

#include <QWidget>
#include <map>
#include <vector>

class Frm_ImgViewer;
class SkinButton;
class QFrame;
class QLabel;
class QScrollBar;
class QWheelEvent;

// The thumbnail index pane (Pic_IndexScreen) on the right of the main window:
// every page of the volume as a small picture with its file name, two to a row;
// a click shows that page. Its parts and routines keep their design names; the
// rules live in IndexGeometry. The build makes each page's file ready in page
// order on this thread, a little at a time between window events (extraction
// belongs to the session), has the decode queue make the cells behind every page
// step, and places them strictly in page order as they come back.
class IndexPane : public QWidget
{
    Q_OBJECT
public:
    explicit IndexPane(Frm_ImgViewer &owner);
    ~IndexPane() override;

    // Opens the pane (the index button's command; the caller has checked that
    // there are pages and that it is not open yet).
    void open();
    void cmdunload_MouseDown(Qt::MouseButton button = Qt::LeftButton);
    // F9: opens through the index button, or closes.
    void toggle();
    // Tmr_Index fired: the pane has painted, the build starts.
    void Tmr_Index_Timer();
    void Index_Build();
    void Index_Clear();
    void Index_DrawGrid();
    void Img_List_Click(int i);
    void V_Index_Change(int value);
    void Pic_IndexScreen_Resize();
    void Skin_Load();

    // True from the start of a build until its last thumbnail stands.
    bool building() const { return m_building; }
    // The thumbnails standing now (all of them once the build is done).
    int thumbnailCount() const;
    QImage thumbnail(int i) const;
    QString captionText(int i) const;
    int workerCount() const;

    QLabel *Pic_IndexTop = nullptr;
    SkinButton *cmdunload = nullptr;
    IndexGrid *PicBookIndex = nullptr;
    IndexGrid *PicBookIn = nullptr;
    QScrollBar *V_Index = nullptr;
    QFrame *PicInfo = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *ShIndexback = nullptr;
    QFrame *Shindexbar = nullptr;
    QWidget *imglistBar = nullptr;

signals:
    // The build has ended: every thumbnail stands and the grid shows.
    void built();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    // Makes the next pages ready and asks for their cells.
    void pump();
    void decoded(int page, const QImage &cell);
    void placed(int page, const QImage &thumbnail);
    void finishBuild();
    // Stops the build: nothing more is made ready or placed.
    void cancelBuild();
    void applyScrollSettings(int value);
    // A volume is loading: the build and the cells of the old one go.
    void volumeLoadStarted();
    void wheelOverGrid(QWheelEvent *e);

    Frm_ImgViewer &m_owner;
    QTimer m_pump;
    bool m_building = false;
    quint64 m_buildId = 0;
    int m_nextPrepared = 0;
    int m_nextPlaced = 0;
    std::map<int, QImage> m_waiting; // decoded ahead of their turn
    // Captions and whole names of the pages being built, taken as each page is prepared.
    std::vector<IndexGrid::Cell> m_preparing;
    int m_count = 0;
};
