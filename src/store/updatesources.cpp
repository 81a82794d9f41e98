#include "store/updatesources.h"

#include "store/filereader.h"
#include "store/paths.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <system_error>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<std::string> variable(const char *name)
{
    const char *v = std::getenv(name);
    const std::string_view s = v ? trimmed(v) : std::string_view();
    return s.empty() ? std::nullopt : std::optional<std::string>(s);
}

} // namespace

std::string updateUrlForServer(std::string_view server)
{
    std::string_view s = trimmed(server);
    while (!s.empty() && s.back() == '/')
        s.remove_suffix(1);
    std::string url = s.find("://") == std::string_view::npos ? "http://" : "";
    url += s;
    url += UpdatePath;
    return url;
}

fs::path updateConfigFile(const fs::path &programFolder)
{
    const fs::path beside = programFolder / UpdateConfigFileName;
    const fs::path installed
        = (programFolder / ".." / "share" / DataFolderName / UpdateConfigFileName)
              .lexically_normal();
    std::error_code ec;
    return !fs::exists(beside, ec) && fs::is_regular_file(installed, ec) ? installed : beside;
}

std::vector<std::string> configuredUpdateSources(const fs::path &programFolder, Status *problem)
{
    if (auto url = variable(UpdateUrlVariable))
        return {*url};
    if (auto server = variable(UpdateServerVariable))
        return {updateUrlForServer(*server)};
    const fs::path file = updateConfigFile(programFolder);
    std::error_code ec;
    if (!fs::exists(file, ec))
        return {};
    // A device, pipe or endless file is refused before it is read.
    std::string bytes;
    if (Status s = readRegularFile(file, MaxUpdateConfigBytes, "the update settings", bytes); !s) {
        if (problem)
            *problem = s;
        return {};
    }
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string> sources;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view l = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t eq = l.find('=');
        if (l.empty() || l.front() == '#' || l.front() == ';' || eq == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(l.substr(0, eq));
        const std::string_view value = trimmed(l.substr(eq + 1));
        if (value.empty())
            continue;
        if (key == "url")
            sources.emplace_back(value);
        else if (key == "server")
            sources.push_back(updateUrlForServer(value));
    }
    return sources;
}

std::string updateNotConfiguredMessage(const fs::path &programFolder)
{
    return std::string("no update server is set: set ") + UpdateUrlVariable + " (a full URL) or "
        + UpdateServerVariable + " (a server name), or write url=... or server=... in "
        + updateConfigFile(programFolder).string();
}

} // namespace loto6
