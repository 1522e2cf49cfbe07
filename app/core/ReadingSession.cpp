#include "core/ReadingSession.h"

#include "archive/ArchiveReader.h"
#include "archive/MemberPath.h"
#include "archive/Mo_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/TmpZipFolder.h"
#include "archive/cUnzip.h"
#include "core/CommandLine.h"
#include "core/PageGeometry.h"
#include "core/Program.h"
#include "core/VolumeRules.h"
#include "platform/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QRegularExpression>

#include <exception>
#include <limits>
#include <utility>

namespace {
// Text after the last "/".
QString lastPart(const QString &s)
{
    return s.mid(s.lastIndexOf(QLatin1Char('/')) + 1);
}
} // namespace

ReadingSession::ReadingSession(Program &app, QObject *parent) : QObject(parent), m_app(app)
{
    headerSize = [](const QString &file) {
        QImageReader reader(file);
        reader.setAutoTransform(false);
        return reader.size();
    };
    // The wait panel follows the worker ten times a second; the worker itself
    // never calls into the windows.
    m_ticker.setInterval(100);
    connect(&m_ticker, &QTimer::timeout, this,
            [this] { emit progress(m_loader.done(), m_loader.total(), loadingMessage()); });
    connect(&m_loader, &BookLoader::pagesListed, this, &ReadingSession::adoptLoad);
    connect(&m_loader, &BookLoader::memberWritten, this, &ReadingSession::pageArrived);
    connect(&m_loader, &BookLoader::finished, this, &ReadingSession::onLoadFinished);
}

// ---------------------------------------------------------------- the source

void ReadingSession::Open_Source()
{
    // An archive of no kind opens nothing: scanning its path as a folder would
    // only wipe the book that is open.
    if (m_app.IsArchive && m_app.ArchiveKind == ArchiveKind::None)
        return;
    if (m_background) {
        startLoad(BookLoader::What::Book);
        return;
    }
    m_loadedSource = source();
    if (!BookLoad::listSource(*this, source(), !Cmd_Folder.isEmpty())) {
        setVolumes({});
        m_list1.Clear();
        emit pagesCleared();
        return;
    }
    Volume_Build();
}

BookSource ReadingSession::source() const
{
    return {m_app.OpenPath, m_app.IsArchive, m_app.ArchiveKind};
}

void ReadingSession::openCommandLineSource()
{
    const QFileInfo named(CommandLine{Cmd_Folder, Cmd_File}.path());
    if (named.isDir()) {
        // A folder is a book of its own: nothing of it is pending, so its
        // sub-folders are volumes as with a folder chosen in the open chooser.
        m_app.IsArchive = false;
        m_app.OpenPath = QDir::cleanPath(named.absoluteFilePath());
        Cmd_Folder.clear();
        Cmd_File.clear();
        Open_Source();
        return;
    }
    const QString ext = VolumeRules::extensionOf(Cmd_File);
    if (VolumeRules::isArchiveExt(ext)) {
        m_app.IsArchive = true;
        m_app.OpenPath = Cmd_Folder + QLatin1Char('/') + Cmd_File;
        m_app.ArchiveKind = VolumeRules::archiveKindOfExt(ext);
        // An archive is a book of its own too: no page of it is named, so it
        // opens at its first page or at the place kept for it.
        Cmd_Folder.clear();
        Cmd_File.clear();
    } else {
        m_app.IsArchive = false;
        m_app.OpenPath = Cmd_Folder;
    }
    Open_Source();
}

void ReadingSession::openNamedPath()
{
    const QString path = CommandLine{Cmd_Folder, Cmd_File}.path();
    if (path.isEmpty())
        return;
    if (!QFileInfo::exists(path)) {
        tell(m_app.lang.Msg_PathMissing.arg(path));
    } else {
        const qsizetype logged = m_app.ErrorLog.size();
        openCommandLineSource();
        // Whatever went wrong was logged, and the reader who wrote it told already;
        // a reader who gave the book up knows why it is not shown.
        afterLoad([this, logged, path] {
            if (volumeCount() == 0 && m_app.ErrorLog.size() == logged && !m_gaveUp)
                tell(m_app.lang.Msg_NoPages.arg(path));
        });
    }
    Cmd_Folder.clear();
    Cmd_File.clear();
}

void ReadingSession::VBZip_ArchiveUpdate()
{
    BookLoad::membersFrom(m_members, TmpZipFolder::zipReader(*this));
    Volume_Build();
}

