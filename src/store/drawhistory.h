#pragma once

#include "store/drawrecord.h"

#include <cstddef>
#include <vector>

namespace loto6 {

// The draw history read once at start-up, in ascending 回数; every reader walks it from its
// first record.
class DrawHistory
{
public:
    DrawHistory() = default;
    explicit DrawHistory(std::vector<DrawRecord> records);

    const std::vector<DrawRecord> &records() const { return m_records; }
    std::size_t size() const { return m_records.size(); }
    bool empty() const { return m_records.empty(); }
    auto begin() const { return m_records.begin(); }
    auto end() const { return m_records.end(); }
    const DrawRecord &operator[](std::size_t i) const { return m_records[i]; }

    // The history as it stood after draw asOf: the records with a later 回数 left out, so
    // that nothing after it is seen. NoCut keeps every record. The database's read and the
    // desktop's 基準回 both cut with keeps().
    static constexpr int NoCut = 0;
    static bool keeps(long long drawNo, int asOf) { return asOf == NoCut || drawNo <= asOf; }
    DrawHistory cutAfter(int asOf) const;

    // Records skipped because a number field held something other than a whole number.
    int malformedCount() const { return m_malformed; }

private:
    std::vector<DrawRecord> m_records;
    int m_malformed = 0;
};

} // namespace loto6
