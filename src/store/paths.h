#pragma once

#include <filesystem>

namespace loto6 {

// Where the programs find their files: the database and the bundled history sit beside the
// executables.
std::filesystem::path programDir();
std::filesystem::path defaultDatabasePath();
std::filesystem::path bundledHistoryPath();

inline constexpr const char *DatabaseFileName = "Loto6Zumvel.db";

} // namespace loto6