void ReadingSession::VBUnRar_ArchiveUpdate()
{
    BookLoad::membersFrom(m_members, TmpZipFolder::rarReader(*this));
    Volume_Build();
}

void ReadingSession::Folder_Scan()
{
    setVolumes({});
    m_list1.Clear();
    if (!VolumeRules::scanFolder(m_app.OpenPath, !Cmd_Folder.isEmpty(), m_members)) {
        emit pagesCleared();
        return;
    }
    Volume_Build();
}

void ReadingSession::setVolumes(const QStringList &names)
{
    m_volumes = names;
    m_volumeIndex = -1;
    emit volumesChanged();
}

void ReadingSession::Volume_Build()
{
    setVolumes({});
    if (!m_members.dimensioned() || m_members.upper() == 0) {
        m_list1.Clear();
        emit pagesCleared();
        return;
    }
    setVolumes(BookLoad::volumesOf(m_members));
    if (m_listingOnly)
        return;
    if (!m_volumes.isEmpty()) {
        selectVolume(m_volumeToOpen >= 0 && m_volumeToOpen <= volumeCount() - 1 ? m_volumeToOpen : 0);
    } else {
        m_list1.Clear();
        emit pagesCleared();
    }
}

QString ReadingSession::volumeLabel(int index) const
{
    return VolumeRules::shownName(volumeText(index), volumeCount(), m_app.OpenPath);
}

void ReadingSession::selectVolume(int index)
{
    if (index < -1 || index >= volumeCount())
        return;
    // Chosen while the volume in view still comes out (the question at its end
    // answered before its last pages are out): taken once it is out, unless the
    // reader gives that load up.
    if (loading()) {
        afterLoad([this, index] {
            if (!m_gaveUp)
                selectVolume(index);
        });
        return;
    }
    if (index != m_volumeIndex) {
        m_volumeIndex = index;
        emit volumesChanged();
    }
    cb_list_Click();
}

void ReadingSession::cb_list_Click()
{
    setNoImageVisible(false);
    if (!Members_Ready() || IsProcess)
        return;
    IsProcess = true;
    m_volumeBefore = m_loadedVolume;
    m_loadedVolume = m_volumeIndex;
    const QString volume = currentVolume();
    emit volumeLoadStarted(volume);
    if (m_background) {
        startLoad(BookLoader::What::Volume);
        return;
    }
    // A failure while listing leaves what was listed; the switch still ends normally.
    try {
        BookLoad::loadVolume(*this, source(), volume);
    } catch (const std::exception &e) {
        m_app.logError(QString::fromUtf8(e.what()));
    }
    finishVolumeLoad();
    IsProcess = false;
}

void ReadingSession::finishVolumeLoad()
{
    m_volumeToOpen = m_volumeIndex;
    // What was known of the old volume's pages is not of this one.
    m_wide.assign(size_t(m_list1.ListCount()), qint8(-1));
    m_shifted.clear();
    int page = 0;
    if (!Cmd_File.isEmpty()) {
        // The named image is the page to start at (in two-page mode its spread). A
        // name that is no page (an archive handed over while another book was
        // read) starts the book at its beginning, not at the other book's place.
        const QString wanted = Cmd_Folder + QLatin1Char('/') + Cmd_File;
        for (int k = 0; k < m_list1.ListCount(); ++k) {
            if (m_list1.List(k).trimmed() == wanted) {
                page = k;
                break;
            }
        }
        Cmd_Folder.clear();
        Cmd_File.clear();
        m_kept.reset();
    }
    rebuildSteps(page);
    // A kept place past the end (the book lost pages since) shows the last page.
    if (m_kept)
        m_step = stepOfRecord(*m_kept);
    m_kept.reset();
    m_scroll = QPoint();
    m_strip.reset(pageCount(), stripMeasure());
    m_strip.setPage(currentStep().first);
    emit volumeLoadFinished();
}

void ReadingSession::Volume_Pages(const QString &volumeName)
{
    BookLoad::loadVolume(*this, BookSource{m_app.OpenPath, false, ArchiveKind::None}, volumeName);
}

// ---------------------------------------------------------------- loading in the background

