#include "core/RecentBooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace {
// A list of a hundred paths is a few tens of kilobytes; anything far larger is
// not ours and is not read.
constexpr qint64 kFileMax = 1 << 20;
} // namespace

RecentBooks::RecentBooks(QString file) : m_file(std::move(file)) {}

QString RecentBooks::canonical(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : resolved;
}

bool RecentBooks::exists(const RecentBook &book)
{
    return !book.path.isEmpty() && QFileInfo::exists(book.path);
}

const QList<RecentBook> &RecentBooks::books()
{
    load();
    return m_books;
}

QList<RecentBook> RecentBooks::shown()
{
    return books().mid(0, kShown);
}

std::optional<RecentBook> RecentBooks::find(const QString &path)
{
    const QString key = canonical(path);
    for (const RecentBook &b : books()) {
        if (b.path == key)
            return b;
    }
    return std::nullopt;
}

void RecentBooks::remember(RecentBook book)
{
    book.path = canonical(book.path);
    if (book.path.isEmpty())
        return;
    load();
    m_books.removeIf([&book](const RecentBook &b) { return b.path == book.path; });
    book.volume = std::max(book.volume, 0);
    book.page = std::max(book.page, 0);
    m_books.prepend(book);
    if (m_books.size() > kKept)
        m_books.resize(kKept);
    save();
}

void RecentBooks::remove(const QString &path)
{
    const QString key = canonical(path);
    load();
    if (m_books.removeIf([&key](const RecentBook &b) { return b.path == key; }) > 0)
        save();
}

void RecentBooks::clear()
{
    load();
    m_books.clear();
    save();
}

void RecentBooks::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QFile f(m_file);
    if (m_file.isEmpty() || f.size() > kFileMax || !f.open(QIODevice::ReadOnly))
        return;
    const QJsonArray list = QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("books")).toArray();
    for (const QJsonValue &v : list) {
        const QJsonObject o = v.toObject();
        RecentBook b;
        b.path = o.value(QStringLiteral("path")).toString();
        b.volume = std::max(o.value(QStringLiteral("volume")).toInt(), 0);
        b.page = std::max(o.value(QStringLiteral("page")).toInt(), 0);
        b.finished = o.value(QStringLiteral("finished")).toBool();
        const bool twice = std::any_of(m_books.cbegin(), m_books.cend(), [&b](const RecentBook &k) { return k.path == b.path; });
        if (!b.path.isEmpty() && !twice)
            m_books.append(b);
        if (m_books.size() == kKept)
            break;
    }
}

void RecentBooks::save()
{
    if (m_file.isEmpty())
        return;
    QJsonArray list;
    for (const RecentBook &b : m_books) {
        list.append(QJsonObject{{QStringLiteral("path"), b.path},
                                {QStringLiteral("volume"), b.volume},
                                {QStringLiteral("page"), b.page},
                                {QStringLiteral("finished"), b.finished}});
    }
    // Written whole under another name and renamed: a crash never leaves half a list.
    QSaveFile f(m_file);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(QJsonDocument(QJsonObject{{QStringLiteral("books"), list}}).toJson(QJsonDocument::Indented));
        f.commit();
    }
}
