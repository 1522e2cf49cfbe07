#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

// A path handed over by a later start, kept while the window cannot take it (a
// dialog waits for an answer, a volume loads) and opened as soon as it can. Only
// the latest path waits: each start stands for what the reader wants now.
class PendingHandOver : public QObject
{
public:
    explicit PendingHandOver(QObject *parent = nullptr);

    // Whether the window can open a path now.
    std::function<bool()> ready;
    // Opens the path.
    std::function<void(const QString &)> open;

    // Opens `path` now when the window is ready, else keeps it in place of any
    // path still waiting.
    void offer(const QString &path);
    bool pending() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    // Forgets a waiting path (the window closes).
    void drop();

private:
    void retry();

    QString m_path;
    QTimer m_retry;
};
