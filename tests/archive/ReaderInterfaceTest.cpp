// The one reader interface, the same table of cases for every format.
#include "FakeHost.h"
#include "archive/ArchiveReader.h"
#include "archive/TmpZipWriter.h"
#include "support/SolidArchiveWriter.h"

#include <QDir>
#include <archive.h>
#include <archive_entry.h>

namespace {
struct Format
{
    const char *name; // the archive's file name
    ArchiveKind kind;
};

const Format formats[] = {{"book.cbz", ArchiveKind::Zip}, {"book.cbr", ArchiveKind::Rar},
                          {"book.cb7", ArchiveKind::SevenZip}, {"book.cbt", ArchiveKind::Tar}};
const Files pages = {{"Book/p1.jpg", "one"}, {"Book/p2.jpg", QByteArray(300000, 'b')}, {"Book/p3.jpg", "three"}};

QStringList partFiles(const QString &folder)
{
    return QDir(folder).entryList({".leafview-part*"}, QDir::Files | QDir::Hidden);
}
} // namespace

class ReaderInterfaceTest : public ArchiveTest, public ::testing::WithParamInterface<Format>
{
protected:
    std::unique_ptr<ArchiveReader> listed(const Files &files = pages)
    {
        auto reader = ArchiveReader::make(GetParam().kind, &host);
        reader->setFile(writeArchive(at(GetParam().name), files));
        EXPECT_TRUE(reader->list());
        return reader;
    }
    int indexOf(const ArchiveReader &r, const QString &fileName)
    {
        for (int i = 1; i <= r.count(); ++i)
            if (r.member(i).fileName == fileName)
                return i;
        return 0;
    }
};

