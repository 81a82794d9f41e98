#include "store/prizestore.h"

#include "store/database.h"

namespace loto6 {

Status readPrizes(const Database &, std::map<int, DrawPrizes> &prizes)
{
    // No payout tables yet: every draw's payout is unknown.
    prizes.clear();
    return Status::success();
}

} // namespace loto6
