#pragma once
#include "core/ContinuousStrip.h"
#include "core/BookLoader.h"
#include "core/PageSteps.h"
#include "core/PageView.h"
#include "core/ResumeRecord.h"
#include "listing/ListingHost.h"
#include "listing/MemberTable.h"
#include "platform/SortedList.h"

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <set>

class Program;
class QWidget;

// What is being read and how: the open source's member table, the volume list
// with its selection, the page list with its steps (a page, or two side by side),
// the current step, the turn direction and the view options, with the rules that
// move them. It knows no widget: the main window, the full-screen window and the
// thumbnail index are views of one session; the reading place is the session's
// alone and moves only through these operations, each of which signals
// placeChanged.
class ReadingSession : public QObject, public ListingHost
{
    Q_OBJECT
public:
    // WideAlone: a page wider than tall stands alone in two-page mode. CoverAlone:
    // the first page of a volume stands alone. FollowDirection: in right-to-left
    // reading the left arrow, the left half and the wheel's forward move go forward.
    enum Option { TwoPage, RightToLeft, Hundred, Sharpen, BookEffect, WideAlone, CoverAlone, FollowDirection };
    Q_ENUM(Option)
    // What a step did: moved inside the volume, loaded another volume, or nothing.
    enum class Move { Moved, NewVolume, Stayed };

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
    // The source of the lists in force (empty before the first book).
    BookSource source() const;

    // ---- loading in the background
    // On: a book is listed and a volume loaded on a worker while the windows keep
    // painting; the lists change only once the pages are known, and progress is
    // signalled ten times a second. Off (the headless modes): in place, at once.
    void setBackgroundLoading(bool on) { m_background = on; }
    bool backgroundLoading() const { return m_background; }
    // A listing or a volume's extraction runs.
    bool loading() const { return m_loader.running(); }
    // A load runs and its lists are not yet the session's.
    bool listsPending() const { return m_loader.running() && !m_committed; }
    // Gives the load up: its files go, and the session is left as it was before
    // it (the volume that was read loaded again at its place when the load had
    // emptied TmpZip already). Nothing while no load runs.
    void cancelLoad();
    // Gives the load up and waits for it: the lists and source are those before
    // it, without taking the volume in view out again (the program is ending).
    void stopLoad();
    // The last load (or the one it returned to) was given up.
    bool loadGivenUp() const { return m_gaveUp; }
    // Runs `then` once no load runs: at once when none does, else after it ends
    // (and after the return to the place before it, when it was given up).
    void afterLoad(std::function<void()> then);
    // Whether the file of page entry k is there to draw: the pages of a volume
    // that is still coming out arrive one by one.
    bool pageOut(int k) const;
    bool stepOut(int index) const;
    // The volume's pages are all out (or the volume is not taken out whole).
    bool extracting() const { return m_extracting; }
    BookLoader &loader() { return m_loader; }

    int volumeCount() const { return int(m_volumes.size()); }
    QString volumeText(int index) const { return m_volumes.value(index); }
    int volumeIndex() const { return m_volumeIndex; }
    // The volume whose pages are listed (-1 before the first load).
    int loadedVolume() const { return m_loadedVolume; }
    // The volume the next listing selects.
    int volumeToOpen() const { return m_volumeToOpen; }
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
    // Sets an option; the rules of the change (a new view mode regroups the pages,
    // keeping the page in view) run, then optionChanged. Returns false when
    // nothing changed.
    bool setOption(Option o, bool on);
    // The book effect is off on the continuous strip.
    qint16 effectFlag() const { return option(BookEffect) && !m_view.continuous ? 1 : 0; }
    ViewMode viewMode() const { return m_viewMode; }
    // Turn direction for a step forward or back: the right half over, the usual
    // forward turn; right-to-left reading swaps the two.
    TurnDirection turnDirection(bool forward) const;

