#include "FakeHost.h"

namespace {
class NestedArchiveTest : public ArchiveTest
{
protected:
    enum class Layout { Root, Folders, None };
    // A ZIP or RAR holding pages p2 and p1 at its root and one in a folder (Root),
    // pages only in folders (Folders), or no page at all (None).
    QByteArray inner(const QString &name, Layout layout = Layout::Root)
    {
        Files files;
        if (layout == Layout::Root)
            files = {{"p2.jpg", "two"}, {"p1.jpg", "one"}, {"sub/deep.jpg", "not a page: the root has pages"}};
        else if (layout == Layout::Folders)
            files = {{"Vol 10/p1.jpg", "ten-1"}, {"Vol 9/p1.jpg", "nine-1"}, {"Vol 9/p2.jpg", "nine-2"},
                     {"__MACOSX/Vol 9/._p1.jpg", "fork"}, {"Vol 9/._p2.jpg", "fork"}};
        else
            files = {{"sub/notes.txt", "no page"}};
        const QString path = at("scratch/" + name);
        QDir().mkpath(at("scratch"));
        return readFile(name.endsWith(".zip") ? makeZip(path, files) : makeRar(path, RarWriter::Version::Rar5, files));
    }
    // Opens an outer archive holding a cover and `name`, then selects the volume `name`.
    void openOuter(const QString &outer, const QString &name, const QByteArray &bytes)
    {
        const Files files = {{"cover.jpg", "c"}, {name, bytes}};
        host.open(outer.endsWith(".zip") ? makeZip(at(outer), files) : makeRar(at(outer), RarWriter::Version::Rar4, files));
        host.cbList = QStringList{"/", name};
        host.cbIndex = 1;
        host.noImageVisible = false;
        host.selectVolume(name);
    }
};

TEST_F(NestedArchiveTest, AZipInsideAZipOrRarListsItsRootPagesAndStaysInTmpZip)
{
    for (const QString outer : {"outer.rar", "outer.zip"}) {
        openOuter(outer, "inner.zip", inner("inner.zip"));
        EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg"})) << outer.toStdString();
        EXPECT_EQ(host.tmpFiles(), QStringList{"inner.zip"});
        EXPECT_EQ(host.cbListText(), "inner.zip");
        EXPECT_FALSE(host.noImageVisible);
        // Drawing reads the pages out of the nested archive.
        Mo_Unzip::ExtractZipMember(host, host.tmpZip() + "/inner.zip", "p2.jpg");
        EXPECT_EQ(readFile(host.tmpZip() + "/p2.jpg"), "two");
    }
    // Switching back to the outer volume leaves no nested archive behind.
    host.selectVolume("/");
    EXPECT_TRUE(host.tmpFiles().isEmpty());
}

TEST_F(NestedArchiveTest, ARarInsideAZipIsExtractedWholeThenDeleted)
{
    openOuter("outer.zip", "inner.rar", inner("inner.rar"));
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/p2.jpg"), "two");
}

TEST_F(NestedArchiveTest, ANestedArchiveWithoutRootPagesIsMarked)
{
    for (const QString name : {"inner.zip", "inner.rar"}) {
        openOuter("outer.zip", name, inner(name, Layout::None));
        EXPECT_TRUE(host.pages().isEmpty());
        EXPECT_EQ(host.cbListText(), QString::fromUtf8("ⓧ ") + name);
        EXPECT_TRUE(host.noImageVisible);
    }
    EXPECT_TRUE(host.tmpFiles().isEmpty()) << "no page extracted, and the spent nested RAR is gone";
}

TEST_F(NestedArchiveTest, PagesInFoldersOfANestedArchiveStandFolderByFolderEachUnderItsOwnName)
{
    const QStringList entries = {"Vol 9\\p1.jpg", "Vol 9\\p2.jpg", "Vol 10\\p1.jpg"};
    openOuter("outer.rar", "inner.zip", inner("inner.zip", Layout::Folders));
    ASSERT_EQ(host.pages(), entries);
    EXPECT_FALSE(host.noImageVisible);
    for (const QString &e : entries)
        Mo_Unzip::ExtractZipMember(host, host.tmpZip() + "/inner.zip", e, e);
    EXPECT_EQ(readFile(host.tmpZip() + "/Vol 9\\p1.jpg"), "nine-1");
    EXPECT_EQ(readFile(host.tmpZip() + "/Vol 10\\p1.jpg"), "ten-1");

    openOuter("outer.zip", "inner.rar", inner("inner.rar", Layout::Folders));
    // RAR folder texts are lower-cased by the reader.
    ASSERT_EQ(host.pages(), (QStringList{"vol 9\\p1.jpg", "vol 9\\p2.jpg", "vol 10\\p1.jpg"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/vol 9\\p1.jpg"), "nine-1");
    EXPECT_EQ(readFile(host.tmpZip() + "/vol 10\\p1.jpg"), "ten-1");
}

TEST_F(NestedArchiveTest, ArchivesInAnOpenedFolderListTheirPagesAndAreNeverDeleted)
{
    writeFile(at("library/book.rar"), inner("inner.rar"));
    writeFile(at("library/book.zip"), inner("inner.zip"));
    host.prog.IsArchive = false;
    host.prog.OpenPath = at("library");
    // A load given up lists nothing of them.
    host.givenUp = true;
    for (const char *book : {"book.rar", "book.zip"}) {
        host.cbList = QStringList{book};
        if (QByteArray(book).endsWith("zip"))
            Mo_Unzip::ListNestedZip(host, at(QStringLiteral("library/") + book));
        else
            Mo_Rar::ListNestedRar(host, at(QStringLiteral("library/") + book));
        EXPECT_TRUE(host.pages().isEmpty()) << book;
    }
    host.givenUp = false;
    host.cbList = QStringList{"book.rar"};
    Mo_Rar::ListNestedRar(host, at("library/book.rar"));
    EXPECT_EQ(host.pages(), (QStringList{host.tmpZip() + "/p1.jpg", host.tmpZip() + "/p2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p2.jpg"}));
    host.cbList = QStringList{"book.zip"};
    Mo_Unzip::ListNestedZip(host, at("library/book.zip"));
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_TRUE(host.tmpFiles().isEmpty());
    EXPECT_EQ(treeOf(at("library")), (QStringList{"book.rar", "book.zip"}));
}
} // namespace
#include "platform/TextOrder.h"
