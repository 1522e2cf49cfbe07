#pragma once
#include "platform/Prompts.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

// Answers the program's dialogs from a script and records exactly what was shown.
class ScriptedPrompts : public Prompts
{
public:
    struct Shown
    {
        QString kind; // "message", "input", "openFile", "browseFolder"
        QString title;
        QString text; // message text, input prompt, dialog filter
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::Ok;
        QString start; // openFile, browseFolder: start folder
    };

    // Answers are taken in order; when none is left: messages No/Ok, input
    // cancelled, dialogs cancelled.
    std::deque<MsgResult> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<QString> fileAnswers;
    std::deque<QString> folderAnswers;
    std::vector<Shown> shown;

    MsgResult messageBox(QWidget *owner, const QString &title, const QString &text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QString> inputBox(QWidget *owner, const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    QString openFile(QWidget *owner, const QString &title, const QString &filter,
                     const QString &startFolder) override;
    QString browseFolder(QWidget *owner, const QString &title, const QString &startFolder) override;

    int count(const QString &kind) const;
    const Shown *last() const { return shown.empty() ? nullptr : &shown.back(); }
};
