#include "dialogs/Frm_Folder.h"

#include "core/ExportFolderFile.h"
#include "core/Program.h"
#include "platform/Prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Mount points that hold the system rather than a reader's files.
bool isSystemMount(const QString &root)
{
    static const char *const system[] = {"/boot", "/proc", "/sys", "/dev", "/run", "/snap", "/var", "/usr",
                                         "/etc",  "/opt",  "/tmp", "/srv", "/efi"};
    if (root.startsWith(QLatin1String("/run/media/")))
        return false;
    for (const char *s : system) {
        const QLatin1String p(s);
        if (root == p || root.startsWith(p + QLatin1Char('/')))
            return true;
    }
    return false;
}

bool inside(const QString &path, const QString &folder)
{
    return folder == QLatin1String("/") || path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

Frm_Folder::Frm_Folder(Program &program, QWidget *parent) : QDialog(parent), m_program(program)
{
    setModal(true);
    Frame1 = new QGroupBox(this);
    Label1 = new QLabel(Frame1);
    lblfolder = new QLabel(Frame1);
    lblfolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblfolder->setWordWrap(true);
    lblFolders = new QLabel(program.lang.Folder_List, Frame1);
    drvListing = new QComboBox(Frame1);
    drvListing->setToolTip(program.lang.Folder_Places);
    dirListing = new QTreeView(Frame1);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(QStringLiteral("/"));
    dirListing->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        dirListing->hideColumn(c);
    dirListing->header()->hide();

    auto *frameLayout = new QVBoxLayout(Frame1);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(Label1);
    pathRow->addWidget(lblfolder, 1);
    frameLayout->addLayout(pathRow);
    frameLayout->addWidget(lblFolders);
    frameLayout->addWidget(drvListing);
    frameLayout->addWidget(dirListing, 1);

    cmdnewfolder = new QPushButton(this);
    cmdFolder = new QPushButton(this);
    CmdCancel = new QPushButton(this);
    cmdFolder->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmdnewfolder);
    buttons->addStretch(1);
    buttons->addWidget(cmdFolder);
    buttons->addWidget(CmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);
    resize(440, 480);

    for (const QString &place : places())
        drvListing->addItem(place == QDir::homePath() ? QStringLiteral("~  ") + place : place, place);

    connect(drvListing, &QComboBox::activated, this, &Frm_Folder::drvListing_Change);
    connect(dirListing->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!current.isValid())
                    return;
                m_path = m_model->filePath(current);
                dirListing_Change();
            });
    // The tree fills in folder by folder in the background; the chosen folder is
    // brought into view once the folders on its way have been read.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString &loaded) {
        if (m_path.isEmpty() || !inside(m_path, loaded))
            return;
        // The model sorts what it read a moment later; scroll once that is done.
        QTimer::singleShot(50, this, [this] {
            if (dirListing->currentIndex().isValid())
                dirListing->scrollTo(dirListing->currentIndex(), QAbstractItemView::PositionAtCenter);
        });
    });
    connect(cmdnewfolder, &QPushButton::clicked, this, &Frm_Folder::cmdnewfolder_Click);
    connect(cmdFolder, &QPushButton::clicked, this, &Frm_Folder::cmdFolder_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &Frm_Folder::CmdCancel_Click);

    Form_Load();
}

QStringList Frm_Folder::places()
{
    QStringList out;
    const QString home = QDir::homePath();
    if (QFileInfo(home).isDir())
        out << home;
    QStringList volumes;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        const QString root = v.rootPath();
        if (!v.isValid() || !v.isReady() || root == QLatin1String("/") || root == home || isSystemMount(root))
            continue;
        if (QFileInfo(root).isDir() && !volumes.contains(root))
            volumes << root;
    }
    volumes.sort();
    out << volumes << QStringLiteral("/");
    return out;
}