void ReadingSession::startLoad(BookLoader::What what)
{
    BookLoader::Request r;
    r.what = what;
    r.source = source();
    r.commandFilePending = !Cmd_Folder.isEmpty();
    r.volumeToOpen = m_volumeToOpen;
    if (what == BookLoader::What::Volume) {
        r.members = m_members;
        r.volumes = m_volumes;
        r.volumeIndex = m_volumeIndex;
        // Lent to the worker; they come back when it is done, given up or not.
        r.zip = std::move(m_app.ZipReader);
        r.rar = std::move(m_app.RarReader);
    } else {
        m_loadCmdFolder = Cmd_Folder;
        m_loadCmdFile = Cmd_File;
        m_restoring = false;
    }
    if (!m_restoring)
        m_gaveUp = false;
    r.paths = m_app.paths;
    r.texts = texts();
    r.loadingMessage = loadingMessage();
    r.titleText = titleText();
    m_loadWhat = what;
    m_committed = false;
    m_extracting = false;
    IsProcess = true;
    m_loader.start(std::move(r));
    m_ticker.start();
    emit loadRunning(true);
}

void ReadingSession::adoptLoad()
{
    if (m_committed)
        return;
    m_committed = true;
    BookLoader::Result &r = m_loader.result();
    m_before = Kept{m_members, m_list1, m_volumes, m_volumeIndex, m_loadedVolume, m_volumeToOpen, m_steps, m_step,
                    m_turn, m_wide, m_shifted, m_noImage, m_loadedSource};
    // A switch has chosen its volume already; the one listed before is kept.
    if (m_loadWhat == BookLoader::What::Volume)
        m_before->volumeIndex = m_before->loadedVolume = m_volumeBefore;
    // Copied, not taken: the worker may still read the table (a nested archive's
    // pages come out after they are listed).
    if (m_loadWhat == BookLoader::What::Book) {
        m_loadedSource = source();
        if (!r.listed) {
            setVolumes({});
            m_list1.Clear();
            emit pagesCleared();
            return;
        }
        m_members = r.members;
        setVolumes(r.volumes);
        if (m_volumes.isEmpty()) {
            m_list1.Clear();
            emit pagesCleared();
            return;
        }
        m_volumeIndex = r.volumeIndex;
        emit volumesChanged();
        m_loadedVolume = m_volumeIndex;
        emit volumeLoadStarted(currentVolume());
        Cmd_Folder = m_loadCmdFolder;
        Cmd_File = m_loadCmdFile;
    } else if (r.volumes != m_volumes) {
        // The volume was marked as holding no page.
        m_volumes = r.volumes;
        emit volumeTextChanged(m_volumeIndex);
    }
    m_list1 = r.list1;
    if (r.noImage)
        setNoImageVisible(*r.noImage);
    m_extracting = true;
    finishVolumeLoad();
}

void ReadingSession::onLoadFinished()
{
    // Handled already by stopLoad.
    if (!m_loader.running())
        return;
    m_loader.settle();
    m_ticker.stop();
    BookLoader::Result &r = m_loader.result();
    const bool lent = m_loadWhat == BookLoader::What::Volume;
    const auto takeBack = [this](auto &from, auto &to) {
        if (from) {
            from->setHost(this);
            to = std::move(from);
        }
    };
    if (lent || !r.cancelled) {
        takeBack(r.zip, m_app.ZipReader);
        takeBack(r.rar, m_app.RarReader);
    }
    IsProcess = false;
    if (!r.cancelled) {
        m_app.ErrorLog += r.errorLog;
        const bool early = m_committed;
        adoptLoad();
        m_extracting = false;
        m_before.reset();
        m_restoring = false;
        // The strip measured the pages that were not out yet as empty.
        if (early && m_view.continuous) {
            m_strip.reset(pageCount(), stripMeasure());
            m_strip.setPage(currentStep().first);
            emit placeChanged(false);
        }
        // Pages measured before they were out were taken for narrow ones.
        if (early && option(WideAlone) && m_viewMode == ViewMode::TwoPage) {
            m_wide.assign(size_t(m_list1.ListCount()), qint8(-1));
            rebuildSteps(currentStep().first);
            emit placeChanged(false);
        }
        for (const BookLoader::Result::Message &m : r.messages)
            showMessage(m.title, m.text, m.icon);
        emit pageArrived();
        emit loadRunning(false);
        runAfterLoad();
        return;
    }
    m_gaveUp = true;
    m_extracting = false;
    const bool wasRestoring = std::exchange(m_restoring, false);
    if (m_before) {
        Kept &k = *m_before;
        m_members = std::move(k.members);
        m_list1 = std::move(k.list1);
        m_volumes = std::move(k.volumes);
        m_volumeIndex = k.volumeIndex;
        m_loadedVolume = k.loadedVolume;
        m_volumeToOpen = k.volumeToOpen;
        m_steps = std::move(k.steps);
        m_step = k.step;
        m_turn = k.turn;
        m_wide = std::move(k.wide);
        m_shifted = std::move(k.shifted);
        m_noImage = k.noImage;
        m_loadedSource = k.source;
        m_before.reset();
        // The strip measured the given-up book's pages.
        m_scroll = QPoint();
        m_strip.reset(pageCount(), stripMeasure());
        m_strip.setPage(currentStep().first);
    } else if (m_loadWhat == BookLoader::What::Volume && !wasRestoring) {
        // The switch had only chosen its volume: the one whose pages are listed is back.
        m_volumeIndex = m_loadedVolume = m_volumeBefore;
    }
    // The source chosen for the load goes with it (the volume list names the book by it).
    m_app.OpenPath = m_loadedSource.path;
    m_app.IsArchive = m_loadedSource.isArchive;
    m_app.ArchiveKind = m_loadedSource.kind;
    emit volumesChanged();
    emit noImageChanged(m_noImage);
    Cmd_Folder.clear();
    Cmd_File.clear();
    if (wasRestoring) {
        // Giving up the way back too leaves nothing to read.
        emptyBook();
    } else if (r.touchedTmpZip && m_volumeIndex >= 0 && Members_Ready() && !m_stopping) {
        // TmpZip lost the pages of the volume in view: it is loaded again, at its place.
        m_restoring = true;
        m_kept = snapshot().pagePosition;
        emit loadRunning(false);
        cb_list_Click();
        return;
    }
    emit placeChanged(false);
    emit loadRunning(false);
    runAfterLoad();
}

