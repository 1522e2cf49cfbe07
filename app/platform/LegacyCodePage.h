#pragma once
#include <QByteArray>
#include <QString>

// Archive member names: names flagged UTF-8 or valid as UTF-8 are read as UTF-8;
// any other name was written by an old tool in a legacy code page (CP949 by
// default, for Korean archives).
class LegacyCodePage
{
public:
    // The code page used for names that are not UTF-8. Defaults to "CP949"; an
    // unknown name keeps the default and returns false.
    static bool setName(const QByteArray &codePage);
    static QByteArray name();
    // Decodes raw member-name bytes.
    static QString decodeName(const QByteArray &raw, bool flaggedUtf8 = false);
    // The text in that code page, as the old tools measured names (a character
    // the code page lacks takes one byte).
    static QByteArray encode(const QString &text);
};
