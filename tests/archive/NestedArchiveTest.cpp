#include "FakeHost.h"
#include "support/RarWriter.h"
#include "support/ZipWriter.h"
#include "archive/Mo_Rar.h"
#include "archive/Mo_Unzip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray zipBytes(const QString &path, const std::function<void(ZipWriter &)> &fill)
{
    {
        ZipWriter z(path);
        fill(z);
    }
    return readFile(path);
}

class NestedArchiveTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeHost host{dir.path()};
    QString scratch() const { return dir.path() + "/scratch.bin"; }
    QByteArray innerZip(bool rootImages = true)
    {
        return zipBytes(scratch(), [&](ZipWriter &z) {
            if (rootImages) {
                z.addFile("p2.jpg", "inner two");
                z.addFile("p1.jpg", "inner one");
            }
            z.addFile("sub/deep.jpg", "not a page of a nested archive");
            z.addFile("readme.txt", "no page");
        });
    }
    QByteArray innerRar(bool rootImages = true)
    {
        RarWriter w(RarWriter::Version::Rar5);
        if (rootImages) {
            w.addFile("r2.jpg", "rar two");
            w.addFile("r1.jpg", "rar one");
        }
        w.addFile("sub/deep.jpg", "folder page");
        return w.bytes();
    }
    void selectVolume(const QString &volume)
    {
        host.cbList = QStringList{"/", volume};
        host.cbIndex = 1;
        host.noImageVisible = false;
        if (host.prog.ArchiveKind == 0)
            Mo_Unzip::SelectZipVolume(host, volume);
        else
            Mo_Rar::SelectRarVolume(host, volume);
    }
};

TEST_F(NestedArchiveTest, ZipInsideZipListsItsRootImagesAndStaysInTmpZip)
{
    const QByteArray inner = innerZip();
    const QString outer = dir.path() + "/outer.zip";
    zipBytes(outer, [&](ZipWriter &z) {
        z.addFile("cover.jpg", "c");
        z.addFile("inner.zip", inner, true);
    });
    host.openZip(outer);
    selectVolume("inner.zip");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), QStringList{"inner.zip"});
    EXPECT_FALSE(host.noImageVisible);
    EXPECT_EQ(host.cbListText(), "inner.zip");
    // Drawing reads the pages out of the nested archive.
    Mo_Unzip::ExtractZipMember(host, host.tmpZip() + "/inner.zip", "p1.jpg");
    EXPECT_EQ(readFile(host.tmpZip() + "/p1.jpg"), "inner one");
    // Switching back to the outer volume leaves no nested archive behind.
    Mo_Unzip::SelectZipVolume(host, "/");
    EXPECT_TRUE(host.tmpFiles().isEmpty());
}

TEST_F(NestedArchiveTest, ANestedArchiveWithoutRootImagesIsMarked)
{
    const QByteArray inner = innerZip(false);
    const QString outer = dir.path() + "/outer.zip";
    zipBytes(outer, [&](ZipWriter &z) { z.addFile("inner.zip", inner); });
    host.openZip(outer);
    selectVolume("inner.zip");
    EXPECT_TRUE(host.pages().isEmpty());
    EXPECT_EQ(host.cbListText(), QString::fromUtf8("ⓧ inner.zip"));
    EXPECT_TRUE(host.noImageVisible);
}

TEST_F(NestedArchiveTest, RarInsideZipIsExtractedWholeThenDeleted)
{
    const QByteArray inner = innerRar();
    const QString outer = dir.path() + "/outer.zip";
    zipBytes(outer, [&](ZipWriter &z) { z.addFile("inner.rar", inner); });
    host.openZip(outer);
    selectVolume("inner.rar");
    EXPECT_EQ(host.pages(), (QStringList{"r1.jpg", "r2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"r1.jpg", "r2.jpg"}));
    EXPECT_EQ(readFile(host.tmpZip() + "/r2.jpg"), "rar two");
}

TEST_F(NestedArchiveTest, RarWithoutRootImagesExtractsNothing)
{
    const QByteArray inner = innerRar(false);
    const QString outer = dir.path() + "/outer.zip";
    zipBytes(outer, [&](ZipWriter &z) { z.addFile("inner.rar", inner); });
    host.openZip(outer);
    selectVolume("inner.rar");
    EXPECT_TRUE(host.pages().isEmpty());
    EXPECT_EQ(host.cbListText(), QString::fromUtf8("ⓧ inner.rar"));
    EXPECT_TRUE(host.noImageVisible);
    EXPECT_TRUE(host.tmpFiles().isEmpty()) << "no page extracted, and the spent nested archive is gone";
}

TEST_F(NestedArchiveTest, ZipInsideRar)
{
    const QByteArray inner = innerZip();
    RarWriter w(RarWriter::Version::Rar4);
    w.addFile("Cover.jpg", "c");
    w.addFile("inner.zip", inner);
    ASSERT_TRUE(w.write(dir.path() + "/outer.rar"));
    host.openRar(dir.path() + "/outer.rar");
    selectVolume("inner.zip");
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), QStringList{"inner.zip"});
    Mo_Unzip::ExtractZipMember(host, host.tmpZip() + "/inner.zip", "p2.jpg");
    EXPECT_EQ(readFile(host.tmpZip() + "/p2.jpg"), "inner two");
}

TEST_F(NestedArchiveTest, ARarFoundInAnOpenedFolderIsNeverDeleted)
{
    const QString book = dir.path() + "/library/book.rar";
    QDir().mkpath(dir.path() + "/library");
    QFile f(book);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(innerRar());
    f.close();
    host.prog.IsArchive = false;
    host.prog.OpenPath = dir.path() + "/library";
    host.cbList = QStringList{"book.rar"};
    Mo_Rar::ListNestedRar(host, book);
    EXPECT_EQ(host.pages(), (QStringList{host.tmpZip() + "/r1.jpg", host.tmpZip() + "/r2.jpg"}));
    EXPECT_EQ(host.tmpFiles(), (QStringList{"r1.jpg", "r2.jpg"}));
    EXPECT_TRUE(QFileInfo::exists(book));
}

TEST_F(NestedArchiveTest, AZipFoundInAnOpenedFolderListsItsPages)
{
    const QString book = dir.path() + "/library/book.zip";
    QDir().mkpath(dir.path() + "/library");
    const QByteArray inner = innerZip();
    QFile f(book);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inner);
    f.close();
    host.prog.IsArchive = false;
    host.cbList = QStringList{"book.zip"};
    Mo_Unzip::ListNestedZip(host, book);
    EXPECT_EQ(host.pages(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_TRUE(QFileInfo::exists(book));
    EXPECT_TRUE(host.tmpFiles().isEmpty());
}
} // namespace
