#include "core/BookLoader.h"

#include "archive/ArchiveReader.h"
#include "archive/Mo_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/TmpZipFolder.h"
#include "archive/cUnzip.h"
#include "core/VolumeRules.h"

#include <exception>

// ---------------------------------------------------------------- in place or on a worker

namespace BookLoad {

bool listSource(ListingHost &host, const BookSource &source, bool commandFilePending)
{
    if (source.isArchive && source.kind == ArchiveKind::Zip) {
        TmpZipFolder::zipReader(host).setListCancel(host.cancelFlag());
        Mo_Unzip::ListZip(host, source.path);
        TmpZipFolder::zipReader(host).setListCancel(nullptr);
        // Filled even when the archive listed nothing, so an unreadable archive
        // never leaves the previous book's volumes and pages behind.
        membersFrom(host.Member_Table(), TmpZipFolder::zipReader(host));
        return true;
    }
    if (source.isArchive) {
        ArchiveReader &reader = TmpZipFolder::rarReader(host, source.kind);
        reader.setFile(source.path);
        reader.setListCancel(host.cancelFlag());
        reader.list();
        reader.setListCancel(nullptr);
        membersFrom(host.Member_Table(), reader);
        return true;
    }
    return VolumeRules::scanFolder(source.path, commandFilePending, host.Member_Table());
}

void membersFrom(MemberTable &members, const ArchiveReader &reader)
{
    members.discard();
    const int n = reader.count();
    members.dimension(n);
    for (int i = 1; i <= n; ++i)
        members.at(i) = {reader.member(i).fileName, reader.member(i).folder, QString()};
}

QStringList volumesOf(MemberTable &members)
{
    if (!members.dimensioned() || members.upper() == 0)
        return {};
    SortedList sorted;
    sorted.AddItems(VolumeRules::deriveVolumes(members));
    return sorted.items();
}

void loadVolume(ListingHost &host, const BookSource &source, const QString &volume)
{
    if (source.isArchive && source.kind != ArchiveKind::Zip) {
        Mo_Rar::SelectRarVolume(host, volume);
        return;
    }
    if (source.isArchive) {
        Mo_Unzip::SelectZipVolume(host, volume);
        return;
    }
    SortedList &list = host.List1();
    list.Clear();
    const QString root = VolumeRules::folderRoot(source.path);
    // Only an archive volume is listed as a nested archive: a sub-folder whose
    // name merely holds a "." ("Vol.1/") is an ordinary folder of pages.
    const ArchiveKind kind = VolumeRules::archiveKindOfExt(VolumeRules::extensionOf(volume));
    const MemberTable &members = host.Member_Table();
    if (kind != ArchiveKind::None) {
        // The nested listing fills the page list and checks it itself; the list
        // is not touched after it (its pages may be shown while they come out).
        for (int i = 1; i <= members.upper(); ++i) {
            if (members.at(i).volumeName != volume)
                continue;
            if (kind == ArchiveKind::Zip)
                Mo_Unzip::ListNestedZip(host, root + members.at(i).fileName);
            else
                Mo_Rar::ListNestedRar(host, root + members.at(i).fileName);
        }
        return;
    }
    QStringList pages;
    for (int i = 1; i <= members.upper(); ++i) {
        const MemberRecord &r = members.at(i);
        if (r.volumeName == volume)
            pages << root + r.folder + r.fileName;
    }
    list.AddItems(std::move(pages));
    TmpZipFolder::pagesAddressable(host, volume);
}

} // namespace BookLoad

// ---------------------------------------------------------------- the worker's host

// What the readers see while they work for the loader: the load's own lists and
// readers, copies of what they read of the program, and the window's wait panel
// and messages kept for the window's thread.
class BookLoader::Stage : public ListingHost
{
public:
    Stage(BookLoader &loader) : m_loader(loader), m_req(loader.m_request), m_res(loader.m_result) {}

