#include "FakeHost.h"
#include "archive/Cls_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace {
bool isImage(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    static const QStringList exts = {"jpeg", "jpg", "ani", "bmp", "png", "gif", "img"};
    return exts.contains(name.mid(dot + 1).toLower());
}

// Volume naming of the page list: root images form "/", root archives their own
// volume, images in a folder the folder's volume.
QString volumeOf(const QString &folder, const QString &name)
{
    if (folder.isEmpty()) {
        if (isImage(name))
            return QStringLiteral("/");
        const QString lower = name.toLower();
        if (lower.endsWith(u".zip") || lower.endsWith(u".rar"))
            return name;
        return QString();
    }
    if (folder.count(u'\\') >= 2 && folder.count(u'/') >= 2)
        return QString();
    return isImage(name) ? folder : QString();
}
} // namespace

FakeHost::FakeHost(const QString &folder, bool makeTmpZip)
    : prog(ProgramPaths::inFolder(folder), &prompts)
{
    prog.lang.load();
    if (makeTmpZip)
        QDir().mkpath(prog.paths.tmpZip());
}

FakeHost::~FakeHost() = default;

void FakeHost::takeZipListing()
{
    members.discard();
    cUnzip &z = *prog.ZipReader;
    members.dimension(z.FileCount());
    for (int i = 1; i <= z.FileCount(); ++i)
        members.at(i) = {z.FileName(i), z.FileDirectory(i), volumeOf(z.FileDirectory(i), z.FileName(i))};
}

void FakeHost::takeRarListing()
{
    members.discard();
    Cls_Rar &r = *prog.RarReader;
    members.dimension(r.Get_FileCount());
    for (qint16 i = 1; i <= r.Get_FileCount(); ++i)
        members.at(i) = {r.RarFileName(i), r.RarFolderName(i), volumeOf(r.RarFolderName(i), r.RarFileName(i))};
}

void FakeHost::openZip(const QString &path)
{
    prog.OpenPath = path;
    prog.IsArchive = true;
    prog.ArchiveKind = 0;
    Mo_Unzip::ListZip(*this, path);
    takeZipListing();
}

void FakeHost::openRar(const QString &path)
{
    prog.OpenPath = path;
    prog.IsArchive = true;
    prog.ArchiveKind = 1;
    if (!prog.RarReader)
        prog.RarReader = std::make_unique<Cls_Rar>(this);
    prog.RarReader->setRarFile(path);
    prog.RarReader->Rar_Directory();
    takeRarListing();
}

QStringList FakeHost::tmpFiles() const
{
    QStringList files = QDir(tmpZip()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    files.sort();
    return files;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList treeOf(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}
