#include "core/Language.h"

#include "listing/ListingHost.h"

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

namespace {
// A language value names Korean, English, or neither (empty: not set).
std::optional<qint16> modeOf(const QString &value)
{
    const QString v = value.trimmed();
    if (v.isEmpty())
        return std::nullopt;
    if (Language::isEnglishSetting(v))
        return qint16(1);
    if (v.compare(QLatin1String("Korean"), Qt::CaseInsensitive) == 0 ||
        v.compare(QLatin1String("ko"), Qt::CaseInsensitive) == 0 || v == QLatin1String("0"))
        return qint16(0);
    return std::nullopt;
}
} // namespace

std::optional<qint16> Language::chooseMode(const QString &commandLine, const QString &setting,
                                          const QString &systemLocale)
{
    if (const std::optional<qint16> m = modeOf(commandLine))
        return m;
    if (const std::optional<qint16> m = modeOf(setting))
        return m;
    const QString locale = systemLocale.trimmed();
    if (locale.isEmpty() || locale == QLatin1String("C") || locale == QLatin1String("POSIX"))
        return std::nullopt;
    return qint16(locale.startsWith(QLatin1String("ko"), Qt::CaseInsensitive) ? 0 : 1);
}

void Language::load()
{
    const bool english = Lang_Mode == 1;
    if (english) {
        Lang_Folder = QStringLiteral("english/");
        Title_Text = QStringLiteral("Leafview Version ") + versionText();
        ChkEffectCaption = QStringLiteral("Book effect");
        ChkJapanCaption = QStringLiteral("Right to left");
        Msg_Loading = QStringLiteral("Loading pages... please wait");
        Msg_ExportPrompt = QStringLiteral("Choose the folder that exported pages go into.");
        Msg_FolderMissing = QStringLiteral("The export folder no longer exists.");
        Msg_Table = {QStringLiteral("This is the last page. Go on to the next volume?"),
                     QStringLiteral("This is the first page. Go back to the previous volume?"),
                     QStringLiteral("Making the page index..."),
                     QStringLiteral("Name of the new folder"),
                     QStringLiteral("Choose the export folder"),
                     QStringLiteral("This is the last page."),
                     QStringLiteral("This is the first page.")};
        Msg_PathMissing = QStringLiteral("%1 does not exist.");
        Msg_NoPages = QStringLiteral("%1 holds no pages to show.");
        Msg_Encrypted = QStringLiteral("%1 is password-protected and cannot be shown.");
        Msg_NotZip = QStringLiteral("%1 is not a ZIP archive, or it is damaged.");
        Msg_NotRar = QStringLiteral("%1 is not a RAR archive, or it is damaged.");
        Msg_NotArchive = QStringLiteral("%1 is not a readable archive.");
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

    // Texts the design gives in Korean only or in English only, each with its twin.
    const auto pick = [english](const char *korean, const char *inEnglish) {
        return QString::fromUtf8(english ? inEnglish : korean);
    };
    Msg_ResumeTitle = pick("기존파일읽기", "Resume reading");
    Msg_ResumeQuestion = pick("기존에 있던 파일을 계속 읽으시겠습니까?", "Go on reading the book you were reading last time?");

    ChkViewCaption = pick("2장보기", "Two pages");
    ChkSharpenCaption = pick("선명하게", "Sharpen");
    OptionsCaption = pick("보기 옵션", "Options");
    Msg_NoImage = pick("이미지가 없습니다.", "No pages to show.");
    Msg_Wait = pick("잠시만 기다려주세요", "Please wait");
    Cap_CancelLoad = pick("취소", "Cancel");
    Tip_CancelLoad = pick("불러오기를 멈추고 앞의 책으로 돌아갑니다 (Esc)", "Stop loading and go back to the previous book (Esc)");
    Tip_Open = pick("책 열기 (Ctrl+O)", "Open a book (Ctrl+O)");
    Tip_First = pick("첫 페이지 (Home)", "First page (Home)");
    Tip_Prev = pick("이전 페이지", "Previous page");
    Tip_Next = pick("다음 페이지", "Next page");
    Tip_Last = pick("마지막 페이지 (End)", "Last page (End)");
    Tip_Export = pick("현재 페이지 내보내기 (Ctrl+S)", "Export the current page (Ctrl+S)");
    Tip_ExportFolder = pick("내보낼 폴더 지정", "Choose the export folder");
    Tip_FullScreen = pick("전체화면 (F11, 돌아오기: F11 또는 Esc)", "Full screen (F11; F11 or Esc returns)");
    Tip_Index = pick("목록보기 (F9)", "Page index (F9)");
    Tip_IndexClose = pick("목록 닫기 (F9)", "Close the page index (F9)");
    Tip_HowTo = pick("사용법 보기", "How to read");
    Tip_Info = pick("프로그램 정보 (F1)", "Program information (F1)");
    Msg_NewVersion = pick("새 버전 %1 이 나왔습니다", "Version %1 is out");

    Mnu_Open = pick("열기", "Open");
    Mnu_Export = pick("파일 내보내기", "Export page");
    Mnu_SelFolder = pick("폴더지정", "Export folder");
    Mnu_TwoPage = pick("2장보기", "Two pages");
    Mnu_OnePage = pick("1장보기", "One page");
    Mnu_BookEffect = pick("책장효과", "Book effect");
    Mnu_Original = pick("100%(원본크기보기)", "100% (original size)");
    Mnu_Japan = pick("일본만화", "Right to left");
    Mnu_GoFirst = pick("맨앞으로", "First page");
    Mnu_GoPrev = pick("이전", "Previous");
    Mnu_GoNext = pick("다음", "Next");
    Mnu_GoLast = pick("맨뒤로", "Last page");
    Mnu_WideAlone = pick("넓은 페이지 따로 보기 (A)", "Wide page alone (A)");
    Mnu_CoverAlone = pick("표지 따로 보기 (O)", "Cover alone (O)");
    Mnu_ShiftByOne = pick("한 장 밀어 짝 맞추기 (S)", "Shift by one (S)");
    Mnu_FollowDirection = pick("읽는 방향으로 넘기기", "Controls follow reading direction");
    Mnu_FitPage = pick("쪽 맞춤 (B)", "Fit page (B)");
    Mnu_FitWidth = pick("폭 맞춤 (W)", "Fit width (W)");
    Mnu_FitHeight = pick("높이 맞춤 (H)", "Fit height (H)");
    Mnu_ZoomIn = pick("확대 (+)", "Zoom in (+)");
    Mnu_ZoomOut = pick("축소 (-)", "Zoom out (-)");
    Mnu_ZoomReset = pick("맞춤 크기로 (0)", "Back to the fit (0)");
    Mnu_ActualSize = pick("실제 크기 (1)", "Actual size (1)");
    Mnu_RotateCw = pick("시계 방향 회전 (R)", "Rotate clockwise (R)");
    Mnu_RotateCcw = pick("반시계 방향 회전 (Shift+R)", "Rotate counter-clockwise (Shift+R)");
    Mnu_Continuous = pick("이어 보기 (C)", "Continuous strip (C)");

    Open_Title = pick("열기", "Open");
    Open_Zip = pick("압축파일열기", "Open an archive");
    Open_Folder = pick("폴더열기", "Open a folder");
    Open_Run = pick("실행", "Open");
    Open_ZipHint = pick("※ZIP 또는 RAR 파일을 선택합니다. ※두번(이중) 압축된 파일안의 이미지도 볼 수 있습니다.",
                        "※ Choose a ZIP or RAR file. ※ Pages of an archive inside the archive are shown too.");
    Open_FolderHint = pick("※폴더를 선택하면 폴더내의 압축파일과 하위폴더의 이미지를 볼 수 있습니다.",
                           "※ Choose a folder to read the archives in it and the pages of its sub-folders.");
    Open_Filter = pick("압축파일 ", "Archives ");
    Open_BrowseTitle = pick("이미지가 있는 폴더를 선택하세요...", "Select a Folder with Images...");

    Msg_ExportFull = pick("내보낼 폴더에 이미 '%2' 파일이 %1개(Ox0001 ~ Ox%1) 있습니다. 다른 폴더를 지정하세요.",
                          "The export folder already holds %1 exported '%2' files (Ox0001 to Ox%1). "
                          "Choose another export folder.");
    Msg_ExportDoneTitle = pick("파일복사 성공", "Page exported");
    Msg_ExportDone = pick("현재 페이지를 %1 파일로 복사하였습니다.", "The current page was copied to '%1'.");
    Msg_ExportFailed = pick("현재 페이지를 %1 파일로 복사하지 못했습니다.", "The current page could not be copied to '%1'.");
    Msg_ExportSourceMissing = pick("페이지 파일 %1 이(가) 없습니다.", "The page's file %1 is missing.");
    Msg_ExportNameTaken = pick("다른 파일이 그 이름을 먼저 차지했습니다.", "Another file took that name.");
    Folder_Location = pick("폴더 위치", "Folder location");
    Folder_NotFound = pick("폴더를 찾지 못했습니다", "Not Found");
    Folder_List = pick("폴더/드라이브:", "Folders/drives:");
    Folder_Places = pick("위치", "Places");
    Folder_New = pick("새폴더", "New folder");
    Folder_Ok = pick("확인", "OK");
    Folder_Cancel = pick("취소", "Cancel");
    Tip_FolderNew = pick("선택한 폴더 안에 새 폴더를 만듭니다", "Make a folder inside the selected one");
    Tip_FolderOk = pick("선택한 폴더로 페이지를 내보냅니다", "Export pages into the selected folder");
    Tip_FolderCancel = pick("내보낼 폴더를 바꾸지 않습니다", "Keep the export folder as it was");
    Msg_FolderNotMade = pick("'%1' 폴더를 만들 수 없습니다.", "The folder '%1' cannot be created.");

    Mnu_Menu = pick("메뉴", "Menu");
    Mnu_Recent = pick("최근에 읽은 책", "Recent books");
    Mnu_RecentNone = pick("(없음)", "(none)");
    Mnu_RecentClear = pick("목록 지우기", "Clear the list");
    Mnu_RecentMissing = pick("%1 (없음)", "%1 (missing)");
    Msg_RecentMissing = pick("%1\n이 책이 더 이상 없습니다. 목록에서 지울까요?",
                             "%1\nThis book no longer exists. Remove it from the list?");
    Msg_KeyProblems = pick("leafview.ini의 [Keys]에서 다음 설정은 쓰지 않고 기본 키를 그대로 둡니다.\n\n%1",
                           "These [Keys] settings in leafview.ini were not taken; those actions keep their "
                           "default keys.\n\n%1");
    Mnu_Language = pick("언어", "Language");
    Mnu_LangKorean = QStringLiteral("한국어");
    Mnu_LangEnglish = QStringLiteral("English");
    Mnu_CodePage = pick("압축파일 이름의 문자 코드", "Code page of archive names");
    Msg_CodePageNext = pick("다음에 프로그램을 시작할 때부터 압축파일 이름을 이 문자 코드로 읽습니다.",
                            "Archive names are read in this code page from the next start on.");
    Open_Recent = pick("최근에 읽은 책", "Recent books");
    Open_Remove = pick("목록에서 지우기", "Remove from the list");
    Open_Clear = pick("목록 지우기", "Clear the list");

    Tip_InfoClose = pick("확인 (Esc)", "OK (Esc)");

    Msg_ErrorTitle = pick("오류", "Error");
    Msg_TooManyPages = pick("%1: %2쪽은 너무 많아 이 권을 열 수 없습니다 (한 권에 %3쪽까지).",
                            "%1: %2 pages are too many to open this volume (at most %3 pages a volume).");
    Msg_OverBudget = pick("%1: %2쪽은 임시 폴더에 풀 수 있는 한도(%3 MB)를 넘어 풀지 않았습니다.",
                          "%1: %2 pages were not extracted: they would pass the temporary folder's limit (%3 MB).");
    Msg_CannotOpen = pick("%1\n파일을 열 수 없습니다.", "Cannot open %1");
    Msg_NoMemory = pick("%1: 메모리가 부족합니다.", "%1: Not enough memory");
    Msg_ArchiveHeaderBroken = pick("%1: 압축파일의 머리 정보가 손상되었습니다.", "%1: archive header broken");
    Msg_FileHeaderBroken = pick("%1: 압축파일 안의 파일 정보가 손상되었습니다.", "%1: File header broken");
    Msg_MultiVolume = pick("%1\n여러 부분으로 나뉜 RAR 압축파일의 한 부분이라 읽을 수 없습니다.",
                           "%1 is one part of a multi-volume RAR archive, which cannot be read");
    Msg_SolidRar4 = pick("%1: 솔리드 RAR 4 압축파일은 읽을 수 없습니다.", "%1: solid RAR 4 archives cannot be read");
    Msg_EncryptedHeaders =
        pick("%1: 목록까지 암호가 걸린 압축파일이라 읽을 수 없습니다.", "%1: the archive is encrypted and cannot be read");
    Msg_TmpMissingTitle = pick("임시 폴더가 없습니다", "Extract folder does not exist");
    Msg_TmpMissing = pick("%1 폴더가 없습니다!", "%1 does not exist!");
}

ListingTexts Language::listingTexts() const
{
    return {.notZip = Msg_NotZip,
            .notRar = Msg_NotRar,
            .notArchive = Msg_NotArchive,
            .encrypted = Msg_Encrypted,
            .errorTitle = Msg_ErrorTitle,
            .tooManyPages = Msg_TooManyPages,
            .overBudget = Msg_OverBudget,
            .cannotOpen = Msg_CannotOpen,
            .noMemory = Msg_NoMemory,
            .archiveHeaderBroken = Msg_ArchiveHeaderBroken,
            .fileHeaderBroken = Msg_FileHeaderBroken,
            .multiVolume = Msg_MultiVolume,
            .solidRar4 = Msg_SolidRar4,
            .encryptedHeaders = Msg_EncryptedHeaders,
            .tmpMissingTitle = Msg_TmpMissingTitle,
            .tmpMissing = Msg_TmpMissing};
}
