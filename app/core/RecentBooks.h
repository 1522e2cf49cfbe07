#pragma once
#include <QList>
#include <QString>

#include <optional>

// One book read lately and the place it was left at.
struct RecentBook
{
    QString path;        // canonical: the same book by any spelling of its path
    qint32 volume = 0;   // the volume list's index
    qint32 page = 0;     // the page (in two-page view the first of its spread)
    bool finished = false; // left at the last page of the last volume
};

// The books read lately, the latest first, each with its place: a book opened
// again by any route resumes there. One small file in the data folder, read on
// first use and written at every change; a damaged file reads as an empty list.
class RecentBooks
{
public:
    static constexpr int kKept = 100; // books the file keeps
    static constexpr int kShown = 10; // books the menus and the chooser show

    explicit RecentBooks(QString file = QString());

    const QList<RecentBook> &books();
    // The first kShown books.
    QList<RecentBook> shown();
    std::optional<RecentBook> find(const QString &path);
    // Puts the book first, over its earlier entry; the oldest beyond kKept go.
    void remember(RecentBook book);
    void remove(const QString &path);
    void clear();

    // The form a path is kept and looked up in: symbolic links resolved and
    // "." and ".." gone, so two spellings of one book find one entry.
    static QString canonical(const QString &path);
    static bool exists(const RecentBook &book);

private:
    void load();
    void save();

    QString m_file;
    bool m_loaded = false;
    QList<RecentBook> m_books;
};
