#pragma once
// Every message box, Yes/No question, input box and file or folder dialog of the
// program goes through this interface, so tests can answer them and record what
// was shown.
#include <QString>
#include <optional>

class QWidget;

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual MsgResult messageBox(QWidget *owner, const QString &title, const QString &text, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // nullopt when cancelled.
    virtual std::optional<QString> inputBox(QWidget *owner, const QString &prompt, const QString &title,
                                            const QString &defaultText) = 0;
    // Full path of the chosen file, or empty text when cancelled. filter uses the toolkit's
    // syntax ("Text (*.a *.b)"); the dialog starts in startFolder.
    virtual QString openFile(QWidget *owner, const QString &title, const QString &filter,
                             const QString &startFolder) = 0;
    // Full path of the chosen folder, or empty text. startFolder may be empty.
    virtual QString browseFolder(QWidget *owner, const QString &title, const QString &startFolder) = 0;
};

// The real dialogs (QMessageBox, QInputDialog, QFileDialog).
class QtPrompts : public Prompts
{
public:
    MsgResult messageBox(QWidget *owner, const QString &title, const QString &text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QString> inputBox(QWidget *owner, const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    QString openFile(QWidget *owner, const QString &title, const QString &filter,
                     const QString &startFolder) override;
    QString browseFolder(QWidget *owner, const QString &title, const QString &startFolder) override;
};

// Headless runs (--list, --render) must never block on a dialog: questions are
// answered No, everything else is written to standard error.
class SilentPrompts : public Prompts
{
public:
    MsgResult messageBox(QWidget *owner, const QString &title, const QString &text, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QString> inputBox(QWidget *, const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString browseFolder(QWidget *, const QString &, const QString &) override { return {}; }
};
