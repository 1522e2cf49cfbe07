#pragma once
#include <QByteArray>
#include <QString>

// Extracts one ZIP member (the first when `member` is empty) the plain libarchive
// way into the file `to`: the cost any reader of the page pays at least.
void bareExtract(const QString &zipPath, const QByteArray &member, const QString &to);
