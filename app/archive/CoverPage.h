#pragma once
#include "archive/MemberBytes.h"

#include <QByteArray>
#include <QString>

// The page a book opens at, found by the reader's own rules: the volumes and
// pages its readers list, junk left out, the first volume in the volume list's
// order and its first page in the page list's order. The page is read into
// memory; nothing is written.
namespace CoverPage {

struct Page
{
    QString name;     // the member's file name
    QByteArray bytes; // empty when the page was not read
    QString why;      // why not
};

// `path` is a ZIP, RAR, 7z or tar book (by its extension, as the reader takes it).
Page read(const QString &path, const MemberBytes::Limits &limits);

} // namespace CoverPage
