#include "archive/ArchiveHandle.h"
#include "archive/Crc32.h"
#include "archive/RarChecksums.h"

#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

namespace {
TEST(Crc32, MatchesTheStandardCheckValue)
{
    EXPECT_EQ(Crc32::update(0, "123456789", 9), 0xcbf43926u);
    // Split anywhere, the running value is the same.
    EXPECT_EQ(Crc32::update(Crc32::update(0, "12345", 5), "6789", 4), 0xcbf43926u);
    EXPECT_EQ(Crc32::update(0, "", 0), 0u);
}

// The header walk must agree with archives made by RAR itself: one record per entry
// the library yields, and every checksum it offers holding for the data.
TEST(RarChecksums, AgreeWithRealArchives)
{
    int checked = 0;
    for (const char *name :
         {"test_read_format_rar.rar", "test_read_format_rar_windows.rar", "test_read_format_rar_unicode.rar",
          "test_read_format_rar_compress_normal.rar", "test_read_format_rar5_stored.rar",
          "test_read_format_rar5_win32.rar", "test_read_format_rar5_symlink.rar",
          "test_read_format_rar5_multiple_files.rar", "test_read_format_rar5_unicode.rar",
          "test_read_format_rar5_hardlink.rar", "test_read_format_rar5_solid.rar"}) {
        const QString path = QStringLiteral(LEAFVIEW_FIXTURES "/libarchive/") + name;
        const std::vector<RarChecksums::Member> sums = RarChecksums::read(path);
        ArchiveHandle h(ArchiveHandle::Kind::Rar);
        ASSERT_EQ(h.open(path), ARCHIVE_OK);
        archive *a = h.get();
        archive_entry *e;
        std::size_t i = 0;
        while (archive_read_next_header(a, &e) == ARCHIVE_OK) {
            ASSERT_LT(i, sums.size()) << name;
            // A link's stored data is its target or a reference, which the library does not hand out.
            if (sums[i].crc && archive_entry_filetype(e) == AE_IFREG && !archive_entry_hardlink(e)) {
                EXPECT_EQ(sums[i].unpackedSize, archive_entry_size(e)) << name << " " << i;
                char buf[8192];
                quint32 crc = 0;
                la_ssize_t n;
                while ((n = archive_read_data(a, buf, sizeof buf)) > 0)
                    crc = Crc32::update(crc, buf, size_t(n));
                EXPECT_EQ(crc, *sums[i].crc) << name << " " << i;
                ++checked;
            }
            ++i;
        }
        EXPECT_EQ(i, sums.size()) << name;
    }
    EXPECT_GT(checked, 3);
}
} // namespace
