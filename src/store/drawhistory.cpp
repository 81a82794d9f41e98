#include "store/drawhistory.h"

namespace loto6 {

DrawHistory::DrawHistory(std::vector<DrawRecord> records)
    : m_records(std::move(records))
{
    for (const DrawRecord &r : m_records)
        if (r.malformed)
            ++m_malformed;
}

DrawHistory DrawHistory::cutAfter(int asOf) const
{
    if (asOf == NoCut)
        return *this;
    std::vector<DrawRecord> kept;
    kept.reserve(m_records.size());
    for (const DrawRecord &r : m_records)
        if (keeps(r.drawNo, asOf))
            kept.push_back(r);
    return DrawHistory(std::move(kept));
}

} // namespace loto6
