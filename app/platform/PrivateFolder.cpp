#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// The folder the handler removes, kept where a signal handler may read it.
char g_folder[PATH_MAX];
struct sigaction g_previous[3];
constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};

struct LinuxDirent64
{
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

// Removes what lies in the folder open as `fd`, depth first, with calls that are
// safe in a signal handler only (no allocation, no stdio, no locks).
void emptyAt(int fd, int depth)
{
    alignas(LinuxDirent64) char buf[4096];
    for (;;) {
        const long n = syscall(SYS_getdents64, fd, buf, sizeof buf);
        if (n <= 0)
            return;
        bool removed = false;
        for (long off = 0; off < n;) {
            auto *d = reinterpret_cast<LinuxDirent64 *>(buf + off);
            off += d->d_reclen;
            const char *name = d->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            if (unlinkat(fd, name, 0) == 0) {
                removed = true;
                continue;
            }
            if (depth < 8) {
                const int sub = openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub >= 0) {
                    emptyAt(sub, depth + 1);
                    close(sub);
                }
            }
            if (unlinkat(fd, name, AT_REMOVEDIR) == 0)
                removed = true;
        }
        // Entries removed while reading: read the folder again from its start.
        if (removed)
            lseek(fd, 0, SEEK_SET);
    }
}

void onTermination(int sig)
{
    if (g_folder[0]) {
        const int fd = open(g_folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            emptyAt(fd, 0);
            close(fd);
        }
        rmdir(g_folder);
    }
    // Ends the way the signal would have ended the process.
    signal(sig, SIG_DFL);
    raise(sig);
}

bool running(qint64 pid)
{
    return pid > 0 && pid <= INT_MAX && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}
} // namespace

PrivateFolder::PrivateFolder(const QString &prefix)
{
    removeStale(prefix);
    // A stop that arrives between making the folder and arming the handler would
    // leave the folder behind: hold the signals until the handler is in place.
    sigset_t stops, before;
    sigemptyset(&stops);
    for (int s : kSignals)
        sigaddset(&stops, s);
    pthread_sigmask(SIG_BLOCK, &stops, &before);
    create(prefix);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void PrivateFolder::create(const QString &prefix)
{
    QTemporaryDir dir(QDir::tempPath() + QLatin1Char('/') + prefix + QLatin1Char('-') +
                      QString::number(::getpid()) + QStringLiteral("-XXXXXX"));
    if (!dir.isValid())
        return;
    dir.setAutoRemove(false);
    const QByteArray native = QFile::encodeName(dir.path());
    if (native.size() >= qsizetype(sizeof g_folder)) {
        dir.remove();
        return;
    }
    m_path = dir.path();
    std::memcpy(g_folder, native.constData(), std::size_t(native.size()) + 1);
    struct sigaction sa = {};
    sa.sa_handler = onTermination;
    sigemptyset(&sa.sa_mask);
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &sa, &g_previous[i]);
}

PrivateFolder::~PrivateFolder()
{
    if (m_path.isEmpty())
        return;
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
    g_folder[0] = '\0';
    QDir(m_path).removeRecursively();
}

void PrivateFolder::removeStale(const QString &prefix)
{
    const QString lead = prefix + QLatin1Char('-');
    QDir temp(QDir::tempPath());
    for (const QFileInfo &fi : temp.entryInfoList({lead + QLatin1Char('*')}, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden)) {
        // "<prefix>-<pid>-<random>", made by this user, whose process is gone.
        const QStringList parts = fi.fileName().mid(lead.size()).split(QLatin1Char('-'));
        bool ok = false;
        const qint64 pid = parts.value(0).toLongLong(&ok);
        if (!ok || parts.size() != 2 || fi.ownerId() != ::getuid() || running(pid))
            continue;
        QDir(fi.absoluteFilePath()).removeRecursively();
    }
}
