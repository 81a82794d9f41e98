#pragma once

#include "store/result.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace loto6 {

// The copy an update keeps of a database before it writes into it: FILE.bak.
std::filesystem::path databaseBackupPath(const std::filesystem::path &database);
// Every file that belongs to a database and that output must never replace: the database, its
// backup and SQLite's journal files (-journal, -wal, -shm).
std::vector<std::filesystem::path> databaseFiles(const std::filesystem::path &database);

// The databases this process holds open. Database registers a file while it is open, so that
// no output of either program, under whatever name it is given, replaces one of its files.
void holdDatabaseFile(const std::filesystem::path &database);
void releaseDatabaseFile(const std::filesystem::path &database);
std::vector<std::filesystem::path> heldDatabaseFiles();

// Writes output to a file the user named; the one writer of every output file. An ordinary
// file (or the one a link points to, the link kept, also when that file does not exist yet) is
// replaced atomically; a device, pipe or other special
// file is written in place, never replaced. A file of a database held open, or one of
// `protectedFiles` (the same file by device and inode, or by name when it does not exist yet),
// is refused before anything is written.
Status writeOutputFile(const std::filesystem::path &file, std::string_view bytes,
    const std::vector<std::filesystem::path> &protectedFiles = {});

} // namespace loto6
