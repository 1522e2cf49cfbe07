#pragma once
// The main window as the archive readers see it, for the tests and the benchmark.
#include "support/FileTree.h"
#include "support/RarWriter.h"
#include "support/ScriptedPrompts.h"
#include "support/ZipWriter.h"
#include "archive/ArchiveReader.h"
#include "archive/Mo_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "listing/ListingHost.h"
#include "listing/MemberTable.h"
#include "core/Program.h"
#include "core/VolumeRules.h"
#include "platform/SortedList.h"

#include <QDir>

#include <atomic>

// The main window as the archive readers see it, over plain containers.
class FakeHost : public ListingHost
{
public:
    // Program folder = `folder`; TmpZip is created inside it.
    explicit FakeHost(const QString &folder) : prog(ProgramPaths::inFolder(folder), &prompts)
    {
        prog.lang.load();
        QDir().mkpath(tmpZip());
    }
    Program &program() { return prog; }
    MemberTable &Member_Table() override { return members; }
    SortedList &List1() override { return list; }
    int cbListCount() const override { return int(cbList.size()); }
    QString cbListText() const override { return cbList.value(cbIndex); }
    void setCbListText(const QString &t) override { cbList[cbIndex] = t; }
    void setNoImageVisible(bool visible) override { noImageVisible = visible; }
    void ZipFile_Progress(qint32, qint32, const QString &) override {}
    const ProgramPaths &paths() const override { return prog.paths; }
    QString tmpZip() const override { return prog.paths.tmpZip(); }
    QString titleText() const override { return prog.lang.Title_Text; }
    QString openPath() const override { return prog.OpenPath; }
    bool isArchive() const override { return prog.IsArchive; }
    QString loadingMessage() const override { return prog.lang.Msg_Loading; }
    ListingTexts texts() const override { return prog.lang.listingTexts(); }
    QString &errorLog() override { return prog.ErrorLog; }
    void showMessage(const QString &title, const QString &text, MsgIcon icon) override
    {
        prompts.messageBox(nullptr, title, text, icon, MsgButtons::Ok);
    }
    const std::atomic<bool> *cancelFlag() const override { return &givenUp; }
    std::unique_ptr<cUnzip> &zipReaderSlot() override { return prog.ZipReader; }
    std::unique_ptr<ArchiveReader> &rarReaderSlot() override { return prog.RarReader; }

    // The load the readers work for has been given up.
    std::atomic<bool> givenUp{false};

    QStringList tmpFiles() const { return treeOf(tmpZip()); }
    QStringList pages() const { return list.items(); }
    cUnzip &zip() { return *prog.ZipReader; }
    ArchiveReader &rar() { return *prog.RarReader; }
    // The reader of the archive opened last.
    ArchiveReader &reader() { return prog.ArchiveKind == ArchiveKind::Zip ? static_cast<ArchiveReader &>(zip()) : rar(); }

    // Lists an archive into the member table, with volume names, as the core does.
    void open(const QString &path, ArchiveKind kind)
    {
        prog.OpenPath = path;
        prog.IsArchive = true;
        prog.ArchiveKind = kind;
        if (kind == ArchiveKind::Zip) {
            Mo_Unzip::ListZip(*this, path);
        } else {
            prog.RarReader = ArchiveReader::make(kind, this);
            rar().setFile(path);
            rar().list();
        }
        members.dimension(reader().count());
        for (int i = 1; i <= members.upper(); ++i)
            members.at(i) = {reader().member(i).fileName, reader().member(i).folder, {}};
        VolumeRules::deriveVolumes(members);
    }
    // By its name's kind; a name of no kind is read as a RAR.
    void open(const QString &path)
    {
        const ArchiveKind kind = VolumeRules::archiveKindOfExt(VolumeRules::extensionOf(path));
        open(path, kind == ArchiveKind::None ? ArchiveKind::Rar : kind);
    }
    void openZip(const QString &path) { open(path, ArchiveKind::Zip); }
    void openRar(const QString &path) { open(path, ArchiveKind::Rar); }
    void selectVolume(const QString &volume)
    {
        prog.ArchiveKind == ArchiveKind::Zip ? Mo_Unzip::SelectZipVolume(*this, volume)
                                             : Mo_Rar::SelectRarVolume(*this, volume);
    }

    // Extracts every member of the archive opened last into TmpZip.
    void extractAll(const QString &path)
    {
        for (int i = 1; i <= members.upper(); ++i) {
            const MemberRecord &m = members.at(i);
            if (prog.ArchiveKind == ArchiveKind::Zip)
                Mo_Unzip::ExtractZipMember(*this, path, (m.folder.isEmpty() ? "" : m.folder + "\\") + m.fileName);
            else
                rar().setSelected(i, true);
        }
        if (prog.ArchiveKind != ArchiveKind::Zip)
            rar().extractVolume(tmpZip());
    }

    ScriptedPrompts prompts;
    Program prog;
    MemberTable members;
    SortedList list;
    QStringList cbList;
    int cbIndex = 0;
    bool noImageVisible = false;
};

