#include "store/paths.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

bool isFile(const fs::path &file)
{
    std::error_code ec;
    return fs::is_regular_file(file, ec);
}

// An absolute folder from the environment; relative values are ignored as the XDG rules say.
fs::path absoluteEnv(const char *name)
{
    const char *value = std::getenv(name);
    if (!value || !*value)
        return {};
    fs::path path(value);
    return path.is_absolute() ? path : fs::path();
}

} // namespace

fs::path programDir()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return fs::current_path(ec);
    return exe.parent_path();
}

fs::path installedDataDir()
{
    return (programDir() / ".." / "share" / DataFolderName).lexically_normal();
}

fs::path userDataDir()
{
    if (fs::path xdg = absoluteEnv("XDG_DATA_HOME"); !xdg.empty())
        return xdg / DataFolderName;
    if (fs::path home = absoluteEnv("HOME"); !home.empty())
        return home / ".local" / "share" / DataFolderName;
    return {};
}

fs::path findDataFile(const fs::path &besideProgram, const fs::path &installed)
{
    const fs::path beside = programDir() / besideProgram;
    if (isFile(beside))
        return beside;
    if (const fs::path shared = installedDataDir() / installed; isFile(shared))
        return shared;
    return beside;
}

fs::path bundledHistoryPath()
{
    return findDataFile(fs::path("data") / BundledHistoryFileName, BundledHistoryFileName);
}

std::optional<fs::path> optionFile(int argc, char **argv, std::string_view name)
{
    const std::string option = "--" + std::string(name);
    std::optional<fs::path> file;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg == option && i + 1 < argc)
            file = fs::path(argv[++i]);
        else if (arg.starts_with(option + "="))
            file = fs::path(std::string(arg.substr(option.size() + 1)));
    }
    return file;
}

fs::path defaultDatabasePath()
{
    const fs::path local = programDir() / DatabaseFileName;
    // A database already beside the program, or a local build with its bundled history there,
    // keeps the program's folder.
    if (isFile(local) || isFile(programDir() / "data" / BundledHistoryFileName))
        return local;
    if (!isFile(installedDataDir() / BundledHistoryFileName))
        return local;
    const fs::path userDir = userDataDir();
    if (userDir.empty())
        return local;
    // Opening reports a folder that cannot be made; nothing to report here.
    std::error_code ec;
    fs::create_directories(userDir, ec);
    return userDir / DatabaseFileName;
}

} // namespace loto6
