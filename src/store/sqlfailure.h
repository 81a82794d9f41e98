#pragma once

#include "store/fault.h"

#include <filesystem>
#include <string>

struct sqlite3;

namespace loto6 {

// SQLite's reason for the last failure of a connection on `file`, in words that say what to
// do. A change needs a journal beside the database: in a folder that cannot be written
// (read-only or immutable) that journal can neither be made nor, after an interrupted change,
// rolled back, and the folder is named. A full disk or a file size limit is named as such.
std::string sqliteReason(sqlite3 *db, const std::filesystem::path &file);
// The same as a fault (FolderNotWritable, DiskFull or SqliteFailed), naming no file.
Fault sqliteFault(sqlite3 *db, const std::filesystem::path &file);

// The file's name to start a message, "NAME: ", its control bytes shown escaped; empty for none.
std::string prefixOf(const std::filesystem::path &file);

} // namespace loto6