void ReadingSession::emptyBook()
{
    m_members.discard();
    m_list1.Clear();
    m_loadedSource = {};
    m_app.OpenPath.clear();
    m_app.IsArchive = false;
    m_app.ArchiveKind = ArchiveKind::None;
    m_loadedVolume = -1;
    setVolumes({});
    rebuildSteps(0);
    emit pagesCleared();
}

void ReadingSession::cancelLoad()
{
    if (m_loader.running())
        m_loader.cancel();
}

void ReadingSession::stopLoad()
{
    if (!m_loader.running())
        return;
    m_loader.cancel();
    m_loader.join();
    m_stopping = true;
    onLoadFinished();
    m_stopping = false;
}

void ReadingSession::afterLoad(std::function<void()> then)
{
    m_afterLoad.push_back(std::move(then));
    if (!loading())
        runAfterLoad();
}

void ReadingSession::runAfterLoad()
{
    // One at a time: one of them may start another load, which the rest wait for.
    while (!m_afterLoad.empty() && !loading()) {
        std::function<void()> next = std::move(m_afterLoad.front());
        m_afterLoad.pop_front();
        next();
    }
}

bool ReadingSession::pageOut(int k) const
{
    return !m_extracting || QFileInfo(Page_Path(k)).isFile();
}

bool ReadingSession::stepOut(int index) const
{
    const PageStep step = stepAt(index);
    for (int k = step.first; k <= step.last() && k < pageCount(); ++k)
        if (!pageOut(k))
            return false;
    return true;
}

// ---------------------------------------------------------------- pages

StepRules ReadingSession::stepRules() const
{
    StepRules r;
    r.twoPage = m_viewMode == ViewMode::TwoPage;
    r.wideAlone = option(WideAlone);
    r.coverAlone = option(CoverAlone);
    r.shifted = m_shifted;
    return r;
}

bool ReadingSession::pageIsWide(int k)
{
    if (k < 0 || k >= m_list1.ListCount())
        return false;
    if (m_wide.size() != size_t(m_list1.ListCount()))
        m_wide.assign(size_t(m_list1.ListCount()), qint8(-1));
    qint8 &known = m_wide[size_t(k)];
    // A page still to come out is measured once it is.
    if (known < 0 && !pageOut(k))
        return false;
    if (known < 0) {
        // An archive page is taken out to be measured; it is drawn from there later.
        extractEntry(k);
        const QSize size = headerSize ? headerSize(Page_Path(k)) : QSize();
        known = size.isValid() && size.width() > size.height() ? 1 : 0;
    }
    return known == 1;
}

void ReadingSession::rebuildSteps(int page)
{
    m_steps = PageSteps::build(m_list1.ListCount(), stepRules(), [this](int k) { return pageIsWide(k); });
    m_step = PageSteps::stepOf(m_steps, page);
}

