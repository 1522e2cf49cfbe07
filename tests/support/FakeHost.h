#pragma once
// The main window as the archive readers see it, for the tests and the benchmark.
#include "support/FileTree.h"
#include "support/RarWriter.h"
#include "support/ScriptedPrompts.h"
#include "support/ZipWriter.h"
#include "archive/Cls_Rar.h"
#include "archive/Mo_Rar.h"
#include "archive/Mo_Unzip.h"
#include "archive/cUnzip.h"
#include "listing/ListingHost.h"
#include "listing/MemberTable.h"
#include "core/Program.h"
#include "core/VolumeRules.h"
#include "platform/SortedList.h"

#include <QDir>

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
    std::unique_ptr<cUnzip> &zipReaderSlot() override { return prog.ZipReader; }
    std::unique_ptr<Cls_Rar> &rarReaderSlot() override { return prog.RarReader; }

    QStringList tmpFiles() const { return treeOf(tmpZip()); }
    QStringList pages() const { return list.items(); }
    cUnzip &zip() { return *prog.ZipReader; }
    Cls_Rar &rar() { return *prog.RarReader; }

    // Lists an archive (kind 0 ZIP, 1 RAR) into the member table, with volume names, as the core does.
    void open(const QString &path, int kind)
    {
        prog.OpenPath = path;
        prog.IsArchive = true;
        prog.ArchiveKind = kind;
        if (kind == 0) {
            Mo_Unzip::ListZip(*this, path);
        } else {
            if (!prog.RarReader)
                prog.RarReader = std::make_unique<Cls_Rar>(this);
            rar().setRarFile(path);
            rar().Rar_Directory();
        }
        members.dimension(kind == 0 ? zip().FileCount() : rar().Get_FileCount());
        for (int i = 1; i <= members.upper(); ++i)
            members.at(i) = kind == 0 ? MemberRecord{zip().FileName(i), zip().FileDirectory(i), {}}
                                      : MemberRecord{rar().RarFileName(i), rar().RarFolderName(i), {}};
        VolumeRules::deriveVolumes(members);
    }
    void openZip(const QString &path) { open(path, 0); }
    void openRar(const QString &path) { open(path, 1); }
    void selectVolume(const QString &volume)
    {
        prog.ArchiveKind == 0 ? Mo_Unzip::SelectZipVolume(*this, volume) : Mo_Rar::SelectRarVolume(*this, volume);
    }

    // Extracts every member of the archive opened last into TmpZip.
    void extractAll(const QString &path)
    {
        for (int i = 1; i <= members.upper(); ++i) {
            const MemberRecord &m = members.at(i);
            if (prog.ArchiveKind == 0)
                Mo_Unzip::ExtractZipMember(*this, path, (m.folder.isEmpty() ? "" : m.folder + "\\") + m.fileName);
            else
                rar().setRarSelected(i, true);
        }
        if (prog.ArchiveKind == 1)
            rar().UnCompressRAR(0, path, tmpZip(), QString(), false);
    }

    ScriptedPrompts prompts;
    Program prog;
    MemberTable members;
    SortedList list;
    QStringList cbList;
    int cbIndex = 0;
    bool noImageVisible = false;
};

