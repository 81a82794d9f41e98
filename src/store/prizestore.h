#pragma once

#include "store/drawprizes.h"
#include "store/result.h"

#include <map>

namespace loto6 {

class Database;

// Every stored payout, by draw number. A database without payout data gives an empty map.
Status readPrizes(const Database &db, std::map<int, DrawPrizes> &prizes);

} // namespace loto6