bool ReadingSession::shiftPairing()
{
    if (m_viewMode != ViewMode::TwoPage || m_list1.isEmpty())
        return false;
    const PageStep step = currentStep();
    if (m_shifted.erase(step.first) == 0) {
        const int page = PageSteps::shiftPageFor(step);
        if (page >= pageCount())
            return false;
        if (m_shifted.erase(page) == 0)
            m_shifted.insert(page);
    }
    rebuildSteps(step.first);
    emit placeChanged(false);
    return true;
}

PageStep ReadingSession::stepAt(int index) const
{
    if (index < 0 || index >= stepCount())
        return PageStep{qMax(index, 0), 1, false};
    return m_steps[size_t(index)];
}

int ReadingSession::stepOfRecord(int position) const
{
    if (m_viewMode != ViewMode::TwoPage)
        return stepOfPage(position);
    // The record keeps a spread as the spread index of its first page, so steps
    // beginning at 2s and at 2s + 1 are kept alike; the later one is taken (with
    // the cover alone every step after the cover begins at an odd page).
    const int next = stepOfPage(position * 2 + 1);
    return stepAt(next).first == position * 2 + 1 ? next : stepOfPage(position * 2);
}

void ReadingSession::openNextAt(int volume, std::optional<int> position)
{
    m_volumeToOpen = volume;
    m_kept = position;
}

QString ReadingSession::Page_Path(int k) const
{
    if (k < 0 || k >= m_list1.ListCount())
        return QString();
    if (m_app.IsArchive || VolumeRules::isZipVolumeName(currentVolume()))
        return m_app.paths.tmpZip() + QLatin1Char('/') + MemberPath::diskName(m_list1.List(k));
    return m_list1.List(k);
}

void ReadingSession::extractEntry(int k)
{
    if (k < 0 || k >= m_list1.ListCount())
        return;
    // A page already taken out (by an earlier draw or by the index) is not
    // extracted again: the folder is emptied at every volume switch, and a member
    // is renamed into place only once whole, so what stands there is the page.
    if (QFileInfo(Page_Path(k)).isFile())
        return;
    // A volume taken out whole brings its pages itself.
    if (m_extracting)
        return;
    const QString volume = currentVolume();
    const QString entry = m_list1.List(k);
    const bool zipVolume = VolumeRules::isZipVolumeName(volume);
    // The page goes into TmpZip under its page-list text, where Page_Path looks.
    if (!m_app.IsArchive) {
        if (zipVolume)
            Mo_Unzip::ExtractZipMember(*this, VolumeRules::folderRoot(m_app.OpenPath) + volume, entry, entry);
    } else if (zipVolume) {
        Mo_Unzip::ExtractZipMember(*this, m_app.paths.tmpZip() + QLatin1Char('/') + MemberPath::diskName(volume), entry,
                                    entry);
    } else if (volume != QLatin1String("/")) {
        Mo_Unzip::ExtractZipMember(*this, m_app.OpenPath, volume + QLatin1Char('/') + entry, entry);
    } else {
        Mo_Unzip::ExtractZipMember(*this, m_app.OpenPath, entry, entry);
    }
}

QString ReadingSession::pageName(int k) const
{
    return k >= 0 && k < m_list1.ListCount() ? m_list1.Shown(k) : QString();
}

QString ReadingSession::pageCaption(int p) const
{
    const QString source = lastPart(m_app.OpenPath);
    const QString page = pageName(p);
    const QString volume = currentVolume();
    const QString sep = QStringLiteral(" ─ ");
    if (volume == QLatin1String("/"))
        return m_app.lang.Title_Text + sep + source + QStringLiteral("/[") + page + QLatin1Char(']');
    return m_app.lang.Title_Text + sep + source + QStringLiteral("/[") + volume + QLatin1Char('/') + page +
           QLatin1Char(']');
}

// ---------------------------------------------------------------- options

bool ReadingSession::setOption(Option o, bool on)
{
    if (m_options[o] == on)
        return false;
    m_options[o] = on;
    // The page in view stays in view: the first of the spread going to one page,
    // the step holding the page otherwise.
    const int page = currentStep().first;
    if (o == TwoPage)
        m_viewMode = on && !m_view.continuous ? ViewMode::TwoPage : ViewMode::OnePage;
    if (o == TwoPage || o == WideAlone || o == CoverAlone)
        rebuildSteps(page);
    emit optionChanged(o, on);
    // The two-page switch has its own handlers; the other groupings are redrawn
    // where the place is shown.
    if ((o == WideAlone || o == CoverAlone) && m_viewMode == ViewMode::TwoPage)
        emit placeChanged(false);
    return true;
}