    // ---- the view: fit, zoom, rotation, the continuous strip, and where the
    // surface stands over the pages. Each change signals viewChanged, then
    // placeChanged (a jump).
    const ViewSettings &view() const { return m_view; }
    // The fit mode at its own size (zoom 100 %).
    void setFit(FitMode fit);
    void zoomIn();
    void zoomOut();
    // Back to the fit mode's own size.
    void zoomReset();
    void rotate(bool clockwise);
    // The strip shows one page after another: spreads are off while it is on,
    // the page in view stays in view.
    void setContinuous(bool on);
    // All of it at once (settings read back, a check tool's flags).
    void setView(const ViewSettings &view);
    // Where the surface's top-left corner stands over the step's pages (logical
    // pixels); on the strip, its y is the strip's place.
    QPoint scrollOffset() const;
    // What the last draw laid out: the size of the step's pages together and
    // the surface they stand on. The offset is kept inside them from now on.
    void setExtent(QSize content, QSize surface);
    QSize surfaceSize() const { return m_surface; }
    // To `y` logical pixels from the top of the step's pages; on the strip, from
    // the top of the volume's first page.
    void scrollTo(int y);
    // One screen down or up (Space, Page Down; Page Up, Backspace): inside a page
    // taller than the surface first, then the step, arriving at the top of the
    // next page or at the bottom of the previous one.
    void scrollScreen(bool forward);
    // One line (arrow keys, a wheel notch), turning at the end likewise.
    void scrollLine(bool forward);
    // Pans by `delta` logical pixels (a drag); false when nothing moved.
    bool panBy(QPoint delta);
    // Whether the step's pages overflow the surface (then a drag pans and the
    // wheel scrolls).
    bool overflows() const;
    // Whether a scroll that way moves inside the pages rather than turning.
    bool canScroll(bool forward) const;
    // The strip of the volume's pages, measured as they come near the surface.
    ContinuousStrip &strip() { return m_strip; }
    const ContinuousStrip &strip() const { return m_strip; }

    // ---- the reading place
    // The steps of the volume in the view mode in force.
    const std::vector<PageStep> &steps() const { return m_steps; }
    int stepCount() const { return int(m_steps.size()); }
    // The current step's index, and the step itself (page 0 alone without pages).
    int step() const { return m_step; }
    PageStep currentStep() const { return stepAt(m_step); }
    PageStep stepAt(int index) const;
    int stepOfPage(int page) const { return PageSteps::stepOf(m_steps, page); }
    // The direction of the last move, for its animated turn.
    TurnDirection turn() const { return m_turn; }
    // Whether the controls are mirrored: the left arrow, the left half of the page
    // and the wheel's forward move go forward (right-to-left reading with
    // FollowDirection on).
    bool controlsMirrored() const { return option(FollowDirection) && option(RightToLeft); }
    // Moves the pairing by one page from the current step, for scans off by one:
    // a spread's first page stands alone, or after a lone page the next one does;
    // the same key where a shift began takes it back. Kept for the volume.
    // Returns false where nothing can move (one-page mode, the last page).
    bool shiftPairing();
    // Reads page sizes from the image headers (tests replace it); a null size is
    // not wide.
    std::function<QSize(const QString &)> headerSize;

    // ---- navigation. Each move signals placeChanged with whether it is a page
    // turn (which the book effect animates) or a jump.
    // One step. At either end of the volume the neighbouring volume is offered
    // through the prompts; on Yes it is loaded at its first step.
    Move stepForward();
    Move stepBack();
    // To step `index` (kept inside the volume) with turn direction `turn`; a
    // turn animates with the book effect, a jump never. Returns false when the
    // place stayed as it was (it is drawn again all the same).
    bool goToStep(int index, TurnDirection turn, bool isTurn);
    bool goToFirst() { return goToStep(0, turnDirection(false), true); }
    bool goToLast() { return goToStep(stepCount() - 1, turnDirection(true), true); }
    // The page box: typed text to a step (nullopt when it is no number) and the
    // turn direction towards it.
    std::optional<int> pageBoxStep(const QString &text) const;
    // Goes where the page box text points; false when the text is no number.
    bool goToPageBox(const QString &text);
    // What the page box shows for the current step ("3", or "4-5" for a spread).
    QString pageBoxText() const;
    // Where the next listing opens: volume `volume`, at the kept place `position`
    // (the resume record's page, or spread index in two-page mode; stepOfRecord)
    // or at the start (nullopt). The command line's named image, when one is
    // pending, decides the page instead.
    void openNextAt(int volume, std::optional<int> position);
    // The step of a resume record's position in the view mode in force.
    int stepOfRecord(int position) const;

    // ---- resume and end
    // The reading place as the resume file stores it.
    ResumeRecord snapshot() const;
    // The last page or spread of the last volume is shown: nothing left to resume.
    bool finishedReading() const;
    // The export key where export is unavailable: in the two-page view the reader
    // is told that export takes one page; without pages nothing is said.
    void exportRefused();

