#pragma once
#include "core/ResumeRecord.h"
#include "listing/ListingHost.h"
#include "listing/MemberTable.h"
#include "platform/SortedList.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class Program;
class QWidget;

// What is being read and how: the open source's member table, the volume list
// with its selection, the page list, the current page or spread, the turn
// direction and the five view options, with the rules that move them. It knows
// no widget: the main window, the full-screen window and the thumbnail index are
// views of one session and change it only through these operations.
class ReadingSession : public QObject, public ListingHost
{
    Q_OBJECT
public:
    enum Option { TwoPage, RightToLeft, Hundred, Sharpen, BookEffect };
    Q_ENUM(Option)
    // What a step did: moved inside the volume, loaded another volume, or nothing.
    enum class Step { Moved, NewVolume, Stayed };

    explicit ReadingSession(Program &app, QObject *parent = nullptr);

    // ---- the source and its lists
    // Lists the source named by OpenPath/IsArchive/ArchiveKind and builds both lists.
    void Open_Source();
    // Cmd_Folder/Cmd_File as the first source: a folder as it is, an archive by its
    // path, any other file by its folder.
    void openCommandLineSource();
    // Opens the path of Cmd_Folder/Cmd_File (from the command line, or handed over
    // by a second start) and tells the reader when it shows nothing: a path that
    // does not exist, or a book without a single page. A reader's own message about
    // the file (not an archive of its kind, password-protected) is not repeated.
    // The pending command-line state ends here, whatever was opened.
    void openNamedPath();
    void VBZip_ArchiveUpdate();
    void VBUnRar_ArchiveUpdate();
    void Folder_Scan();
    void Volume_Build();
    void Volume_Pages(const QString &volumeName);
    bool Members_Ready() const { return m_members.dimensioned(); }

    int volumeCount() const { return int(m_volumes.size()); }
    QString volumeText(int index) const { return m_volumes.value(index); }
    int volumeIndex() const { return m_volumeIndex; }
    QString currentVolume() const { return volumeText(m_volumeIndex); }
    const QStringList &volumes() const { return m_volumes; }
    // What the volume list shows for volume `index` (VolumeRules::shownName).
    QString volumeLabel(int index) const;
    // Selects volume `index` and loads it, as a choice in the volume list does.
    void selectVolume(int index);
    // Loads the pages of the selected volume (the volume switch); a switch while
    // another one loads does nothing.
    void cb_list_Click();

    int pageCount() const { return m_list1.ListCount(); }
    // Pages in one-page mode, spreads (a last odd page makes its own) in two-page mode.
    int stepCount() const;
    // The file of page entry k: inside TmpZip for archive pages, else the entry itself.
    QString Page_Path(int k) const;
    // Takes page entry k out of its archive into TmpZip when it lies in one.
    void extractEntry(int k);
    // The name page entry k shows as, wherever the reader sees it: the page's own
    // file name, without the folder or archive path that finds it.
    QString pageName(int k) const;
    // The window caption for a page (p: the page, or the first of the spread).
    QString pageCaption(int p) const;
    bool noImageShown() const { return m_noImage; }

    // ---- view options
    bool option(Option o) const { return m_options[o]; }
    // Sets an option; the rules of the change (a new view mode converts the page
    // index) run, then optionChanged. Returns false when nothing changed.
    bool setOption(Option o, bool on);
    qint16 effectFlag() const { return option(BookEffect) ? 1 : 0; }
    // Turn direction for a step forward or back: 2 turns the right half over, the
    // usual forward turn; right-to-left reading swaps the two.
    qint16 turnDirection(bool forward) const;
    // The spread holding page p, and the first page of spread s (kept inside a list of `entries`).
    static qint16 spreadOfPage(qint16 p) { return qint16(p / 2); }
    static qint16 firstPageOfSpread(qint16 s, int entries);

    // ---- navigation: one step from `index` (a page or spread index of the view
    // mode in force) with turn direction `turnPos`. At either end of the volume the
    // neighbouring volume is offered through the prompts; on Yes it is loaded.
    Step stepForward(qint16 &index, qint16 &turnPos);
    Step stepBack(qint16 &index, qint16 &turnPos);
    // The page box rule: the index for typed text (nullopt when it is no number)
    // and the turn direction towards it from `old`.
    std::optional<qint16> pageBoxIndex(const QString &text, qint16 old, qint16 &turnPos) const;

    // ---- resume and end
    // The reading place as the resume file stores it.
    ResumeRecord snapshot() const;
    // The last page or spread of the last volume is shown: nothing left to resume.
    bool finishedReading() const;
    // The export key where export is unavailable: in the two-page view the reader
    // is told that export takes one page; without pages nothing is said.
    void exportRefused();

    // ---- state (16-bit as the resume file and the other windows expect; volume
    // indices are 32-bit, since a book may hold more folders than 16 bits count)
    qint16 I_ViewMode = 1;
    qint16 Page_Index = 0;
    qint16 i_PagePos = 2;
    bool IsProcess = false;
    qint32 Cur_Volume = -1;
    qint32 Sel_Volume = 0;
    bool Is_Resumed = false;
    QString Cmd_Folder;
    QString Cmd_File;
    // The window in front, owner of the questions; lent.
    QWidget *promptOwner = nullptr;

    Program &program() { return m_app; }

    // ---- ListingHost: what the archive readers see
    MemberTable &Member_Table() override { return m_members; }
    SortedList &List1() override { return m_list1; }
    const SortedList &List1() const { return m_list1; }
    int cbListCount() const override { return volumeCount(); }
    QString cbListText() const override { return currentVolume(); }
    void setCbListText(const QString &t) override;
    void setNoImageVisible(bool visible) override;
    void ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg) override;
    const ProgramPaths &paths() const override;
    QString tmpZip() const override;
    QString titleText() const override;
    QString openPath() const override;
    bool isArchive() const override;
    QString loadingMessage() const override;
    bool listingOnly() const override { return m_listingOnly; }
    // Lists sources without loading a volume: the volume list is built but none
    // is selected, so nothing is extracted or drawn until a volume is chosen.
    void setListingOnly(bool on) { m_listingOnly = on; }
    ListingTexts texts() const override;
    QString &errorLog() override;
    void showMessage(const QString &title, const QString &text, MsgIcon icon) override;
    std::unique_ptr<cUnzip> &zipReaderSlot() override;
    std::unique_ptr<ArchiveReader> &rarReaderSlot() override;

signals:
    void optionChanged(ReadingSession::Option option, bool on);
    // The volume list was rebuilt (its selection too).
    void volumesChanged();
    // The text of volume `index` changed (marked as holding no page).
    void volumeTextChanged(int index);
    void volumeLoadStarted(const QString &volume);
    // The new volume's pages are listed and Page_Index set: time to draw.
    void volumeLoadFinished();
    // The listing found nothing to show: the surface, page box and count go blank.
    void pagesCleared();
    void noImageChanged(bool visible);
    void progress(qint32 Percent, qint32 TotCount, const QString &StrMsg);

private:
    bool ask(const QString &text);
    void tell(const QString &text);
    void setVolumes(const QStringList &names);

    Program &m_app;
    MemberTable m_members;
    SortedList m_list1;
    QStringList m_volumes;
    int m_volumeIndex = -1;
    bool m_noImage = false;
    bool m_listingOnly = false;
    // The book effect is on at start; the other options are off.
    bool m_options[5] = {false, false, false, false, true};
};