TurnDirection ReadingSession::turnDirection(bool forward) const
{
    const bool swapped = option(RightToLeft);
    return forward == swapped ? TurnDirection::LeftOver : TurnDirection::RightOver;
}

// ---------------------------------------------------------------- navigation

bool ReadingSession::ask(const QString &text)
{
    return m_app.prompts && m_app.prompts->messageBox(promptOwner, m_app.lang.Title_Text, text, MsgIcon::Question,
                                                      MsgButtons::YesNo) == MsgResult::Yes;
}

void ReadingSession::tell(const QString &text)
{
    if (m_app.prompts)
        m_app.prompts->messageBox(promptOwner, m_app.lang.Title_Text, text, MsgIcon::Information, MsgButtons::Ok);
}

void ReadingSession::exportRefused()
{
    if (m_viewMode == ViewMode::TwoPage && pageCount() > 0)
        tell(m_app.lang.Msg_ExportOnePage);
}

bool ReadingSession::goToStep(int index, TurnDirection turn, bool isTurn)
{
    const int to = qBound(0, index, qMax(stepCount() - 1, 0));
    const bool moved = to != m_step;
    m_step = to;
    m_turn = turn;
    // A new step is seen from its top (its bottom after scrolling back into it);
    // the draw keeps the offset inside the pages.
    m_scroll = QPoint(0, m_landAtEnd ? std::numeric_limits<int>::max() / 2 : 0);
    if (m_view.continuous)
        m_strip.setPage(stepAt(to).first);
    emit placeChanged(isTurn);
    return moved;
}

ReadingSession::Move ReadingSession::stepForward()
{
    const int steps = stepCount();
    if (m_step + 1 <= steps - 1) {
        goToStep(m_step + 1, turnDirection(true), true);
        return Move::Moved;
    }
    return atVolumeEnd(true);
}

ReadingSession::Move ReadingSession::atVolumeEnd(bool forward)
{
    const int steps = stepCount();
    const int v = m_volumeIndex;
    if (!forward) {
        // The previous volume is offered whatever this one holds: a volume of a
        // single page or spread would otherwise be a dead end going back.
        if (v - 1 >= 0) {
            if (ask(m_app.lang.Msg_Table[1])) {
                selectVolume(v - 1);
                return Move::NewVolume;
            }
        } else if (steps >= 2) {
            tell(m_app.lang.Msg_Table[6]);
        }
        return Move::Stayed;
    }
    if (v >= 0 && v + 1 < volumeCount()) {
        if (ask(m_app.lang.Msg_Table[0])) {
            selectVolume(v + 1);
            return Move::NewVolume;
        }
    } else if (steps >= 2) {
        tell(m_app.lang.Msg_Table[5]);
    }
    return Move::Stayed;
}

ReadingSession::Move ReadingSession::stepBack()
{
    if (m_step - 1 >= 0) {
        goToStep(m_step - 1, turnDirection(false), true);
        return Move::Moved;
    }
    return atVolumeEnd(false);
}

std::optional<int> ReadingSession::pageBoxStep(const QString &text) const
{
    // In two-page mode the box holds page numbers: a spread shown as "4-5" and
    // entered again goes to the step of its first page.
    QString number = text.trimmed();
    const bool twoPage = m_viewMode == ViewMode::TwoPage;
    static const QRegularExpression range(QStringLiteral("^(\\d+)-\\d+$"));
    if (const QRegularExpressionMatch m = range.match(number); twoPage && m.hasMatch())
        number = m.captured(1);
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    if (!ok)
        return std::nullopt;
    const int count = twoPage ? pageCount() : stepCount();
    const auto step = [&](int k) { return twoPage ? stepOfPage(k) : k; };
    if (value > 0 && value <= count)
        return step(int(PageGeometry::roundEven(value - 1)));
    if (value == 0)
        return 0;
    return qMax(stepCount() - 1, 0);
}

bool ReadingSession::goToPageBox(const QString &text)
{
    const std::optional<int> to = pageBoxStep(text);
    if (!to)
        return false;
    const TurnDirection turn =
        *to < m_step ? turnDirection(false) : *to > m_step ? turnDirection(true) : TurnDirection::RightOver;
    goToStep(*to, turn, true);
    return true;
}

QString ReadingSession::pageBoxText() const
{
    if (m_viewMode != ViewMode::TwoPage)
        return QString::number(m_step + 1);
    const PageStep step = currentStep();
    const QString first = QString::number(step.first + 1);
    return step.count == 2 ? first + QLatin1Char('-') + QString::number(step.last() + 1) : first;
}

