#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace loto6 {

// Where the programs find their files. A local build keeps the database and the bundled files
// beside the executables; an installed copy reads its bundled files from the shared data folder
// (bin/../share/loto6zumvel) and keeps the database in the user's data folder, since the
// program's folder is not writable there.
std::filesystem::path programDir();
std::filesystem::path defaultDatabasePath();
std::filesystem::path bundledHistoryPath();

// The installed data folder relative to the executables.
std::filesystem::path installedDataDir();
// $XDG_DATA_HOME/loto6zumvel, else ~/.local/share/loto6zumvel; empty when neither is known.
std::filesystem::path userDataDir();
// A bundled file: beside the program first (besideProgram is relative to programDir()), then
// under installedDataDir(); the path beside the program when it is in neither place.
std::filesystem::path findDataFile(
    const std::filesystem::path &besideProgram, const std::filesystem::path &installed);

// The file given to the option --NAME as "--NAME FILE" or "--NAME=FILE", the bytes as given (a
// name need not be valid text); nothing when the option is not there.
std::optional<std::filesystem::path> optionFile(int argc, char **argv, std::string_view name);

inline constexpr const char *DatabaseFileName = "Loto6Zumvel.db";
inline constexpr const char *DataFolderName = "loto6zumvel";
inline constexpr const char *BundledHistoryFileName = "loto6-history.csv";
inline constexpr const char *BundledPrizesFileName = "loto6-prizes.csv";

} // namespace loto6
