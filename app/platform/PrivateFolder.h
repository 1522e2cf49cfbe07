#pragma once
#include <QString>

// A scratch folder private to one process, in the system's temporary folder. It
// never outlives the process: it is removed when the object goes, when SIGTERM,
// SIGINT or SIGHUP ends the process, and, should the process be killed outright,
// by the next process that makes one with the same prefix. One at a time.
class PrivateFolder
{
public:
    explicit PrivateFolder(const QString &prefix);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder &) = delete;
    PrivateFolder &operator=(const PrivateFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }

    // Removes the folders "<prefix>-<pid>-*" of processes that no longer run.
    static void removeStale(const QString &prefix);

private:
    void create(const QString &prefix);
    QString m_path;
};
