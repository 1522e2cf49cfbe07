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

    static QString versionText(); // "1.7.0"
    // Fills every text for the current Lang_Mode (the text part of Lang_Load).
    void load();
};
