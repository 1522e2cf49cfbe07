// Placeholder until the RAR reader lands; replaced whole by it.
#include "archive/Cls_Rar.h"

Cls_Rar::Cls_Rar(PageListHost *host) : m_host(host) {}
Cls_Rar::~Cls_Rar() = default;
void Cls_Rar::setRarFile(const QString &f) { m_rarFile = f; m_entries.clear(); }
QString Cls_Rar::RarFolderName(qint16 i) const { return m_entries.at(std::size_t(i - 1)).folder; }
QString Cls_Rar::RarFileName(qint16 i) const { return m_entries.at(std::size_t(i - 1)).fileName; }
bool Cls_Rar::RarSelected(qint16 i) const { return m_entries.at(std::size_t(i - 1)).selected; }
void Cls_Rar::setRarSelected(qint16 i, bool s) { m_entries.at(std::size_t(i - 1)).selected = s; }
void Cls_Rar::Rar_Directory() {}
void Cls_Rar::UnRar_Exe(qint32, const QString &, const QString &) {}
void Cls_Rar::UnCompressRAR(qint32, const QString &, const QString &, const QString &, bool) {}
QString Cls_Rar::ParseFilename(const QString &p) { return p; }
QString Cls_Rar::RarFolderOf(const QString &) { return {}; }
