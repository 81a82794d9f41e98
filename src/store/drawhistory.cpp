#include "store/drawhistory.h"

namespace loto6 {

DrawHistory::DrawHistory(std::vector<DrawRecord> records)
    : m_records(std::move(records))
{
    for (const DrawRecord &r : m_records) {
        if (r.malformed)
            ++m_malformed;
        if (!r.isComplete())
            ++m_incomplete;
    }
}

} // namespace loto6
