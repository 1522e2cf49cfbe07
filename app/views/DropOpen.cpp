#include "views/DropOpen.h"
#include "core/Program.h"
#include "core/VolumeRules.h"
#include "views/Frm_ImgViewer.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <utility>

namespace {
// The first local path among the dragged items: one book opens at a time.
QString droppedPath(const QMimeData *data)
{
    if (!data)
        return QString();
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            return QFileInfo(url.toLocalFile()).absoluteFilePath();
    return QString();
}
} // namespace

DropOpen::DropOpen(Frm_ImgViewer &window) : QObject(&window), m_window(window)
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

DropOpen::Choice DropOpen::choiceFor(const QString &path)
{
    const QFileInfo info(path);
    Choice c;
    if (info.isDir()) {
        c.openPath = info.absoluteFilePath();
    } else if (info.isFile()) {
        const QString ext = VolumeRules::extensionOf(info.fileName());
        if (VolumeRules::isArchiveExt(ext)) {
            c.isArchive = true;
            c.archiveKind = VolumeRules::archiveKindOfExt(ext);
            c.openPath = info.absoluteFilePath();
        } else if (VolumeRules::Is_ImageExt(ext)) {
            c.openPath = info.absolutePath();
        }
    }
    return c;
}

bool DropOpen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // A book opened while a page turns or a volume loads would be reshaped
        // under the running step's frames: the window takes no drop until it is done.
        if (m_window.isBusy()) {
            static_cast<QDropEvent *>(event)->ignore();
            return true;
        }
        break;
    default:
        return false;
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        // Only what would open is taken, so the pointer tells the user beforehand.
        if (!choiceFor(droppedPath(drag->mimeData())).openPath.isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const Choice choice = choiceFor(droppedPath(drop->mimeData()));
        if (choice.openPath.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        open(m_window, choice);
        return true;
    }
    default:
        return false;
    }
}

void DropOpen::openPath(Frm_ImgViewer &window, const QString &path)
{
    const Choice choice = choiceFor(path);
    if (!choice.openPath.isEmpty() && !window.isBusy() && !window.IsProcess)
        open(window, choice);
}

void DropOpen::open(Frm_ImgViewer &window, const Choice &choice)
{
    // The open command with a chooser that answers at once: the same checks,
    // button states and first volume as a book picked in the chooser.
    auto answer = [&window, &choice] {
        Program &app = window.program();
        app.OpenConfirmed = true;
        app.IsArchive = choice.isArchive;
        app.ArchiveKind = choice.archiveKind;
        app.OpenPath = choice.openPath;
        if (!choice.isArchive)
            app.LastFolder = choice.openPath;
        return true;
    };
    std::function<bool()> chooser = std::exchange(window.runOpenChooser, answer);
    window.cmdopen_MouseDown(Qt::LeftButton);
    window.cmdopen_MouseUp(Qt::LeftButton);
    window.runOpenChooser = std::move(chooser);
}
