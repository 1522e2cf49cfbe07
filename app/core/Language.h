#pragma once
#include <QString>
#include <array>
#include <optional>

struct ListingTexts;

// The program-wide interface texts. Lang_Mode 1 selects English; every other
// value (and nothing in the program changes it from 0) selects Korean.
struct Language
{
    qint16 Lang_Mode = 0;
    QString Lang_Folder;        // skin language sub-folder: "" or "english/"
    QString Title_Text;         // title prefix + version text
    QString ChkEffectCaption;   // caption of chkeffect
    QString ChkJapanCaption;    // caption of chk_japan
    QString Msg_Loading;
    QString Msg_ExportPrompt;
    QString Msg_FolderMissing;
    std::array<QString, 7> Msg_Table;
    // Messages about a book that cannot be shown; "%1" is its path.
    QString Msg_PathMissing;  // names nothing on disk
    QString Msg_NoPages;      // opened, but holds no page
    QString Msg_Encrypted;    // a ZIP whose pages need a password
    QString Msg_NotZip;       // not an archive of its name's kind
    QString Msg_NotRar;
    QString Msg_NotArchive;   // 7z or tar
    // Drawn on a page whose file cannot be decoded; "%1" is its file name.
    QString Msg_Undecodable;
    // The export key in the two-page view, and the full-screen menu's way out.
    QString Msg_ExportOnePage;
    QString Mnu_LeaveFullScreen;
    // The resume question at start.
    QString Msg_ResumeTitle;
    QString Msg_ResumeQuestion;

    // ---- main window: the other switches, notices and what each button does
    QString ChkViewCaption;
    QString ChkSharpenCaption;
    QString OptionsCaption; // the one button standing in for the switches
    QString Msg_NoImage;    // lblnoimage
    QString Msg_Wait;       // the wait panel before anything loads
    QString Cap_CancelLoad, Tip_CancelLoad; // the wait panel's button that gives a load up
    QString Tip_Open, Tip_First, Tip_Prev, Tip_Next, Tip_Last, Tip_Export, Tip_ExportFolder, Tip_FullScreen,
        Tip_Index, Tip_IndexClose, Tip_HowTo, Tip_Info;
    QString Msg_NewVersion; // "%1" is the version published

    // ---- full-screen pop-up menu, in menu order
    QString Mnu_Open, Mnu_Export, Mnu_SelFolder, Mnu_TwoPage, Mnu_OnePage, Mnu_BookEffect, Mnu_Original,
        Mnu_Japan, Mnu_GoFirst, Mnu_GoPrev, Mnu_GoNext, Mnu_GoLast;
    // The spread entries of the page menus.
    QString Mnu_WideAlone, Mnu_CoverAlone, Mnu_ShiftByOne, Mnu_FollowDirection;
    // The view entries: fit, zoom, rotation and the continuous strip.
    QString Mnu_FitPage, Mnu_FitWidth, Mnu_FitHeight, Mnu_ZoomIn, Mnu_ZoomOut, Mnu_ZoomReset, Mnu_ActualSize,
        Mnu_RotateCw, Mnu_RotateCcw, Mnu_Continuous;

    // ---- open chooser
    QString Open_Title;  // the chooser and its file dialog
    QString Open_Zip, Open_Folder, Open_Run;
    QString Open_ZipHint, Open_FolderHint;
    QString Open_Filter; // the file dialog's filter, before its patterns
    QString Open_BrowseTitle;

    // ---- export and the export-folder chooser
    QString Msg_ExportFull;          // "%1" the last number, "%2" the extension
    QString Msg_ExportDoneTitle;
    QString Msg_ExportDone;          // "%1" the file written
    QString Msg_ExportFailed;        // "%1" the file that was not written
    QString Msg_ExportSourceMissing; // "%1" the page's file
    QString Msg_ExportNameTaken;
    QString Folder_Location, Folder_NotFound, Folder_List, Folder_Places, Folder_New, Folder_Ok, Folder_Cancel;
    QString Tip_FolderNew, Tip_FolderOk, Tip_FolderCancel;
    QString Msg_FolderNotMade; // "%1" the name asked for

    // ---- the menu of settings and recent books (main window and full screen)
    QString Mnu_Menu;          // the main window's button that holds it
    QString Mnu_Recent;        // the recent books
    QString Mnu_RecentNone;    // in place of an empty list
    QString Mnu_RecentClear;
    QString Mnu_RecentMissing; // after a book that no longer exists: "%1" its name
    QString Msg_RecentMissing; // "%1" the path: remove it from the list?
    QString Msg_KeyProblems;   // "%1" the [Keys] entries not taken, one a line
    QString Mnu_Language, Mnu_CodePage;
    QString Mnu_LangKorean, Mnu_LangEnglish; // each in its own language
    QString Msg_CodePageNext;  // the code page is read at the next start
    QString Open_Recent, Open_Remove, Open_Clear;

    // ---- information window
    QString Tip_InfoClose;

    // ---- the archive readers' own messages (see ListingTexts)
    QString Msg_ErrorTitle;
    QString Msg_TooManyPages; // "%1" the volume, "%2" its pages, "%3" the most a volume may hold
    QString Msg_OverBudget;   // "%1" the archive, "%2" the pages left out, "%3" the limit in MB
    QString Msg_CannotOpen, Msg_NoMemory, Msg_ArchiveHeaderBroken, Msg_FileHeaderBroken, Msg_MultiVolume,
        Msg_SolidRar4, Msg_EncryptedHeaders; // "%1" the archive
    QString Msg_TmpMissingTitle;
    QString Msg_TmpMissing; // "%1" TmpZip's path

    static QString versionText(); // "1.7.0"
    // The settings file's language value ("Main", "Language") asks for English.
    static bool isEnglishSetting(const QString &value);
    // The Lang_Mode asked for: the command line's --lang for this run, else the
    // settings' language ("Korean" or "English"), else the desktop's language (a
    // locale name such as "ko_KR" or "de_DE"): Korean for a Korean desktop,
    // English for any other. Nothing when none of them names a language (a
    // desktop in "C" or "POSIX"): the Korean of the design then stays.
    static std::optional<qint16> chooseMode(const QString &commandLine, const QString &setting,
                                            const QString &systemLocale);
    // Fills every text for the current Lang_Mode (the text part of Lang_Load).
    void load();
    // What the archive readers show, in this language.
    ListingTexts listingTexts() const;
};
