#pragma once
#include "support/ScriptedPrompts.h"
#include "core/MemberTable.h"
#include "core/PageListHost.h"
#include "core/Program.h"
#include "platform/SortedList.h"

#include <QStringList>
#include <ostream>
#include <tuple>
#include <vector>

class cUnzip;
class Cls_Rar;

// The main window as the archive readers see it, over plain containers.
class FakeHost : public PageListHost
{
public:
    // Program folder = `folder`; TmpZip is created inside it.
    explicit FakeHost(const QString &folder, bool makeTmpZip = true);
    ~FakeHost() override;

    Program &program() override { return prog; }
    MemberTable &Member_Table() override { return members; }
    SortedList &List1() override { return list; }
    int cbListCount() const override { return int(cbList.size()); }
    QString cbListText() const override { return cbIndex >= 0 && cbIndex < cbList.size() ? cbList.at(cbIndex) : QString(); }
    void setCbListText(const QString &t) override { cbList[cbIndex] = t; }
    void setNoImageVisible(bool visible) override { noImageVisible = visible; }
    void ZipFile_Progress(qint32 percent, qint32 total, const QString &msg) override
    {
        progress.emplace_back(percent, total, msg);
    }
    QWidget *dialogOwner() override { return nullptr; }

    QString tmpZip() const { return prog.paths.tmpZip(); }
    // The member table the core builds from a listing, with its volume names.
    void takeZipListing();
    void takeRarListing();
    // Opens an archive the way the core does: lists it into the member table.
    void openZip(const QString &path);
    void openRar(const QString &path);
    // Files now in TmpZip, sorted.
    QStringList tmpFiles() const;
    QStringList pages() const { return list.items(); }

    ScriptedPrompts prompts;
    Program prog;
    MemberTable members;
    SortedList list;
    QStringList cbList;
    int cbIndex = 0;
    bool noImageVisible = false;
    std::vector<std::tuple<qint32, qint32, QString>> progress;
};

// Readable test failure output.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// Reads a whole file (empty when missing).
QByteArray readFile(const QString &path);
// Every path under `root`, recursively, relative to it (links not followed).
QStringList treeOf(const QString &root);