// ---------------------------------------------------------------- resume and end

ResumeRecord ReadingSession::snapshot() const
{
    ResumeRecord r;
    r.path = m_app.OpenPath;
    r.volumeIndex = m_volumeIndex;
    r.isArchive = m_app.IsArchive;
    // A spread is kept as the spread index of its first page, the record's meaning.
    r.viewMode = qint16(m_viewMode);
    // The strip is kept by the page at its top, as one page is.
    const int page = m_view.continuous ? m_strip.topPage() : currentStep().first;
    r.pagePosition = qint16(m_viewMode == ViewMode::TwoPage ? page / 2 : page);
    r.rightToLeft = option(RightToLeft);
    r.archiveKind = m_app.ArchiveKind;
    r.hundred = option(Hundred) ? 1 : 0;
    r.effect = option(BookEffect) ? 1 : 0;
    r.sharpen = option(Sharpen) ? 1 : 0;
    return r;
}

bool ReadingSession::finishedReading() const
{
    const int v = m_volumeIndex;
    return m_step + 1 == stepCount() && v >= 0 && v + 1 == volumeCount();
}

// ---------------------------------------------------------------- what the readers report

void ReadingSession::setCbListText(const QString &t)
{
    if (m_volumeIndex < 0)
        return;
    m_volumes[m_volumeIndex] = t;
    emit volumeTextChanged(m_volumeIndex);
}

void ReadingSession::setNoImageVisible(bool visible)
{
    m_noImage = visible;
    emit noImageChanged(visible);
}

void ReadingSession::ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg)
{
    emit progress(Percent, TotCount, StrMsg);
}

const ProgramPaths &ReadingSession::paths() const
{
    return m_app.paths;
}

QString ReadingSession::titleText() const
{
    return m_app.lang.Title_Text;
}

QString ReadingSession::tmpZip() const
{
    return m_app.paths.tmpZip();
}

QString ReadingSession::openPath() const
{
    return m_app.OpenPath;
}

bool ReadingSession::isArchive() const
{
    return m_app.IsArchive;
}

QString ReadingSession::loadingMessage() const
{
    return m_app.lang.Msg_Loading;
}

ListingTexts ReadingSession::texts() const
{
    return m_app.lang.listingTexts();
}

QString &ReadingSession::errorLog()
{
    return m_app.ErrorLog;
}

void ReadingSession::showMessage(const QString &title, const QString &text, MsgIcon icon)
{
    if (m_app.prompts)
        m_app.prompts->messageBox(promptOwner, title, text, icon, MsgButtons::Ok);
}

std::unique_ptr<cUnzip> &ReadingSession::zipReaderSlot()
{
    return m_app.ZipReader;
}

std::unique_ptr<ArchiveReader> &ReadingSession::rarReaderSlot()
{
    return m_app.RarReader;
}

// ---------------------------------------------------------------- the view

ContinuousStrip::Measure ReadingSession::stripMeasure()
{
    return [this](int k) {
        // An archive page is taken out to be measured; it is drawn from there later.
        extractEntry(k);
        const QSize size = headerSize ? headerSize(Page_Path(k)) : QSize();
        return PageView::turned(QSizeF(size.isValid() ? size : QSize()), m_view.rotation);
    };
}

void ReadingSession::changeView(const ViewSettings &view)
{
    if (view == m_view)
        return;
    const ViewSettings old = m_view;
    const int page = currentStep().first;
    m_view = view;
    if (old.continuous != view.continuous) {
        m_viewMode = option(TwoPage) && !view.continuous ? ViewMode::TwoPage : ViewMode::OnePage;
        rebuildSteps(page);
        m_strip.reset(pageCount(), stripMeasure());
        m_strip.setPage(page);
        m_scroll = QPoint();
    } else if (old.rotation != view.rotation) {
        m_strip.remeasure(stripMeasure());
        m_scroll = QPoint();
    } else if (old.fit != view.fit) {
        m_scroll = QPoint();
    } else if (old.zoom != view.zoom && !view.continuous) {
        // A zoom keeps the point at the surface's centre where it is.
        const double f = double(view.zoom) / old.zoom;
        const QPointF half(m_surface.width() / 2.0, m_surface.height() / 2.0);
        m_scroll = ((QPointF(m_scroll) + half) * f - half).toPoint();
    }
    emit viewChanged();
    emit placeChanged(false);
}

