#include "platform/Prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

MsgResult QtPrompts::messageBox(QWidget *owner, const QString &title, const QString &text, MsgIcon icon,
                                MsgButtons buttons)
{
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgResult::Ok;
}

std::optional<QString> QtPrompts::inputBox(QWidget *owner, const QString &prompt, const QString &title,
                                           const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtPrompts::openFile(QWidget *owner, const QString &title, const QString &filter, const QString &startFolder)
{
    return QFileDialog::getOpenFileName(owner, title, startFolder, filter);
}

QString QtPrompts::browseFolder(QWidget *owner, const QString &title, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

MsgResult SilentPrompts::messageBox(QWidget *, const QString &title, const QString &text, MsgIcon, MsgButtons buttons)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}