TEST_P(ReaderInterfaceTest, ListsExtractsAndReadsThroughOneInterface)
{
    const auto reader = listed();
    EXPECT_EQ(reader->kind(), GetParam().kind);
    ASSERT_GT(indexOf(*reader, "p2.jpg"), 0);
    EXPECT_EQ(reader->readMember("Book/p2.jpg"), pages[1].second);
    EXPECT_EQ(reader->readMember("Book\\p3.jpg"), QByteArray("three"));
    EXPECT_EQ(reader->readMember("Book/none.jpg"), std::nullopt);

    EXPECT_TRUE(reader->extractMember("Book/p3.jpg", host.tmpZip(), "three.jpg"));
    EXPECT_EQ(readFile(host.tmpZip() + "/three.jpg"), "three");

    reader->setSelected(indexOf(*reader, "p1.jpg"), true);
    reader->setSelected(indexOf(*reader, "p2.jpg"), true);
    std::vector<std::pair<int, int>> progress;
    ExtractControl control;
    control.progress = [&](int member, int members) { progress.emplace_back(member, members); };
    EXPECT_EQ(reader->extractVolume(host.tmpZip(), control), ExtractOutcome::Done);
    EXPECT_EQ(host.tmpFiles(), (QStringList{"p1.jpg", "p2.jpg", "three.jpg"}));
    // The pass ends at the volume's last member, decoding nothing after it.
    const int last = indexOf(*reader, "p2.jpg");
    ASSERT_LT(last, reader->count());
    ASSERT_EQ(int(progress.size()), last);
    EXPECT_EQ(progress.back(), std::pair(last, last));
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST_P(ReaderInterfaceTest, ACancelSeenBetweenMembersStopsTheVolumeAndLeavesNoPartialFile)
{
    const auto reader = listed();
    for (int i = 1; i <= reader->count(); ++i)
        reader->setSelected(i, true);
    std::atomic<bool> cancel{false};
    ExtractControl control;
    control.cancel = &cancel;
    const int p2 = indexOf(*reader, "p2.jpg");
    control.progress = [&](int member, int) { cancel = member == p2; };
    EXPECT_EQ(reader->extractVolume(host.tmpZip(), control), ExtractOutcome::Cancelled);
    EXPECT_EQ(host.tmpFiles(), QStringList{"p1.jpg"});
}

TEST_P(ReaderInterfaceTest, AListingGivenUpListsNothingAndEachMemberIsToldOnceItsFileIsWhole)
{
    const auto reader = ArchiveReader::make(GetParam().kind, &host);
    reader->setFile(writeArchive(at(GetParam().name), pages));
    const std::atomic<bool> givenUp{true};
    reader->setListCancel(&givenUp);
    EXPECT_FALSE(reader->list());
    EXPECT_EQ(reader->count(), 0);
    EXPECT_TRUE(host.prompts.shown.empty()) << "giving up is no damage to report";
    reader->setListCancel(nullptr);
    ASSERT_TRUE(reader->list());
    for (int i = 1; i <= reader->count(); ++i)
        reader->setSelected(i, true);
    QStringList whole;
    ExtractControl control;
    control.written = [&](int member) {
        const QString name = reader->member(member).fileName;
        for (const auto &[path, bytes] : pages)
            if (path.endsWith(name) && readFile(host.tmpZip() + "/" + name) == bytes)
                whole << name;
    };
    EXPECT_EQ(reader->extractVolume(host.tmpZip(), control), ExtractOutcome::Done);
    EXPECT_EQ(whole, (QStringList{"p1.jpg", "p2.jpg", "p3.jpg"}));
}

TEST_P(ReaderInterfaceTest, MemoryReadsKeepToTheirLimits)
{
    Files files = pages;
    files.push_back({"Book/zeros.jpg", QByteArray(4 << 20, '\0')});
    const auto reader = listed(files);
    ExtractBudget::MemberLimits small;
    small.maxBytes = 100000;
    EXPECT_EQ(reader->readMember("Book/p2.jpg", small), std::nullopt) << "larger than maxBytes";
    EXPECT_EQ(reader->readMember("Book/p1.jpg", small), QByteArray("one"));

    ExtractBudget::MemberLimits shallow;
    shallow.maxDecoded = 200000; // less than p2, which a walk to p3 passes
    EXPECT_EQ(reader->readMember("Book/p1.jpg", shallow), QByteArray("one"));
    // A ZIP member is reached through its directory, past nothing.
    EXPECT_EQ(reader->readMember("Book/p3.jpg", shallow).has_value(), GetParam().kind == ArchiveKind::Zip);

    ExtractBudget::MemberLimits strict;
    strict.maxRatio = 50;
    strict.ratioFloor = 1 << 20;
    // The test writers store RAR and tar members and compress ZIP and 7z ones.
    const bool compressed = GetParam().kind == ArchiveKind::Zip || GetParam().kind == ArchiveKind::SevenZip;
    EXPECT_EQ(reader->readMember("Book/zeros.jpg", strict).has_value(), !compressed)
        << "zeros inflate far past 50 to 1 unless stored";
    EXPECT_EQ(reader->readMember("Book/zeros.jpg"), files.back().second);
}

INSTANTIATE_TEST_SUITE_P(Formats, ReaderInterfaceTest, ::testing::ValuesIn(formats), CaseName());

// Each reader reads its own format and nothing else, whatever the file is called.
TEST_F(ArchiveTest, NoReaderReadsAnotherReadersFormat)
{
    for (const auto &[name, written] : formats) {
        const QString path = at(QString("book%1.bin").arg(int(written)));
        ASSERT_TRUE(QFile::rename(writeArchive(at(name), pages), path));
        for (const Format &reading : formats) {
            const auto reader = ArchiveReader::make(reading.kind);
            reader->setFile(path);
            reader->list();
            EXPECT_EQ(reader->count() > 0, reading.kind == written) << name << " read as " << reading.name;
        }
    }
    EXPECT_EQ(ArchiveReader::make(ArchiveKind::None), nullptr);
}

// A cancel seen inside a member's data leaves neither the member nor its partial file.
TEST_F(ArchiveTest, ACancelInsideAMemberWritesNothing)
{
    const QString path = makeZip(at("a.zip"), {{"p.jpg", QByteArray(200000, 'p')}});
    archive *a = archive_read_new();
    archive_read_support_format_zip(a);
    ASSERT_EQ(archive_read_open_filename(a, QFile::encodeName(path).constData(), 4096), ARCHIVE_OK);
    archive_entry *e = nullptr;
    ASSERT_EQ(archive_read_next_header(a, &e), ARCHIVE_OK);
    const std::atomic<bool> cancel{true};
    EXPECT_EQ(TmpZipWriter::write(a, e, host.tmpZip(), "p.jpg", TmpZipWriter::Existing::Replace, nullptr, nullptr,
                                  std::nullopt, &cancel),
              TmpZipWriter::Result::Cancelled);
    archive_read_free(a);
    EXPECT_TRUE(host.tmpFiles().isEmpty());
    EXPECT_TRUE(partFiles(host.tmpZip()).isEmpty());
}

TEST(ArchiveKinds, AStoredNumberOfNoKindReadsAsNone)
{
    for (const qint16 stored : {-1, 0, 1, 2, 3})
        EXPECT_EQ(ArchiveKinds::toStored(ArchiveKinds::fromStored(stored)), stored);
    EXPECT_EQ(ArchiveKinds::fromStored(4), ArchiveKind::None);
    EXPECT_EQ(ArchiveKinds::fromStored(-7), ArchiveKind::None);
}
