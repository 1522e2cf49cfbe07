#include "core/Language.h"

QString Language::versionText()
{
    return QStringLiteral("%1.%2.%3").arg(LEAFVIEW_VERSION_MAJOR).arg(LEAFVIEW_VERSION_MINOR).arg(LEAFVIEW_VERSION_REVISION);
}

bool Language::isEnglishSetting(const QString &value)
{
    const QString v = value.trimmed();
    return v.compare(QLatin1String("English"), Qt::CaseInsensitive) == 0 ||
           v.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 || v == QLatin1String("1");
}

void Language::load()
{
    const bool english = Lang_Mode == 1;
    if (english) {
        Lang_Folder = QStringLiteral("english/");
        Title_Text = QStringLiteral("Leafview Version ") + versionText();
        ChkEffectCaption = QStringLiteral("Book effect");
        ChkJapanCaption = QStringLiteral("japanimation");
        Msg_Loading = QStringLiteral("While compression canceling..");
        Msg_ExportPrompt = QStringLiteral("Log Directory");
        Msg_FolderMissing = QStringLiteral("Not Found Folder");
        Msg_Table = {QStringLiteral("Last it is a page. It sees the next volume?"),
                     QStringLiteral("It is the first page. It sees previously volume?"),
                     QStringLiteral("It is in the process of list page creating.."),
                     QStringLiteral("Input the new folder name"),
                     QStringLiteral("The folder it designates"),
                     QStringLiteral("Last it is a page."),
                     QStringLiteral("It is the first page.")};
        Msg_PathMissing = QStringLiteral("%1 does not exist.");
        Msg_NoPages = QStringLiteral("%1 holds no pages to show.");
        Msg_Encrypted = QStringLiteral("%1 is password-protected and cannot be shown.");
        Msg_NotZip = QStringLiteral("%1 is not ZIP archive");
        Msg_NotRar = QStringLiteral("%1 is not RAR archive");
        Msg_NotArchive = QStringLiteral("%1 is not a readable archive");
        Msg_Undecodable = QStringLiteral("%1\ncannot be shown: the image is damaged or not an image.");
        Msg_ExportOnePage = QStringLiteral("Export works on one page: switch to the one-page view to export.");
        Mnu_LeaveFullScreen = QStringLiteral("Leave full screen (F11)");
    } else {
        Lang_Folder = QString();
        Title_Text = QStringLiteral("리프뷰 Ver") + versionText();
        ChkEffectCaption = QStringLiteral("책장효과");
        ChkJapanCaption = QStringLiteral("일본만화");
        Msg_Loading = QStringLiteral("이미지 불러오기.....[잠시만 기다려 주세요]");
        Msg_ExportPrompt = QStringLiteral("내보낼 파일이 저장될 폴더 위치를 지정하세요.");
        Msg_FolderMissing = QStringLiteral("지정한 위치에 해당폴더가 존재하지 않습니다");
        Msg_Table = {QStringLiteral("마지막 페이지 입니다. 다음권을 보시겠습니까?"),
                     QStringLiteral("첫 페이지 입니다. 이전권을 보시겠습니까?"),
                     QStringLiteral("목록페이지 생성중입니다.."),
                     QStringLiteral("새폴더 이름을 입력하세요"),
                     QStringLiteral("폴더지정하기"),
                     QStringLiteral("마지막 페이지 입니다."),
                     QStringLiteral("첫 페이지 입니다.")};
        Msg_PathMissing = QStringLiteral("%1\n파일이나 폴더가 없습니다.");
        Msg_NoPages = QStringLiteral("%1\n볼 수 있는 이미지가 없습니다.");
        Msg_Encrypted = QStringLiteral("%1\n암호가 걸린 압축파일이라 볼 수 없습니다.");
        Msg_NotZip = QStringLiteral("%1\nZIP 압축파일이 아니거나 손상된 파일입니다.");
        Msg_NotRar = QStringLiteral("%1\nRAR 압축파일이 아니거나 손상된 파일입니다.");
        Msg_NotArchive = QStringLiteral("%1\n읽을 수 없는 압축파일입니다.");
        Msg_Undecodable = QStringLiteral("%1\n손상되었거나 이미지가 아니어서 볼 수 없습니다.");
        Msg_ExportOnePage = QStringLiteral("내보내기는 1장보기에서만 할 수 있습니다.");
        Mnu_LeaveFullScreen = QStringLiteral("전체 화면 끝내기 (F11)");
    }
}