    MemberTable &Member_Table() override { return m_res.members; }
    SortedList &List1() override { return m_res.list1; }
    int cbListCount() const override { return int(m_res.volumes.size()); }
    QString cbListText() const override { return m_res.volumes.value(m_res.volumeIndex); }
    void setCbListText(const QString &t) override
    {
        if (m_res.volumeIndex >= 0 && m_res.volumeIndex < m_res.volumes.size())
            m_res.volumes[m_res.volumeIndex] = t;
    }
    const ProgramPaths &paths() const override { return m_req.paths; }
    QString tmpZip() const override { return m_req.paths.tmpZip(); }
    QString openPath() const override { return m_req.source.path; }
    bool isArchive() const override { return m_req.source.isArchive; }
    QString loadingMessage() const override { return m_req.loadingMessage; }
    QString titleText() const override { return m_req.titleText; }
    ListingTexts texts() const override { return m_req.texts; }
    void setNoImageVisible(bool visible) override { m_res.noImage = visible; }
    void ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &) override
    {
        m_loader.m_total.store(TotCount, std::memory_order_relaxed);
        m_loader.m_done.store(Percent, std::memory_order_relaxed);
        if (m_loader.m_hook)
            m_loader.m_hook(Percent, TotCount);
    }
    QString &errorLog() override { return m_res.errorLog; }
    void showMessage(const QString &title, const QString &text, MsgIcon icon) override
    {
        // Shown on the window's thread once the load has ended.
        m_res.messages.push_back({title, text, icon});
    }
    void pagesListed() override { emit m_loader.pagesListed(); }
    void memberWritten() override { emit m_loader.memberWritten(); }
    const std::atomic<bool> *cancelFlag() const override { return &m_loader.m_cancel; }
    std::unique_ptr<cUnzip> &zipReaderSlot() override { return m_res.zip; }
    std::unique_ptr<ArchiveReader> &rarReaderSlot() override { return m_res.rar; }

private:
    BookLoader &m_loader;
    const Request &m_req;
    Result &m_res;
};

// ---------------------------------------------------------------- the loader

BookLoader::BookLoader(QObject *parent) : QObject(parent) {}

BookLoader::~BookLoader()
{
    cancel();
    join();
}

void BookLoader::start(Request request)
{
    join();
    m_request = std::move(request);
    m_result = Result{};
    m_result.members = std::move(m_request.members);
    m_result.volumes = m_request.volumes;
    m_result.volumeIndex = m_request.volumeIndex;
    m_result.zip = std::move(m_request.zip);
    m_result.rar = std::move(m_request.rar);
    m_stage = std::make_unique<Stage>(*this);
    // The ZIP reader is an object of this thread, made here even for a book that
    // may not need it; the readers report to the load while they are lent to it.
    if (!m_result.zip)
        m_result.zip = std::make_unique<cUnzip>(m_stage.get());
    m_result.zip->setHost(m_stage.get());
    if (m_result.rar)
        m_result.rar->setHost(m_stage.get());
    m_cancel.store(false);
    m_done.store(0);
    m_total.store(0);
    m_running = true;
    m_worker = std::thread([this] { run(); });
}

void BookLoader::join()
{
    if (m_worker.joinable())
        m_worker.join();
}

void BookLoader::settle()
{
    join();
    m_running = false;
}

void BookLoader::run()
{
    Stage &stage = *m_stage;
    Result &r = m_result;
    const auto given = [this] { return m_cancel.load(); };
    try {
        if (m_request.what == What::Book) {
            r.listed = BookLoad::listSource(stage, m_request.source, m_request.commandFilePending);
            r.volumes = r.listed ? BookLoad::volumesOf(r.members) : QStringList();
            const int n = int(r.volumes.size());
            r.volumeIndex = n == 0 ? -1 : m_request.volumeToOpen >= 0 && m_request.volumeToOpen < n ? m_request.volumeToOpen : 0;
            if (m_hook)
                m_hook(0, 0);
        }
        if (r.volumeIndex >= 0 && !given()) {
            r.touchedTmpZip = true;
            BookLoad::loadVolume(stage, m_request.source, r.volumes.at(r.volumeIndex));
        }
    } catch (const std::exception &e) {
        stage.logError(QString::fromUtf8(e.what()));
    }
    if (m_hook)
        m_hook(-1, -1);
    r.cancelled = given();
    if (r.cancelled) {
        // Nothing of the book stays: the pages written so far, the nested archive.
        if (r.touchedTmpZip)
            TmpZipFolder::clear(stage);
    }
    emit finished();
}
