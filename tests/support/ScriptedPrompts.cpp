#include "ScriptedPrompts.h"

namespace {
// The next scripted answer, or `none` when the script has run out.
template<typename T>
T take(std::deque<T> &answers, T none)
{
    if (answers.empty())
        return none;
    T r = std::move(answers.front());
    answers.pop_front();
    return r;
}
} // namespace

MsgResult ScriptedPrompts::messageBox(QWidget *, const QString &title, const QString &text, MsgIcon icon,
                                      MsgButtons buttons)
{
    shown.push_back({QStringLiteral("message"), title, text, icon, buttons, {}});
    return take(messageAnswers, buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok);
}

std::optional<QString> ScriptedPrompts::inputBox(QWidget *, const QString &prompt, const QString &title,
                                                 const QString &)
{
    shown.push_back({QStringLiteral("input"), title, prompt, MsgIcon::None, MsgButtons::Ok, {}});
    return take(inputAnswers, std::optional<QString>());
}

QString ScriptedPrompts::openFile(QWidget *, const QString &title, const QString &filter, const QString &startFolder)
{
    shown.push_back({QStringLiteral("openFile"), title, filter, MsgIcon::None, MsgButtons::Ok, startFolder});
    return take(fileAnswers, QString());
}

QString ScriptedPrompts::browseFolder(QWidget *, const QString &title, const QString &startFolder)
{
    shown.push_back({QStringLiteral("browseFolder"), title, {}, MsgIcon::None, MsgButtons::Ok, startFolder});
    return take(folderAnswers, QString());
}

int ScriptedPrompts::count(const QString &kind) const
{
    int n = 0;
    for (const auto &s : shown)
        n += s.kind == kind;
    return n;
}
