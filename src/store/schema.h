#pragma once

#include "store/result.h"

namespace loto6 {

class Database;

// Every table and view the program keeps in its database, made here and nowhere else. Each
// statement leaves what exists as it is, so a database made by an older version gains the
// newer tables on its first write and opens unchanged otherwise.

// The history view as the program makes it; SQLite keeps the text of the statement as given,
// so a database whose view differs can be told apart.
extern const char *const HistoryViewSql;

// A new database: the draws table 結果マスタ, its view and the program's own tables.
Status createHistorySchema(Database &db);
// The program's own tables (payouts and where each draw came from) when missing.
Status createOwnTables(Database &db);
// The tables of tickets and recorded predictions when missing, with the triggers that keep a
// recorded prediction from being edited.
Status createTicketTables(Database &db);

// The table of stored estimates (the popularity model learnt from a history) when missing:
// one row per kind and key, the blob checked by its reader, never trusted.
inline constexpr const char *EstimateTable = "人気度推定";
Status createEstimateTable(Database &db);

} // namespace loto6
