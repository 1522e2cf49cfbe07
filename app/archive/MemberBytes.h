#pragma once
#include "archive/ArchiveHandle.h"

#include <QByteArray>
#include <QString>

// One member of an archive read into memory, never written anywhere: for a
// caller that wants a single page and must leave nothing behind.
namespace MemberBytes {

struct Limits
{
    // The most the member may hold.
    qint64 member = 0;
    // The most the members before it may hold where passing them means unpacking
    // them (a 7z or RAR block packed as one, a tar compressed whole): a small
    // page placed after a gigabyte of zeros costs as much as the zeros.
    qint64 passed = 0;
};

enum class Status { Read, Missing, TooLarge, Failed };

struct Result
{
    Status status = Status::Failed;
    QByteArray bytes;
    QString why; // for anything but Read
};

// Member number `ordinal` (0 the first header the reader of `kind` meets).
Result read(const QString &path, ArchiveHandle::Kind kind, int ordinal, const Limits &limits);

} // namespace MemberBytes
