#include "listing/VolumeNames.h"
#include "listing/FileKinds.h"

#include <QSet>

QStringList VolumeNames::deriveVolumes(MemberTable &table)
{
    QStringList names;
    for (int i = 1; i <= table.upper(); ++i) {
        MemberRecord &r = table.at(i);
        if (FileKinds::isJunkMember(r.folder, r.fileName))
            continue;
        if (r.folder.isEmpty()) {
            if (r.fileName.isEmpty() || !r.fileName.contains(QLatin1Char('.')))
                continue;
            const QString ext = FileKinds::extensionOf(r.fileName);
            if (FileKinds::Is_ImageExt(ext))
                r.volumeName = QStringLiteral("/");
            else if (FileKinds::isArchiveExt(ext))
                r.volumeName = r.fileName;
        } else {
            const bool mixedDeep = r.folder.count(QLatin1Char('\\')) >= 2 && r.folder.count(QLatin1Char('/')) >= 2;
            if (!mixedDeep && r.fileName.contains(QLatin1Char('.')) &&
                FileKinds::Is_ImageExt(FileKinds::extensionOf(r.fileName)))
                r.volumeName = r.folder;
        }
    }
    // Distinct names in order of first appearance (exact comparison), found
    // through a set: an archive may hold as many folders as members.
    QSet<QString> seen;
    for (int i = 1; i <= table.upper(); ++i) {
        const QString &v = table.at(i).volumeName;
        if (!v.isEmpty() && !seen.contains(v)) {
            seen.insert(v);
            names << v;
        }
    }
    return names;
}
