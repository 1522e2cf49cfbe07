// The archive readers under the built program's --list mode, as a script runs it.
#include "support/RarWriter.h"
#include "support/RunLeafview.h"
#include "support/ZipWriter.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ArchiveList, NestedArchivesAndLegacyNamesListAsVolumes)
{
    QTemporaryDir d;
    {
        ZipWriter inner(d.path() + "/inner.zip");
        inner.addFile("b.jpg", "b");
        inner.addFile("a.jpg", "a");
        inner.addFile("deep/c.jpg", "not a page of a nested archive");
    }
    {
        ZipWriter empty(d.path() + "/empty.zip");
        empty.addFile("deep/x.jpg", "x");
    }
    RarWriter rar(RarWriter::Version::Rar4);
    rar.addFile("r1.jpg", "r");
    QStringEncoder cp949("CP949");
    {
        ZipWriter outer(d.path() + "/book.zip");
        outer.addFile("cover.jpg", "c");
        outer.addRawName(cp949.encode(QString::fromUtf8("권1/둘.jpg")), "2");
        outer.addRawName(cp949.encode(QString::fromUtf8("권1/하나.jpg")), "1");
        outer.addFile("inner.zip", fileBytes(d.path() + "/inner.zip"));
        outer.addFile("inner.rar", rar.bytes());
        outer.addFile("empty.zip", fileBytes(d.path() + "/empty.zip"));
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

TEST(ArchiveList, AnUnreadableRarIsReportedAndTheProgramGoesOn)
{
    QTemporaryDir d;
    QFile f(d.path() + "/broken.rar");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("plain text pretending to be an archive");
    f.close();
    const ProcessResult r = runLeafview({"--list", d.path() + "/broken.rar"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(d.path() + "/broken.rar is not RAR archive")) << qPrintable(r.err);
}
} // namespace
