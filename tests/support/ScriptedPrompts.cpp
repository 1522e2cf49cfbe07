#include "ScriptedPrompts.h"

MsgResult ScriptedPrompts::messageBox(QWidget *, const QString &title, const QString &text, MsgIcon icon,
                                      MsgButtons buttons)
{
    shown.push_back({QStringLiteral("message"), title, text, icon, buttons, {}});
    if (!messageAnswers.empty()) {
        const MsgResult r = messageAnswers.front();
        messageAnswers.pop_front();
        return r;
    }
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

std::optional<QString> ScriptedPrompts::inputBox(QWidget *, const QString &prompt, const QString &title,
                                                 const QString &)
{
    shown.push_back({QStringLiteral("input"), title, prompt, MsgIcon::None, MsgButtons::Ok, {}});
    if (inputAnswers.empty())
        return std::nullopt;
    const bool answered = inputAnswers.front().has_value();
    const QString text = inputAnswers.front().value_or(QString());
    inputAnswers.pop_front();
    if (!answered)
        return std::nullopt;
    return text;
}

QString ScriptedPrompts::openFile(QWidget *, const QString &title, const QString &filter)
{
    shown.push_back({QStringLiteral("openFile"), title, filter, MsgIcon::None, MsgButtons::Ok, {}});
    if (fileAnswers.empty())
        return {};
    QString r = fileAnswers.front();
    fileAnswers.pop_front();
    return r;
}

QString ScriptedPrompts::browseFolder(QWidget *, const QString &title, const QString &startFolder)
{
    shown.push_back({QStringLiteral("browseFolder"), title, {}, MsgIcon::None, MsgButtons::Ok, startFolder});
    if (folderAnswers.empty())
        return {};
    QString r = folderAnswers.front();
    folderAnswers.pop_front();
    return r;
}

int ScriptedPrompts::count(const QString &kind) const
{
    int n = 0;
    for (const auto &s : shown)
        n += s.kind == kind;
    return n;
}
