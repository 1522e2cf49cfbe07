// Starts of the program as a reader makes them, each a process of its own.
#include "RunLeafview.h"
#include "TestImages.h"
#include "TestProgramFolder.h"
#include "core/ResumeRecord.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {
void start(QProcess &p, const QString &program, const QStringList &args)
{
    p.setProcessEnvironment(offscreenEnvironment());
    p.start(program, args);
}

// The process id written in the data folder's lock file; 0 without one.
qint64 lockHolder(const QString &folder)
{
    QFile f(folder + "/leafview.lock");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readLine().trimmed().toLongLong();
}
} // namespace

TEST(Instances, ASecondStartHandsItsBookOverAndEveryCloseEndsItsProcess)
{
    QTemporaryDir dir;
    const QString folder = TestProgramFolder::populate(dir.path() + "/bin", true);
    ASSERT_FALSE(folder.isEmpty());
    const QString program = folder + "/leafview";
    const QString book = dir.path() + "/book";
    TestImages::writePages(book, 3, 8, 8);
    const QString resume = folder + "/" + ResumeRecord::fileName();

    QProcess first;
    start(first, program, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return lockHolder(folder) == first.processId(); }, 30000));
    QProcess second;
    start(second, program, {book});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    // The running window took the book: closing it records that book.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(30000));
    const std::optional<ResumeRecord> r = ResumeRecord::readFrom(resume);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->path, book);
    EXPECT_EQ(lockHolder(folder), 0);

    // A run killed outright leaves its lock behind; the next start is not blocked.
    QProcess killed;
    start(killed, program, {book});
    ASSERT_TRUE(QTest::qWaitFor([&] { return lockHolder(folder) == killed.processId(); }, 30000));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(30000));
    QFile::remove(resume);
    QProcess next;
    start(next, program, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return lockHolder(folder) == next.processId(); }, 30000));
    QProcess handing;
    start(handing, program, {book + "/p2.png"});
    ASSERT_TRUE(handing.waitForFinished(30000));
    next.terminate();
    ASSERT_TRUE(next.waitForFinished(30000));
    ASSERT_TRUE(ResumeRecord::readFrom(resume));
    EXPECT_EQ(ResumeRecord::readFrom(resume)->pagePosition, 1);
}