void ReadingSession::setView(const ViewSettings &view)
{
    ViewSettings v = view;
    v.zoom = qBound(PageView::MinZoom, v.zoom, PageView::MaxZoom);
    v.rotation = PageView::rotated(v.rotation, 0);
    changeView(v);
}

void ReadingSession::setFit(FitMode fit)
{
    ViewSettings v = m_view;
    v.fit = fit;
    v.zoom = 100;
    changeView(v);
}

void ReadingSession::zoomIn()
{
    ViewSettings v = m_view;
    v.zoom = PageView::zoomIn(v.zoom);
    changeView(v);
}

void ReadingSession::zoomOut()
{
    ViewSettings v = m_view;
    v.zoom = PageView::zoomOut(v.zoom);
    changeView(v);
}

void ReadingSession::zoomReset()
{
    ViewSettings v = m_view;
    v.zoom = 100;
    changeView(v);
}

void ReadingSession::rotate(bool clockwise)
{
    ViewSettings v = m_view;
    v.rotation = PageView::rotated(v.rotation, clockwise ? 90 : -90);
    changeView(v);
}

void ReadingSession::setContinuous(bool on)
{
    ViewSettings v = m_view;
    v.continuous = on;
    changeView(v);
}

QPoint ReadingSession::scrollOffset() const
{
    return m_view.continuous ? QPoint(m_scroll.x(), m_strip.y()) : m_scroll;
}

void ReadingSession::setExtent(QSize content, QSize surface)
{
    m_content = content;
    m_surface = surface;
    m_scroll = PageView::clampScroll(m_scroll, content, surface);
    if (m_view.continuous) {
        m_strip.setWidth(content.width());
        m_strip.settle(surface.height());
        m_content.setHeight(m_strip.total());
        followStrip();
    }
}

bool ReadingSession::overflows() const
{
    const QPoint end = PageView::scrollEnd(m_content, m_surface);
    return end.x() > 0 || end.y() > 0;
}

bool ReadingSession::canScroll(bool forward) const
{
    const int y = scrollOffset().y();
    return forward ? y < PageView::scrollEnd(m_content, m_surface).y() : y > 0;
}

void ReadingSession::followStrip()
{
    if (m_view.continuous && !m_surface.isEmpty() && pageCount() > 0)
        m_step = stepOfPage(m_strip.centrePage(m_surface.height()));
}

void ReadingSession::scrollBy(int amount, bool forward)
{
    if (pageCount() == 0)
        return;
    if (m_view.continuous) {
        if (m_surface.isEmpty())
            return;
        const int before = m_strip.y();
        m_strip.setY(before + (forward ? amount : -amount));
        m_strip.settle(m_surface.height());
        if (m_strip.y() == before) {
            atVolumeEnd(forward);
            return;
        }
        m_content.setHeight(m_strip.total());
        followStrip();
        emit placeChanged(false);
        return;
    }
    if (const std::optional<QPoint> to = PageView::scrolled(m_scroll, m_content, m_surface, amount, forward)) {
        m_scroll = *to;
        emit placeChanged(false);
        return;
    }
    if (forward) {
        stepForward();
        return;
    }
    m_landAtEnd = true;
    stepBack();
    m_landAtEnd = false;
}

void ReadingSession::scrollTo(int y)
{
    if (m_view.continuous) {
        m_strip.measureThrough(y);
        m_strip.setY(y);
        if (!m_surface.isEmpty()) {
            m_strip.settle(m_surface.height());
            followStrip();
        }
    } else {
        m_scroll = PageView::clampScroll(QPoint(m_scroll.x(), y), m_content, m_surface);
    }
    emit placeChanged(false);
}

void ReadingSession::scrollScreen(bool forward)
{
    scrollBy(qMax(m_surface.height(), 1), forward);
}

void ReadingSession::scrollLine(bool forward)
{
    scrollBy(PageView::lineStep(m_surface.height()), forward);
}

bool ReadingSession::panBy(QPoint delta)
{
    const QPoint before = scrollOffset();
    m_scroll = PageView::clampScroll(QPoint(m_scroll.x() + delta.x(), m_scroll.y() + delta.y()), m_content, m_surface);
    if (m_view.continuous) {
        m_strip.setY(before.y() + delta.y());
        m_strip.settle(m_surface.height());
        m_content.setHeight(m_strip.total());
        followStrip();
    }
    if (scrollOffset() == before)
        return false;
    emit placeChanged(false);
    return true;
}
