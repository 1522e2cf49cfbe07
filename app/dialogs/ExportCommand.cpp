#include "dialogs/ExportCommand.h"

#include "core/PageExport.h"
#include "core/Program.h"
#include "platform/Prompts.h"

#include <QFileInfo>

namespace {

void tell(Program &program, QWidget *owner, const QString &title, const QString &text, MsgIcon icon)
{
    if (program.prompts)
        program.prompts->messageBox(owner, title, text, icon, MsgButtons::Ok);
}

QString extensionShown(const QString &pagePath)
{
    const QString name = QFileInfo(pagePath).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

} // namespace

void ExportCurrentPage(Program &program, QWidget *owner, bool twoPageView, const QString &pagePath,
                       const std::function<void()> &chooseFolder)
{
    const QString &folder = program.ExportFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        tell(program, owner, program.lang.Title_Text, program.lang.Msg_ExportPrompt, MsgIcon::Information);
        if (chooseFolder)
            chooseFolder();
        return;
    }
    if (twoPageView)
        return;

    const QString destination = PageExport::exportNameFor(folder, pagePath);
    if (destination.isEmpty()) {
        // Nothing may be overwritten, and the numbering does not go on past its end.
        const QString ext = extensionShown(pagePath);
        tell(program, owner, program.lang.Title_Text,
             program.lang.Msg_ExportFull.arg(QString::number(PageExport::kMaxExportNumber), ext),
             MsgIcon::Exclamation);
        return;
    }

    const PageExport::CopyOutcome outcome = PageExport::CopyPageFile(pagePath, destination);
    if (outcome.result == PageExport::CopyResult::Copied) {
        tell(program, owner, program.lang.Msg_ExportDoneTitle, program.lang.Msg_ExportDone.arg(destination),
             MsgIcon::Information);
        return;
    }
    // A reader who hears nothing believes the page was saved.
    QString reason = outcome.error;
    if (outcome.result == PageExport::CopyResult::SourceMissing)
        reason = program.lang.Msg_ExportSourceMissing.arg(pagePath);
    else if (outcome.result == PageExport::CopyResult::DestinationExists)
        reason = program.lang.Msg_ExportNameTaken;
    tell(program, owner, program.lang.Title_Text,
         program.lang.Msg_ExportFailed.arg(destination) + QLatin1Char('\n') + reason,
         MsgIcon::Exclamation);
}
