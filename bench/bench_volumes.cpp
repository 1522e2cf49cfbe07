// Opening's bookkeeping for archives of many folders: deriving the volumes and
// ordering them, and grouping every volume's pages as --list does. All of it
// grows as M log M in the number of members.
#include "BenchCase.h"

#include "listing/MemberTable.h"
#include "core/VolumeRules.h"
#include "platform/SortedList.h"

namespace {
void volumesOf(int members)
{
    MemberTable table;
    table.dimension(members);
    for (int i = 1; i <= members; ++i)
        table.at(i) = {QStringLiteral("p.jpg"), QStringLiteral("book\\v%1").arg(members - i), {}};
    const double derive = medianMs(3, [&] {
        SortedList volumes;
        volumes.AddItems(VolumeRules::deriveVolumes(table));
    });
    report(QStringLiteral("volumes: derive and order %1 folders").arg(members), derive, QStringLiteral("ms"));
    const double group = medianMs(3, [&] {
        const auto pages = VolumeRules::pageEntriesByVolume(table, true, QString());
        for (auto it = pages.begin(); it != pages.end(); ++it) {
            SortedList l;
            l.AddItems(it.value());
        }
    });
    report(QStringLiteral("volumes: group the pages of %1 folders").arg(members), group, QStringLiteral("ms"));
}

const BenchRegistrar manyFolders(QStringLiteral("volumes: 5,000 and 100,000 folders of one page"), [](const QString &) {
    volumesOf(5000);
    volumesOf(100000);
});
} // namespace