void Frm_Folder::Form_Load()
{
    const Language &t = m_program.lang;
    setWindowTitle(t.Msg_Table[4]);
    Label1->setText(t.Folder_Location);
    lblfolder->setText(t.Folder_NotFound);
    cmdnewfolder->setText(t.Folder_New);
    cmdnewfolder->setToolTip(t.Tip_FolderNew);
    cmdFolder->setToolTip(t.Tip_FolderOk);
    CmdCancel->setToolTip(t.Tip_FolderCancel);
    cmdFolder->setText(t.Folder_Ok);
    CmdCancel->setText(t.Folder_Cancel);

    const QString folder = m_program.ExportFolder;
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        openAt(folder);
        return;
    }
    // Only a folder that was chosen and has gone away is worth a message; a
    // reader who never chose one is simply asked now.
    if (!folder.isEmpty())
        say(m_program.lang.Msg_FolderMissing);
    m_program.ExportFolder.clear();
    openAt(QDir::homePath());
}

void Frm_Folder::openAt(const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const int place = placeHolding(clean);
    if (place >= 0)
        showPlace(place, clean);
}

int Frm_Folder::placeHolding(const QString &path) const
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drvListing->count(); ++i) {
        const QString place = drvListing->itemData(i).toString();
        if (inside(path, place) && place.size() > bestLength) {
            best = i;
            bestLength = place.size();
        }
    }
    return best;
}

void Frm_Folder::showPlace(int index, const QString &path)
{
    const QString place = drvListing->itemData(index).toString();
    m_place = index;
    drvListing->setCurrentIndex(index);
    // The place itself is picked in the list above; the tree shows what lies in it.
    dirListing->setRootIndex(m_model->index(place));
    const QModelIndex at = m_model->index(path);
    m_path = path;
    if (at.isValid()) {
        dirListing->setCurrentIndex(at);
        dirListing->scrollTo(at);
        dirListing->expand(at);
    }
    dirListing_Change();
}

void Frm_Folder::dirListing_Change()
{
    lblfolder->setText(m_path);
}

void Frm_Folder::drvListing_Change(int index)
{
    const QString place = drvListing->itemData(index).toString();
    const QFileInfo f(place);
    // A place that cannot be read (a volume that went away) changes nothing.
    if (!f.isDir() || !f.isReadable() || !QDir(place).exists()) {
        drvListing->setCurrentIndex(m_place);
        return;
    }
    showPlace(index, place);
}

void Frm_Folder::cmdnewfolder_Click()
{
    if (!m_program.prompts || m_path.isEmpty())
        return;
    const std::optional<QString> answer =
        m_program.prompts->inputBox(this, m_program.lang.Msg_Table[3], m_program.lang.Title_Text, QString());
    if (!answer || answer->isEmpty())
        return;
    const QString name = *answer;
    const QString target = m_path + (m_path.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
    // A name is one folder level: no separators, no "." or "..", nothing the
    // file system cannot hold.
    const bool valid = !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) && name != QLatin1String(".") &&
                       name != QLatin1String("..");
    if (valid && (QFileInfo(target).isDir() || QDir().mkdir(target))) {
        openAt(target);
        return;
    }
    say(m_program.lang.Msg_FolderNotMade.arg(name));
}

void Frm_Folder::cmdFolder_Click()
{
    const QString path = m_path;
    if (path.isEmpty())
        return;
    m_program.ExportFolder = path;
    QString error;
    if (!ExportFolderFile::write(m_program.paths.exportFolderFile(), path, &error))
        m_program.logError(QStringLiteral("imgviewer.ini: ") + error);
    lblfolder->setText(path);
    accept();
}

void Frm_Folder::CmdCancel_Click()
{
    reject();
}

void Frm_Folder::say(const QString &text)
{
    if (m_program.prompts)
        m_program.prompts->messageBox(this, m_program.lang.Title_Text, text, MsgIcon::Information, MsgButtons::Ok);
}
