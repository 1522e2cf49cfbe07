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
}

// ---------------------------------------------------------------- the source

void ReadingSession::Open_Source()
{
    if (m_app.IsArchive && m_app.ArchiveKind == ArchiveKind::Zip) {
        Mo_Unzip::ListZip(*this, m_app.OpenPath);
        // Rebuilt even when the archive listed nothing, so an unreadable archive
        // never leaves the previous book's volumes and pages behind.
        VBZip_ArchiveUpdate();
    } else if (m_app.IsArchive && ArchiveKinds::extractsWholeVolumes(m_app.ArchiveKind)) {
        ArchiveReader &reader = TmpZipFolder::rarReader(*this, m_app.ArchiveKind);
        reader.setFile(m_app.OpenPath);
        reader.list();
        VBUnRar_ArchiveUpdate();
    } else if (!m_app.IsArchive) {
        Folder_Scan();
    }
    // An archive of neither kind opens nothing: scanning its path as a folder would
    // only wipe the book that is open.
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
        // Whatever went wrong was logged, and the reader who wrote it told already.
        if (volumeCount() == 0 && m_app.ErrorLog.size() == logged)
            tell(m_app.lang.Msg_NoPages.arg(path));
    }
    Cmd_Folder.clear();
    Cmd_File.clear();
}

void ReadingSession::VBZip_ArchiveUpdate()
{
    m_members.discard();
    cUnzip &zip = TmpZipFolder::zipReader(*this);
    const qint32 n = zip.FileCount();
    m_members.dimension(n);
    for (qint32 i = 1; i <= n; ++i)
        m_members.at(i) = {zip.FileName(i), zip.FileDirectory(i), QString()};
    Volume_Build();
}

void ReadingSession::VBUnRar_ArchiveUpdate()
{
    m_members.discard();
    const ArchiveReader &rar = TmpZipFolder::rarReader(*this);
    const int n = rar.count();
    m_members.dimension(n);
    for (int i = 1; i <= n; ++i)
        m_members.at(i) = {rar.member(i).fileName, rar.member(i).folder, QString()};
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
    SortedList sorted;
    sorted.AddItems(VolumeRules::deriveVolumes(m_members));
    setVolumes(sorted.items());
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
    m_loadedVolume = m_volumeIndex;
    const QString volume = currentVolume();
    emit volumeLoadStarted(volume);
    // A failure while listing leaves what was listed; the switch still ends normally.
    try {
        if (m_app.IsArchive && m_app.ArchiveKind != ArchiveKind::Zip)
            Mo_Rar::SelectRarVolume(*this, volume);
        else if (m_app.IsArchive)
            Mo_Unzip::SelectZipVolume(*this, volume);
        else
            Volume_Pages(volume);
    } catch (const std::exception &e) {
        m_app.logError(QString::fromUtf8(e.what()));
    }
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
    IsProcess = false;
}

void ReadingSession::Volume_Pages(const QString &volumeName)
{
    m_list1.Clear();
    const QString root = VolumeRules::folderRoot(m_app.OpenPath);
    // Only an archive volume is listed as a nested archive: a sub-folder whose
    // name merely holds a "." ("Vol.1/") is an ordinary folder of pages.
    const ArchiveKind kind = VolumeRules::archiveKindOfExt(VolumeRules::extensionOf(volumeName));
    QStringList pages;
    for (int i = 1; i <= m_members.upper(); ++i) {
        const MemberRecord &r = m_members.at(i);
        if (r.volumeName != volumeName)
            continue;
        if (kind == ArchiveKind::Zip)
            Mo_Unzip::ListNestedZip(*this, root + r.fileName);
        else if (ArchiveKinds::extractsWholeVolumes(kind))
            Mo_Rar::ListNestedRar(*this, root + r.fileName);
        else
            pages << root + r.folder + r.fileName;
    }
    m_list1.AddItems(std::move(pages));
    TmpZipFolder::pagesAddressable(*this, volumeName);
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
