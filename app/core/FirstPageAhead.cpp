#include "core/FirstPageAhead.h"

#include "archive/Mo_Unzip.h"
#include "core/PageGeometry.h"
#include "core/Program.h"
#include "core/ReadingSession.h"
#include "core/VolumeRules.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace {

// A page file larger than this is left to the ordinary draw: its bytes are held
// until the window's draw compares them.
constexpr qint64 kLargestHeldPage = qint64(64) << 20;

// The worker's session tells nobody anything: whatever it meets, the window's
// session meets again and reports. Its questions are answered as in a headless
// run, without the headless run's line on standard error.
class QuietPrompts : public SilentPrompts
{
public:
    MsgResult messageBox(QWidget *, const QString &, const QString &, MsgIcon, MsgButtons buttons) override
    {
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
};

QByteArray contentsOf(const QString &file, qint64 largest)
{
    QFile f(file);
    if (!QFileInfo(file).isFile() || f.size() > largest || !f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Removes the scratch folder as TmpZip is emptied: a link standing in its place
// goes as a link, read-only files go too.
void removeScratch(const QString &scratch)
{
    QString ignored;
    Mo_Unzip::ClearFolder(scratch, QString(), QString(), ignored);
}

} // namespace

FirstPageAhead::~FirstPageAhead()
{
    {
        const std::lock_guard<std::mutex> l(m_lock);
        m_cancelled = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

QString FirstPageAhead::scratchFolder(const ProgramPaths &paths)
{
    return paths.scratchRoot() + QStringLiteral("/TmpAhead");
}

void FirstPageAhead::start(const Book &book, IImgPicture *picture)
{
    if (m_worker.joinable() || !picture || !picture->Decoder())
        return;
    m_pending = true;
    m_worker = std::thread([this, book, picture] { run(book, picture); });
}

void FirstPageAhead::setSurface(QSize surface, bool hundred, qreal ratio)
{
    if (!m_pending || surface.isEmpty())
        return;
    {
        const std::lock_guard<std::mutex> l(m_lock);
        if (m_decoding || m_done)
            return;
        m_surface = surface;
        m_hundred = hundred;
        m_ratio = ratio;
    }
    m_changed.notify_all();
}

bool FirstPageAhead::waitForSurface(QSize &surface, bool &hundred, qreal &ratio)
{
    std::unique_lock<std::mutex> l(m_lock);
    m_changed.wait(l, [this] { return m_cancelled || m_surface.isValid(); });
    if (m_cancelled)
        return false;
    surface = m_surface;
    hundred = m_hundred;
    ratio = m_ratio;
    return true;
}

void FirstPageAhead::run(Book book, IImgPicture *picture)
{
    const PictureDecoder decoder = picture->Decoder();
    const QString scratch = scratchFolder(book.paths);
    // What a run that was killed left behind goes first.
    removeScratch(scratch);

    QString file;
    QByteArray bytes;
    {
        const ProgramPaths paths = book.paths.writingInto(scratch);
        QDir().mkpath(paths.tmpZip());
        QuietPrompts prompts;
        Program own(paths, &prompts);
        own.lang = book.lang;
        ReadingSession session(own);
        session.Cmd_Folder = book.Cmd_Folder;
        session.Cmd_File = book.Cmd_File;
        session.setOption(ReadingSession::TwoPage, book.viewMode == ViewMode::TwoPage);
        try {
            // The volumes first: a volume that comes out whole (a RAR, 7z or tar
            // volume, or an archive standing as a volume) would be written twice
            // over, and is left to the window's session alone.
            session.setListingOnly(true);
            session.openCommandLineSource();
            session.setListingOnly(false);
            const int wanted = session.volumeToOpen();
            const int v = wanted >= 0 && wanted < session.volumeCount() ? wanted : 0;
            const bool pageByPage = !own.IsArchive || own.ArchiveKind == ArchiveKind::Zip;
            if (pageByPage && v < session.volumeCount() && !VolumeRules::isNestedArchiveVolume(session.volumeText(v))) {
                session.selectVolume(v);
                const int k = session.currentStep().first;
                if (k < session.pageCount()) {
                    session.extractEntry(k);
                    file = session.Page_Path(k);
                    bytes = contentsOf(file, kLargestHeldPage);
                }
            }
        } catch (const std::exception &) {
            // The window's session meets the same fault and reports it.
            bytes.clear();
        }
    }

    float w = 0, h = 0;
    if (!bytes.isEmpty())
        picture->GetImageSize(file, w, h);
    QSize surface;
    bool hundred = false;
    qreal ratio = 1.0;
    if (w > 0 && h > 0) {
        {
            const std::lock_guard<std::mutex> l(m_lock);
            if (!m_cancelled) {
                m_bytes = bytes;
                m_name = file;
                m_havePage = true;
            }
        }
        bytes = QByteArray();
        m_changed.notify_all();
        if (waitForSurface(surface, hundred, ratio)) {
            const qint16 n = book.viewMode == ViewMode::TwoPage ? 2 : 1;
            const QSize drawn = PageGeometry::drawnSize(w, h, n, hundred, surface.width(), surface.height());
            // Where the draw will put it: alone, or (reading left to right) the
            // spread's left half.
            const QSize size = PageGeometry::toDevice(
                PageGeometry::placed(n == 2 ? PageGeometry::LeftHalf : PageGeometry::Alone, drawn, surface), ratio)
                                   .size();
            bool go = false;
            {
                const std::lock_guard<std::mutex> l(m_lock);
                go = !m_cancelled && !size.isEmpty();
                m_decoding = go;
                m_size = size;
            }
            std::optional<QImage> image;
            if (go)
                image = decoder(file, size.width(), size.height());
            const std::lock_guard<std::mutex> l(m_lock);
            m_image = std::move(image);
        }
    }
    {
        const std::lock_guard<std::mutex> l(m_lock);
        m_done = true;
    }
    m_changed.notify_all();
    removeScratch(scratch);
}

std::optional<QImage> FirstPageAhead::take(const QString &file, QSize size)
{
    if (!m_pending)
        return std::nullopt;
    m_pending = false;
    bool match = false;
    {
        const std::lock_guard<std::mutex> l(m_lock);
        // A page the worker has not begun to decode at this very size is not
        // waited for: the draw decodes it as fast as the worker would.
        match = m_havePage && (m_decoding || m_done) && m_size == size;
    }
    // The bytes are fixed once the page is known; the draw's own file is read
    // here, after the window's session has extracted it.
    if (match)
        match = m_bytes == contentsOf(file, m_bytes.size());
    std::unique_lock<std::mutex> l(m_lock);
    // The early page serves one draw at most: its bytes are not needed again.
    m_bytes = QByteArray();
    if (!match) {
        m_cancelled = true;
        l.unlock();
        m_changed.notify_all();
        return std::nullopt;
    }
    m_changed.wait(l, [this] { return m_done; });
    std::optional<QImage> image = std::move(m_image);
    m_image.reset();
    if (!image || image->isNull())
        return std::nullopt;
    m_served = true;
    return image;
}

void FirstPageAhead::finish()
{
    m_pending = false;
    {
        const std::lock_guard<std::mutex> l(m_lock);
        m_cancelled = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

bool FirstPageAhead::settled() const
{
    const std::lock_guard<std::mutex> l(m_lock);
    return m_decoding || m_done;
}

QSize FirstPageAhead::decodedSize() const
{
    const std::lock_guard<std::mutex> l(m_lock);
    return m_decoding ? m_size : QSize();
}
