// The archive readers under the built program's --list mode, as a script runs it.
#include "FakeHost.h"
#include "support/RunLeafview.h"

#include <QStringEncoder>

namespace {
TEST(ArchiveList, NestedArchivesAndLegacyNamesListAsVolumes)
{
    QTemporaryDir d;
    const QByteArray inner = readFile(makeZip(d.path() + "/inner.zip", {{"b.jpg", "b"}, {"a.jpg", "a"},
                                                                       {"deep/c.jpg", "not a page of a nested archive"}}));
    const QByteArray empty = readFile(makeZip(d.path() + "/empty.zip", {{"deep/x.txt", "x"}}));
    QStringEncoder cp949("CP949");
    {
        ZipWriter outer(d.path() + "/book.zip");
        outer.addFile("cover.jpg", "c");
        outer.addRawName(cp949.encode(QString::fromUtf8("권1/둘.jpg")), "2");
        outer.addRawName(cp949.encode(QString::fromUtf8("권1/하나.jpg")), "1");
        outer.addFile("inner.zip", inner);
        outer.addFile("inner.rar", readFile(makeRar(d.path() + "/inner.rar", RarWriter::Version::Rar4, {{"r1.jpg", "r"}})));
        outer.addFile("empty.zip", empty);
        ASSERT_TRUE(outer.close());
    }
    const ProcessResult r = runLeafview({"--list", d.path() + "/book.zip"});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out.toStdString(), QString::fromUtf8("/\t1\n\tcover.jpg\n"
                                                     "ⓧ empty.zip\t0\n"
                                                     "inner.rar\t1\n\tr1.jpg\n"
                                                     "inner.zip\t2\n\ta.jpg\n\tb.jpg\n"
                                                     "권1\t2\n\t둘.jpg\n\t하나.jpg\n")
                                       .toStdString());
}

TEST(ArchiveList, AnUnreadableRarIsReportedAndTheListingFails)
{
    QTemporaryDir d;
    writeFile(d.path() + "/broken.rar", "plain text pretending to be an archive");
    const ProcessResult r = runLeafview({"--list", d.path() + "/broken.rar"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(d.path() + QString::fromUtf8("/broken.rar\nRAR 압축파일이 아니거나"))) << qPrintable(r.err);
}
} // namespace
