#include "views/SettingsMenu.h"

#include "core/Program.h"
#include "core/RecentBooks.h"
#include "platform/IniRead.h"
#include "platform/Prompts.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QStringDecoder>

namespace SettingsMenu {

namespace {
// A name as a menu shows it: "&" would mark a shortcut key.
QString entryText(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        name = path;
    return name.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void fillRecent(QMenu *menu, Program &app, const std::function<void(const QString &)> &open)
{
    menu->clear();
    const Language &t = app.lang;
    const QList<RecentBook> books = app.recent.shown();
    for (const RecentBook &b : books) {
        const bool there = RecentBooks::exists(b);
        QAction *a = menu->addAction(there ? entryText(b.path) : t.Mnu_RecentMissing.arg(entryText(b.path)));
        a->setToolTip(b.path);
        a->setData(b.path);
        QObject::connect(a, &QAction::triggered, menu, [&app, path = b.path, open, menu] {
            if (RecentBooks::exists({path})) {
                open(path);
                return;
            }
            if (app.prompts &&
                app.prompts->messageBox(menu->parentWidget(), app.lang.Title_Text, app.lang.Msg_RecentMissing.arg(path),
                                        MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes)
                app.recent.remove(path);
        });
    }
    if (books.isEmpty())
        menu->addAction(t.Mnu_RecentNone)->setEnabled(false);
    menu->addSeparator();
    QAction *clear = menu->addAction(t.Mnu_RecentClear);
    clear->setEnabled(!books.isEmpty());
    QObject::connect(clear, &QAction::triggered, menu, [&app] { app.recent.clear(); });
}
} // namespace

QMenu *recentBooks(QWidget *parent, Program &app, const std::function<void(const QString &)> &open)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("mnuRecent"));
    menu->setToolTipsVisible(true);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, &app, open] {
        menu->setTitle(app.lang.Mnu_Recent);
        fillRecent(menu, app, open);
    });
    menu->setTitle(app.lang.Mnu_Recent);
    fillRecent(menu, app, open);
    return menu;
}

QStringList codePages()
{
    QStringList names;
    for (const char *name : {"CP949", "Shift_JIS", "GBK", "Big5", "IBM437", "windows-1252"}) {
        if (QStringDecoder(name).isValid())
            names << QString::fromLatin1(name);
    }
    return names;
}

void addSettings(QMenu *menu, Program &app, const std::function<void(qint16)> &applyLanguage)
{
    QMenu *language = menu->addMenu(app.lang.Mnu_Language);
    language->setObjectName(QStringLiteral("mnuLanguage"));
    QMenu *codePage = menu->addMenu(app.lang.Mnu_CodePage);
    codePage->setObjectName(QStringLiteral("mnuCodePage"));

    QObject::connect(menu, &QMenu::aboutToShow, language, [language, codePage, &app] {
        language->setTitle(app.lang.Mnu_Language);
        codePage->setTitle(app.lang.Mnu_CodePage);
    });
    // Each submenu is made anew when it opens: the captions follow the language
    // and the marks the settings in force.
    QObject::connect(language, &QMenu::aboutToShow, language, [language, &app, applyLanguage] {
        language->clear();
        auto *group = new QActionGroup(language);
        const std::pair<qint16, QString> choices[] = {{0, app.lang.Mnu_LangKorean}, {1, app.lang.Mnu_LangEnglish}};
        for (const auto &choice : choices) {
            const qint16 mode = choice.first;
            QAction *a = group->addAction(choice.second);
            a->setCheckable(true);
            a->setChecked(app.lang.Lang_Mode == mode);
            QObject::connect(a, &QAction::triggered, language, [&app, applyLanguage, mode] {
                Ini_Write(app.paths, QStringLiteral("Main"), QStringLiteral("Language"),
                          mode == 1 ? QStringLiteral("English") : QStringLiteral("Korean"));
                applyLanguage(mode);
            });
            language->addAction(a);
        }
    });
    QObject::connect(codePage, &QMenu::aboutToShow, codePage, [codePage, &app] {
        codePage->clear();
        auto *group = new QActionGroup(codePage);
        const QString current =
            Ini_Read(app.paths, QStringLiteral("Archive"), QStringLiteral("CodePage"), QStringLiteral("CP949")).trimmed();
        for (const QString &name : codePages()) {
            QAction *a = group->addAction(name);
            a->setCheckable(true);
            a->setChecked(name.compare(current, Qt::CaseInsensitive) == 0);
            QObject::connect(a, &QAction::triggered, codePage, [&app, name, codePage] {
                Ini_Write(app.paths, QStringLiteral("Archive"), QStringLiteral("CodePage"), name);
                if (app.prompts)
                    app.prompts->messageBox(codePage->parentWidget(), app.lang.Title_Text, app.lang.Msg_CodePageNext,
                                            MsgIcon::Information, MsgButtons::Ok);
            });
            codePage->addAction(a);
        }
    });
}

} // namespace SettingsMenu
