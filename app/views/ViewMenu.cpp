#include "views/ViewMenu.h"

#include "core/ExportFolderFile.h"
#include "core/Language.h"
#include "views/MenuEntry.h"

#include <QAction>
#include <QMenu>

namespace ViewMenu {

namespace {

using PageKeys::Action;

const char *const kFitNames[] = {"page", "width", "height", "actual"};

QString fitName(FitMode fit)
{
    return QString::fromLatin1(kFitNames[int(fit)]);
}

} // namespace

Entries add(QMenu *menu, ReadingSession &session, const Language &t)
{
    Entries e;
    menu->addSeparator();
    const auto entry = [&](const char *name, Action action, bool checkable) {
        return addMenuEntry(menu, name, checkable, &session, [&session, action](bool) { run(session, action); });
    };
    e.fitPage = entry("mnuFitPage", Action::FitPage, true);
    e.fitWidth = entry("mnuFitWidth", Action::FitWidth, true);
    e.fitHeight = entry("mnuFitHeight", Action::FitHeight, true);
    e.zoomIn = entry("mnuZoomIn", Action::ZoomIn, false);
    e.zoomOut = entry("mnuZoomOut", Action::ZoomOut, false);
    e.zoomReset = entry("mnuZoomReset", Action::ZoomReset, false);
    e.actualSize = entry("mnuActualSize", Action::ActualSize, true);
    e.rotateCw = entry("mnuRotateCw", Action::RotateCw, false);
    e.rotateCcw = entry("mnuRotateCcw", Action::RotateCcw, false);
    e.continuous = entry("mnuContinuous", Action::Continuous, true);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [e, &session] { sync(e, session); });
    setTexts(e, t);
    sync(e, session);
    return e;
}

void setTexts(const Entries &e, const Language &t)
{
    e.fitPage->setText(t.Mnu_FitPage);
    e.fitWidth->setText(t.Mnu_FitWidth);
    e.fitHeight->setText(t.Mnu_FitHeight);
    e.zoomIn->setText(t.Mnu_ZoomIn);
    e.zoomOut->setText(t.Mnu_ZoomOut);
    e.zoomReset->setText(t.Mnu_ZoomReset);
    e.actualSize->setText(t.Mnu_ActualSize);
    e.rotateCw->setText(t.Mnu_RotateCw);
    e.rotateCcw->setText(t.Mnu_RotateCcw);
    e.continuous->setText(t.Mnu_Continuous);
}

void sync(const Entries &e, const ReadingSession &session)
{
    const ViewSettings &v = session.view();
    e.fitPage->setChecked(v.fit == FitMode::Page);
    e.fitWidth->setChecked(v.fit == FitMode::Width);
    e.fitHeight->setChecked(v.fit == FitMode::Height);
    e.actualSize->setChecked(v.fit == FitMode::Actual);
    e.zoomIn->setEnabled(v.zoom < PageView::MaxZoom);
    e.zoomOut->setEnabled(v.zoom > PageView::MinZoom);
    e.zoomReset->setEnabled(v.zoom != 100);
    e.continuous->setChecked(v.continuous);
}

bool run(ReadingSession &session, Action action)
{
    switch (action) {
    case Action::FitPage:
        session.setFit(FitMode::Page);
        return true;
    case Action::FitWidth:
        session.setFit(FitMode::Width);
        return true;
    case Action::FitHeight:
        session.setFit(FitMode::Height);
        return true;
    case Action::ActualSize:
        session.setFit(FitMode::Actual);
        return true;
    case Action::ZoomIn:
        session.zoomIn();
        return true;
    case Action::ZoomOut:
        session.zoomOut();
        return true;
    case Action::ZoomReset:
        session.zoomReset();
        return true;
    case Action::RotateCw:
        session.rotate(true);
        return true;
    case Action::RotateCcw:
        session.rotate(false);
        return true;
    case Action::Continuous:
        session.setContinuous(!session.view().continuous);
        return true;
    default:
        return false;
    }
}

void restore(ReadingSession &session, const QString &file)
{
    const auto value = [&](const char *key) { return ExportFolderFile::setting(file, QString::fromLatin1(key)); };
    ViewSettings v;
    for (int f = 0; f < 4; ++f) {
        if (value("FitMode") == fitName(FitMode(f)))
            v.fit = FitMode(f);
    }
    bool ok = false;
    const int zoom = value("Zoom").toInt(&ok);
    if (ok)
        v.zoom = zoom;
    const int rotation = value("Rotation").toInt(&ok);
    if (ok && rotation % 90 == 0)
        v.rotation = rotation;
    v.continuous = value("Continuous") == QLatin1String("1");
    session.setView(v);
}

void keep(ReadingSession &session, const QString &file)
{
    QObject::connect(&session, &ReadingSession::viewChanged, &session, [&session, file] {
        const ViewSettings &v = session.view();
        const std::pair<const char *, QString> lines[] = {{"FitMode", fitName(v.fit)},
                                                           {"Zoom", QString::number(v.zoom)},
                                                           {"Rotation", QString::number(v.rotation)},
                                                           {"Continuous", v.continuous ? QStringLiteral("1") : QStringLiteral("0")}};
        for (const auto &[key, text] : lines) {
            if (ExportFolderFile::setting(file, QString::fromLatin1(key)) != text)
                ExportFolderFile::setSetting(file, QString::fromLatin1(key), text);
        }
    });
}

} // namespace ViewMenu
