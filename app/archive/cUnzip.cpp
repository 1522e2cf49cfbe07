// Placeholder until the ZIP reader lands; replaced whole by it.
#include "archive/cUnzip.h"

cUnzip::cUnzip(PageListHost *host, QObject *parent) : QObject(parent), m_host(host) {}
cUnzip::~cUnzip() = default;
void cUnzip::setZipFile(const QString &path) { m_zipFile = path; m_entries.clear(); }
qint32 cUnzip::Directory() { return 0; }
QString cUnzip::FileName(qint32 i) const { return m_entries.at(std::size_t(i - 1)).fileName; }
QString cUnzip::FileDirectory(qint32 i) const { return m_entries.at(std::size_t(i - 1)).folder; }
bool cUnzip::FileSelected(qint32 i) const { return m_entries.at(std::size_t(i - 1)).selected; }
void cUnzip::setFileSelected(qint32 i, bool s) { m_entries.at(std::size_t(i - 1)).selected = s; }
std::optional<bool> cUnzip::File_ExtractUnzip(const QString &, const QString &) { return std::nullopt; }
