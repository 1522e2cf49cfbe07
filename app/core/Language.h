#pragma once
#include <QString>
#include <array>

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

    static QString versionText(); // "1.7.0"
    // The settings file's language value ("Main", "Language") asks for English.
    static bool isEnglishSetting(const QString &value);
    // Fills every text for the current Lang_Mode (the text part of Lang_Load).
    void load();
};
