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
    const bool english = program.lang.Lang_Mode == 1;
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
             english ? QStringLiteral("The export folder already holds %1 exported '%2' files (Ox0001 to Ox%1). "
                                      "Choose another export folder.")
                           .arg(PageExport::kMaxExportNumber)
                           .arg(ext)
                     : QStringLiteral("내보낼 폴더에 이미 '%2' 파일이 %1개(Ox0001 ~ Ox%1) 있습니다. "
                                      "다른 폴더를 지정하세요.")
                           .arg(PageExport::kMaxExportNumber)
                           .arg(ext),
             MsgIcon::Exclamation);
        return;
    }

    const PageExport::CopyOutcome outcome = PageExport::CopyPageFile(pagePath, destination);
    if (outcome.result == PageExport::CopyResult::Copied) {
        tell(program, owner, english ? QStringLiteral("File copy success") : QStringLiteral("파일복사 성공"),
             english ? QStringLiteral("Currently it copied a page with '") + destination + QStringLiteral("' file.")
                     : QStringLiteral("현재 페이지를 ") + destination + QStringLiteral(" 파일로 복사하였습니다."),
             MsgIcon::Information);
        return;
    }
    // A reader who hears nothing believes the page was saved.
    QString reason = outcome.error;
    if (outcome.result == PageExport::CopyResult::SourceMissing)
        reason = (english ? QStringLiteral("The page's file %1 is missing.")
                          : QStringLiteral("페이지 파일 %1 이(가) 없습니다.")).arg(pagePath);
    else if (outcome.result == PageExport::CopyResult::DestinationExists)
        reason = english ? QStringLiteral("Another file took that name.")
                         : QStringLiteral("다른 파일이 그 이름을 먼저 차지했습니다.");
    tell(program, owner, program.lang.Title_Text,
         (english ? QStringLiteral("The current page could not be copied to '%1'.")
                  : QStringLiteral("현재 페이지를 %1 파일로 복사하지 못했습니다.")).arg(destination) +
             QLatin1Char('\n') + reason,
         MsgIcon::Exclamation);
}
