#include "dialogs/Frm_Open.h"

#include "core/RecentBooks.h"
#include "core/VolumeRules.h"
#include "core/Program.h"
#include "dialogs/FolderBrowse.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

Frm_Open::Frm_Open(Program &program, QWidget *parent) : QDialog(parent), m_program(program)
{
    setModal(true);

    Frame1 = new QGroupBox(this);
    Opt_Zip = new QRadioButton(Frame1);
    Opt_Folder = new QRadioButton(Frame1);
    Label1 = new QLabel(Frame1);
    Label2 = new QLabel(Frame1);
    for (QLabel *hint : {Label1, Label2}) {
        hint->setWordWrap(true);
        hint->setIndent(20);
    }
    Opt_Zip->setChecked(true);

    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(Opt_Zip);
    frameLayout->addWidget(Label1);
    frameLayout->addSpacing(6);
    frameLayout->addWidget(Opt_Folder);
    frameLayout->addWidget(Label2);

    cmdopen = new QPushButton(this);
    // Return anywhere in the chooser, and Space on the button (where the focus
    // starts), run it; Tab walks between the options and the button.
    cmdopen->setDefault(true);
    cmdopen->setFocus();
    // The run button answers the left mouse button only, at the press; the
    // release is not another press, so a click comes only from the keyboard.
    cmdopen->installEventFilter(this);
    connect(cmdopen, &QPushButton::clicked, this, [this] { cmdopen_MouseDown(Qt::LeftButton); });

    fraRecent = new QGroupBox(this);
    lstRecent = new QListWidget(fraRecent);
    lstRecent->setObjectName(QStringLiteral("lstRecent"));
    cmdRecentRemove = new QPushButton(fraRecent);
    cmdRecentClear = new QPushButton(fraRecent);
    for (QPushButton *b : {cmdRecentRemove, cmdRecentClear})
        b->setAutoDefault(false);
    auto *recentButtons = new QHBoxLayout;
    recentButtons->addStretch(1);
    recentButtons->addWidget(cmdRecentRemove);
    recentButtons->addWidget(cmdRecentClear);
    auto *recentLayout = new QVBoxLayout(fraRecent);
    recentLayout->addWidget(lstRecent);
    recentLayout->addLayout(recentButtons);
    connect(lstRecent, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { lstRecent_Activated(lstRecent->row(item)); });
    connect(cmdRecentRemove, &QPushButton::clicked, this, [this] {
        if (QListWidgetItem *item = lstRecent->currentItem()) {
            m_program.recent.remove(item->data(Qt::UserRole).toString());
            fillRecent();
        }
    });
    connect(cmdRecentClear, &QPushButton::clicked, this, [this] {
        m_program.recent.clear();
        fillRecent();
    });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdopen);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(fraRecent);
    layout->addLayout(buttons);

    setMinimumWidth(380);
    Form_Load();
}

void Frm_Open::Form_Load()
{
    m_program.OpenConfirmed = false;
    const Language &t = m_program.lang;
    setWindowTitle(t.Open_Title);
    Opt_Zip->setText(t.Open_Zip);
    Opt_Folder->setText(t.Open_Folder);
    cmdopen->setText(t.Open_Run);
    Label1->setText(t.Open_ZipHint);
    Label2->setText(t.Open_FolderHint);
    fraRecent->setTitle(t.Open_Recent);
    cmdRecentRemove->setText(t.Open_Remove);
    cmdRecentClear->setText(t.Open_Clear);
    fillRecent();
}

void Frm_Open::fillRecent()
{
    lstRecent->clear();
    for (const RecentBook &b : m_program.recent.shown()) {
        const QString name = QFileInfo(b.path).fileName();
        const bool there = RecentBooks::exists(b);
        auto *item = new QListWidgetItem(there ? name : m_program.lang.Mnu_RecentMissing.arg(name), lstRecent);
        item->setToolTip(b.path);
        item->setData(Qt::UserRole, b.path);
        if (!there)
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    fraRecent->setVisible(lstRecent->count() > 0);
}

void Frm_Open::lstRecent_Activated(int row)
{
    QListWidgetItem *item = lstRecent->item(row);
    const QString path = item ? item->data(Qt::UserRole).toString() : QString();
    const QFileInfo info(path);
    if (!info.exists())
        return;
    const ArchiveKind kind = archiveKindOf(path);
    m_program.OpenConfirmed = true;
    m_program.IsArchive = info.isFile();
    if (m_program.IsArchive)
        m_program.ArchiveKind = kind;
    m_program.OpenPath = m_program.IsArchive && kind == ArchiveKind::None ? QString() : path;
    if (!m_program.IsArchive)
        m_program.LastFolder = path;
    accept();
}

bool Frm_Open::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmdopen) {
        if (event->type() == QEvent::MouseButtonPress) {
            cmdopen_MouseDown(static_cast<QMouseEvent *>(event)->button());
            return true;
        }
        // The second press of a double click is not another press.
        if (event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::MouseButtonRelease)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

ArchiveKind Frm_Open::archiveKindOf(const QString &path)
{
    // Without any "." the whole path stands as the extension, which is never a match.
    return VolumeRules::archiveKindOfExt(VolumeRules::extensionOf(path));
}

QString Frm_Open::fileDialogTitle() const
{
    return m_program.lang.Open_Title;
}

QString Frm_Open::fileDialogFilter() const
{
    const QString patterns = QStringLiteral("(*.zip *.rar *.cbz *.cbr *.7z *.cb7 *.tar *.cbt)");
    return m_program.lang.Open_Filter + patterns;
}

QString Frm_Open::fileDialogStart(const Program &program)
{
    for (const QString &place : {program.OpenPath, program.LastFolder}) {
        const QFileInfo info(place);
        if (!place.isEmpty() && info.exists())
            return QDir::cleanPath(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    }
    return DefaultLastPath();
}

QString Frm_Open::chooseFile()
{
    if (!m_program.prompts)
        return {};
    const QString path =
        m_program.prompts->openFile(this, fileDialogTitle(), fileDialogFilter(), fileDialogStart(m_program));
    // Let the dialog's window vanish before the chooser goes on.
    QCoreApplication::processEvents();
    return path;
}

void Frm_Open::cmdopen_MouseDown(Qt::MouseButton button)
{
    // Return on a recent book has chosen it already; the default button hears the
    // same key after the list.
    if (button != Qt::LeftButton || result() == QDialog::Accepted)
        return;
    m_program.OpenConfirmed = true;
    cmdopen->setDown(true);

    QString path;
    if (Opt_Zip->isChecked()) {
        path = chooseFile();
        if (!path.isEmpty()) {
            m_program.IsArchive = true;
            m_program.OpenPath = path;
            m_program.ArchiveKind = archiveKindOf(path);
            if (m_program.ArchiveKind == ArchiveKind::None)
                m_program.OpenPath.clear();
        }
    } else {
        path = BrowseLastFolder(m_program, this, false);
        if (!path.isEmpty()) {
            m_program.IsArchive = false;
            m_program.OpenPath = path;
            m_program.LastFolder = path;
        }
    }

    cmdopen->setDown(false);
    // A cancelled dialog leaves the chooser open for another try.
    if (!path.isEmpty())
        accept();
}
