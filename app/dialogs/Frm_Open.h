#pragma once
#include "listing/ArchiveKind.h"

#include <QDialog>

class Program;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

// The open chooser: the reader picks an archive file or a folder of images. It
// loads nothing; it records the choice in the program's open source, which the
// main window's open command then loads.
class Frm_Open : public QDialog
{
    Q_OBJECT

public:
    explicit Frm_Open(Program &program, QWidget *parent = nullptr);

    // The run button was pressed with `button`; only the left button acts.
    void cmdopen_MouseDown(Qt::MouseButton button);

    // Archive kind of a chosen file by its extension: 0 ZIP, 1 RAR, -1 neither.
    static ArchiveKind archiveKindOf(const QString &path);
    // The file dialog's title and filter for the current language.
    QString fileDialogTitle() const;
    QString fileDialogFilter() const;
    // Where the file dialog starts: the folder of the book being read (an
    // archive's folder, or the folder book itself), else the folder used last,
    // else the home folder.
    static QString fileDialogStart(const Program &program);

    QRadioButton *Opt_Zip = nullptr;
    QRadioButton *Opt_Folder = nullptr;
    QPushButton *cmdopen = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    // The last books read, latest first (a book that no longer exists is marked);
    // choosing one opens it. Hidden while the list is empty.
    QGroupBox *fraRecent = nullptr;
    QListWidget *lstRecent = nullptr;
    QPushButton *cmdRecentRemove = nullptr;
    QPushButton *cmdRecentClear = nullptr;
    // Opens the recent book of row `row` as a choice of the chooser.
    void lstRecent_Activated(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void fillRecent();
    QString chooseFile();

    Program &m_program;
};
