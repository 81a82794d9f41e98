#pragma once

#include "store/result.h"

#include <optional>
#include <string>
#include <string_view>

namespace loto6 {

class Database;

// Results learnt from the history that are costly to make (the popularity estimate, its
// backtest fits) are kept beside the ticket book in the table EstimateTable, one blob per kind
// and key. The store only keeps bytes: whoever reads a blob checks it and never trusts it.

// The blob stored under (kind, key); empty when there is none, or the table is missing or
// cannot be read.
std::optional<std::string> readStoredEstimate(
    const Database &db, std::string_view kind, std::string_view key);

// Stores the blob in a short transaction of its own, replacing one of the same kind and key and
// keeping only the `keep` newest of the kind. Touches no other table. A database that cannot
// be written (read-only file or folder, another program's lock held too long) is left as it
// is and the failure returned, for the caller to pass over.
Status storeEstimate(
    Database &db, std::string_view kind, std::string_view key, std::string_view blob, int keep = 8);

} // namespace loto6
