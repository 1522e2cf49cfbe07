#pragma once
#include <QString>

class Program;
class MemberTable;
class SortedList;
class QWidget;

// What the archive readers see of the main window: the member table, the page
// list List1, the current entry of the volume list cb_list, the no-image label
// and the wait panel's progress. The main window implements it; tests may too.
class PageListHost
{
public:
    virtual ~PageListHost() = default;
    virtual Program &program() = 0;
    virtual MemberTable &Member_Table() = 0;
    virtual SortedList &List1() = 0;
    virtual int cbListCount() const = 0;
    virtual QString cbListText() const = 0;          // text of the selected entry ("" when none)
    virtual void setCbListText(const QString &t) = 0; // replaces the selected entry's text
    virtual void setNoImageVisible(bool visible) = 0; // lblnoimage
    // Routed to the full-screen window's wait panel while IsFullScreen is set.
    virtual void ZipFile_Progress(qint32 Percent, qint32 TotCount, const QString &StrMsg) = 0;
    virtual QWidget *dialogOwner() = 0;
};