    // ---- state
    // Set while a volume loads.
    bool IsProcess = false;
    // The path named on the command line or handed over, until it is opened.
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
    void viewChanged();
    // The reading place moved (or was asked to move): the windows draw the current
    // step; `isTurn` when it is a page turn the book effect animates.
    void placeChanged(bool isTurn);
    // The volume list was rebuilt (its selection too).
    void volumesChanged();
    // The text of volume `index` changed (marked as holding no page).
    void volumeTextChanged(int index);
    void volumeLoadStarted(const QString &volume);
    // The new volume's pages are listed and its step chosen: time to draw.
    void volumeLoadFinished();
    // The listing found nothing to show: the surface, page box and count go blank.
    void pagesCleared();
    void noImageChanged(bool visible);
    void progress(qint32 Percent, qint32 TotCount, const QString &StrMsg);
    // A background load began, or ended (done, given up or failed).
    void loadRunning(bool running);
    // Another page's file came out of the volume being taken out.
    void pageArrived();

private:
    bool ask(const QString &text);
    // At the first or last step: the neighbouring volume, offered.
    Move atVolumeEnd(bool forward);
    // A move by `amount` pixels down or up, turning at the end.
    void scrollBy(int amount, bool forward);
    void changeView(const ViewSettings &view);
    // The strip's place decides the step: the page under the centre line.
    void followStrip();
    ContinuousStrip::Measure stripMeasure();
    void tell(const QString &text);
    void setVolumes(const QStringList &names);
    // Groups the pages into steps again and puts the current step where `page` is.
    void rebuildSteps(int page);
    StepRules stepRules() const;
    // The steps after the volume's pages are listed: the page to start at (the
    // named image, the kept place or the first), then volumeLoadFinished.
    void finishVolumeLoad();
    void startLoad(BookLoader::What what);
    // The load's lists become the session's (the pages listed, or the load done).
    void adoptLoad();
    void onLoadFinished();
    void runAfterLoad();
    // The lists and place a load replaced, kept until the load is done.
    struct Kept
    {
        MemberTable members;
        SortedList list1;
        QStringList volumes;
        int volumeIndex = -1, loadedVolume = -1, volumeToOpen = 0;
        std::vector<PageStep> steps;
        int step = 0;
        TurnDirection turn = TurnDirection::RightOver;
        std::vector<qint8> wide;
        std::set<int> shifted;
        bool noImage = false;
        BookSource source;
    };
    void emptyBook();

    Program &m_app;
    MemberTable m_members;
    SortedList m_list1;
    QStringList m_volumes;
    int m_volumeIndex = -1;
    bool m_noImage = false;
    bool m_listingOnly = false;
    int m_loadedVolume = -1;
    int m_volumeToOpen = 0;
    std::optional<int> m_kept;
    ViewMode m_viewMode = ViewMode::OnePage;
    std::vector<PageStep> m_steps;
    int m_step = 0;
    TurnDirection m_turn = TurnDirection::RightOver;
    // The book effect is on at start; the other options are off.
    bool m_options[8] = {false, false, false, false, true, false, false, false};
    // Whether page k is wider than tall: -1 not read yet (read only for WideAlone).
    std::vector<qint8> m_wide;
    // Pages made to stand alone by shiftPairing.
    std::set<int> m_shifted;
    bool pageIsWide(int k);
    ViewSettings m_view;
    QPoint m_scroll;
    QSize m_content;
    QSize m_surface;
    ContinuousStrip m_strip;
    // A step back by scrolling lands at the bottom of the step before.
    bool m_landAtEnd = false;

    bool m_background = false;
    BookLoader m_loader;
    QTimer m_ticker;
    BookLoader::What m_loadWhat = BookLoader::What::Book;
    // The named image of the book being loaded, until its first volume is in.
    QString m_loadCmdFolder, m_loadCmdFile;
    bool m_committed = false;
    // The volume loaded before a switch began.
    int m_volumeBefore = -1;
    bool m_extracting = false;
    bool m_restoring = false;
    bool m_gaveUp = false;
    bool m_stopping = false;
    std::optional<Kept> m_before;
    // The source the lists in force were made from.
    BookSource m_loadedSource;
    std::deque<std::function<void()>> m_afterLoad;
};
