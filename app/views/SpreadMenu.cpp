#include "views/SpreadMenu.h"

#include "core/ExportFolderFile.h"
#include "core/Language.h"
#include "views/MenuEntry.h"

#include <QAction>
#include <QMenu>

namespace SpreadMenu {

namespace {

// The options kept across runs, under their keys.
const std::pair<ReadingSession::Option, const char *> kKept[] = {
    {ReadingSession::WideAlone, "WideAlone"},
    {ReadingSession::CoverAlone, "CoverAlone"},
    {ReadingSession::FollowDirection, "FollowReadingDirection"},
};

QAction *toggle(QMenu *menu, const char *name, ReadingSession &session, ReadingSession::Option o)
{
    return addMenuEntry(menu, name, true, &session, [&session, o](bool on) { session.setOption(o, on); });
}

} // namespace

Entries add(QMenu *menu, ReadingSession &session, const Language &t, const std::function<void()> &shift)
{
    Entries e;
    e.wideAlone = toggle(menu, "mnuWideAlone", session, ReadingSession::WideAlone);
    e.coverAlone = toggle(menu, "mnuCoverAlone", session, ReadingSession::CoverAlone);
    e.shiftByOne = addMenuEntry(menu, "mnuShiftByOne", false, menu, [shift](bool) { shift(); });
    e.followDirection = toggle(menu, "mnuFollowDirection", session, ReadingSession::FollowDirection);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [e, &session] { sync(e, session); });
    setTexts(e, t);
    sync(e, session);
    return e;
}

void setTexts(const Entries &e, const Language &t)
{
    e.wideAlone->setText(t.Mnu_WideAlone);
    e.coverAlone->setText(t.Mnu_CoverAlone);
    e.shiftByOne->setText(t.Mnu_ShiftByOne);
    e.followDirection->setText(t.Mnu_FollowDirection);
}

void sync(const Entries &e, const ReadingSession &session)
{
    e.wideAlone->setChecked(session.option(ReadingSession::WideAlone));
    e.coverAlone->setChecked(session.option(ReadingSession::CoverAlone));
    e.followDirection->setChecked(session.option(ReadingSession::FollowDirection));
    // The grouping matters in two-page mode only; the options may be set before.
    e.shiftByOne->setEnabled(session.viewMode() == ViewMode::TwoPage);
}

QAction *forAction(const Entries &e, PageKeys::Action action)
{
    switch (action) {
    case PageKeys::Action::WideAlone:
        return e.wideAlone;
    case PageKeys::Action::CoverAlone:
        return e.coverAlone;
    case PageKeys::Action::ShiftPairing:
        return e.shiftByOne;
    default:
        return nullptr;
    }
}

void restore(ReadingSession &session, const QString &file)
{
    for (const auto &[o, key] : kKept)
        session.setOption(o, ExportFolderFile::setting(file, QString::fromLatin1(key)) == QLatin1String("1"));
}

void keep(ReadingSession &session, const QString &file)
{
    QObject::connect(&session, &ReadingSession::optionChanged, &session, [file](ReadingSession::Option o, bool on) {
        for (const auto &[kept, key] : kKept) {
            if (kept == o)
                ExportFolderFile::setSetting(file, QString::fromLatin1(key), on ? QStringLiteral("1") : QStringLiteral("0"));
        }
    });
}

} // namespace SpreadMenu
