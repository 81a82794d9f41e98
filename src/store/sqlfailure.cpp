#include "store/sqlfailure.h"

#include "store/textcodec.h"

#include <sqlite3.h>
#include <unistd.h>

namespace loto6 {

namespace fs = std::filesystem;

Fault sqliteFault(sqlite3 *db, const fs::path &file)
{
    const int code = sqlite3_errcode(db);
    if (code == SQLITE_CANTOPEN || code == SQLITE_IOERR || code == SQLITE_READONLY) {
        const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
        if (!file.empty() && ::access(folder.c_str(), W_OK) != 0)
            return Fault{.kind = FaultKind::FolderNotWritable, .value = folder.string()};
    }
    const int extended = sqlite3_extended_errcode(db);
    if (code == SQLITE_FULL || extended == SQLITE_IOERR_WRITE || extended == SQLITE_IOERR_TRUNCATE)
        return Fault{.kind = FaultKind::DiskFull, .detail = sqlite3_errmsg(db)};
    return Fault{.kind = FaultKind::SqliteFailed, .detail = sqlite3_errmsg(db)};
}

std::string sqliteReason(sqlite3 *db, const fs::path &file)
{
    return englishText(sqliteFault(db, file));
}

std::string prefixOf(const fs::path &file)
{
    return file.empty() ? std::string() : withoutControls(file.string()) + ": ";
}

} // namespace loto6
