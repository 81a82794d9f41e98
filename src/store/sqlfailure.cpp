#include "store/sqlfailure.h"

#include "store/textcodec.h"

#include <sqlite3.h>
#include <unistd.h>

namespace loto6 {

namespace fs = std::filesystem;

std::string sqliteReason(sqlite3 *db, const fs::path &file)
{
    const int code = sqlite3_errcode(db);
    if (code == SQLITE_CANTOPEN || code == SQLITE_IOERR || code == SQLITE_READONLY) {
        const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
        if (!file.empty() && ::access(folder.c_str(), W_OK) != 0)
            return "the folder " + withoutControls(folder.string())
                + " is not writable, so no change can be made safely (SQLite keeps its journal "
                  "beside the database); make the folder writable or move the database to one "
                  "that is";
    }
    const int extended = sqlite3_extended_errcode(db);
    if (code == SQLITE_FULL || extended == SQLITE_IOERR_WRITE || extended == SQLITE_IOERR_TRUNCATE)
        return std::string("cannot write the database file: the disk is full or a file size "
                           "limit was reached (")
            + sqlite3_errmsg(db) + "); free some space or raise the limit and try again";
    return sqlite3_errmsg(db);
}

std::string prefixOf(const fs::path &file)
{
    return file.empty() ? std::string() : withoutControls(file.string()) + ": ";
}

} // namespace loto6
