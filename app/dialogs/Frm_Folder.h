#pragma once
#include <QDialog>

class Program;
class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QPushButton;
class QTreeView;

// The export-folder chooser. The "drive list" holds the places a reader picks
// from (the home folder, the mounted volumes, the file-system root); the folder
// tree below shows the chosen place. OK remembers the folder for this run and
// the next ones.
class Frm_Folder : public QDialog
{
    Q_OBJECT

public:
    explicit Frm_Folder(Program &program, QWidget *parent = nullptr);

    // The folder selected in the tree; empty when none is.
    QString currentPath() const { return m_path; }
    // Opens the tree at `path` (choosing the place that holds it).
    void openAt(const QString &path);

    void drvListing_Change(int index);
    void cmdnewfolder_Click();
    void cmdFolder_Click();
    void CmdCancel_Click();

    // The places of the drive list: home, the mounted volumes a reader would
    // use, "/". Each is an existing folder.
    static QStringList places();

    QLabel *Label1 = nullptr;
    QLabel *lblfolder = nullptr;
    QLabel *lblFolders = nullptr;
    QComboBox *drvListing = nullptr;
    QTreeView *dirListing = nullptr;
    QPushButton *cmdnewfolder = nullptr;
    QPushButton *cmdFolder = nullptr;
    QPushButton *CmdCancel = nullptr;
    QGroupBox *Frame1 = nullptr;

private:
    void Form_Load();
    void dirListing_Change();
    // Roots the tree at the place `index` and selects `path` inside it.
    void showPlace(int index, const QString &path);
    int placeHolding(const QString &path) const;
    void say(const QString &text);

    Program &m_program;
    QFileSystemModel *m_model = nullptr;
    QString m_path;
    int m_place = -1;
};
