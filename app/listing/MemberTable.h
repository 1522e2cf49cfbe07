#pragma once
#include <QString>
#include <optional>
#include <vector>

struct MemberRecord
{
    QString fileName;
    QString folder;
    QString volumeName;
};

// The flat listing of an opened source, indexed from 1. "Not dimensioned" (no
// source listed) is distinct from "dimensioned with no records".
class MemberTable
{
public:
    bool dimensioned() const { return m_records.has_value(); }
    void discard() { m_records.reset(); }
    void dimension(int count) { m_records.emplace(std::size_t(count > 0 ? count : 0)); }
    int upper() const { return m_records ? int(m_records->size()) : 0; }
    MemberRecord &at(int index1) { return m_records->at(std::size_t(index1 - 1)); }
    const MemberRecord &at(int index1) const { return m_records->at(std::size_t(index1 - 1)); }
    void append(MemberRecord r)
    {
        if (!m_records)
            m_records.emplace();
        m_records->push_back(std::move(r));
    }

private:
    std::optional<std::vector<MemberRecord>> m_records;
};
