#pragma once

#include "store/result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

// Where the update fetches from: the variables LOTO6ZUMVEL_UPDATE_URL and
// LOTO6ZUMVEL_UPDATE_SERVER, else the lines of update.conf (installed with the programs, it
// names the official per-draw result files).

inline constexpr const char *UpdatePath = "/download/Loto6Zumvel/Loto6Zumvel.mdb";
inline constexpr const char *UpdateConfigFileName = "update.conf";
inline constexpr const char *UpdateUrlVariable = "LOTO6ZUMVEL_UPDATE_URL";
inline constexpr const char *UpdateServerVariable = "LOTO6ZUMVEL_UPDATE_SERVER";

// Every source set, in the order to try: the variable LOTO6ZUMVEL_UPDATE_URL (a full address),
// else the variable LOTO6ZUMVEL_UPDATE_SERVER (the update path is appended), else each url=...
// and server=... line of update.conf in the given folder (a byte-order mark before its first
// line skipped). Empty when none is set, or when update.conf is not an ordinary file of at most
// MaxUpdateConfigBytes: then `problem`, when given, says why.
inline constexpr std::uintmax_t MaxUpdateConfigBytes = 1024 * 1024;
std::vector<std::string> configuredUpdateSources(
    const std::filesystem::path &programFolder, Status *problem = nullptr);

// The server "host", "host:port" or "http://host/" joined with the update path.
std::string updateUrlForServer(std::string_view server);

// The update.conf read for the given program folder: the one beside the programs, else the one
// installed with the data (PREFIX/share/loto6zumvel beside PREFIX/bin).
std::filesystem::path updateConfigFile(const std::filesystem::path &programFolder);

// Says where the sources are set, for when configuredUpdateSources finds none.
std::string updateNotConfiguredMessage(const std::filesystem::path &programFolder);

} // namespace loto6
