#pragma once
#include "listing/ArchiveKind.h"

#include <QObject>
#include <QString>

class Frm_ImgViewer;

// A file or folder dropped on the main window opens as a book, through the open
// command itself with the dropped path standing for the chooser's answer.
class DropOpen : public QObject
{
public:
    // What the chooser would have answered for a dropped path.
    struct Choice
    {
        bool isArchive = false;
        ArchiveKind archiveKind = ArchiveKind::None;
        QString openPath; // empty: the path stands for no book
    };

    // Owned by the window, which it makes accept drops.
    explicit DropOpen(Frm_ImgViewer &window);

    // A folder; a ZIP or RAR archive; a page image stands for its folder.
    static Choice choiceFor(const QString &path);
    // Opens `path` through the open command as a drop does (also a book chosen
    // among the recent ones); a path that stands for no book opens nothing.
    static void openPath(Frm_ImgViewer &window, const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void open(Frm_ImgViewer &window, const Choice &choice);

    Frm_ImgViewer &m_window;
};
