#include "store/paths.h"

#include <system_error>

namespace loto6 {

namespace fs = std::filesystem;

fs::path programDir()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fs::current_path(ec);
    return exe.parent_path();
}

fs::path defaultDatabasePath() { return programDir() / DatabaseFileName; }

fs::path bundledHistoryPath() { return programDir() / "data" / "loto6-history.csv"; }

} // namespace loto6
