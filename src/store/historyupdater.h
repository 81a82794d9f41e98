#pragma once

#include "store/download.h"
#include "store/drawrecord.h"
#include "store/result.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

// Replaces the draw database with a fresh history fetched from the update server. The
// download is checked whole before the database is touched; a refused or failed update leaves
// the database file exactly as it was. Shared by the desktop program and the command line.

inline constexpr const char *UpdatePath = "/download/Loto6Zumvel/Loto6Zumvel.mdb";
inline constexpr const char *UpdateConfigFileName = "update.conf";
inline constexpr const char *UpdateUrlVariable = "LOTO6ZUMVEL_UPDATE_URL";
inline constexpr const char *UpdateServerVariable = "LOTO6ZUMVEL_UPDATE_SERVER";
inline constexpr const char *UpdatedMessage = "当選データを最新化しました。";

enum class UpdateOutcome {
    Updated,
    TargetMissing, // no database file at the target path
    DownloadFailed, // no server, HTTP error, time-out, empty or over-long body
    Refused, // the download is neither a usable draw database nor a valid history CSV
    WouldLoseDraws, // valid, but it drops or changes held complete draws; not forced
    InstallFailed, // the checked download could not be put in place; the old file remains
};

enum class UpdateFormat { None, SQLite, Csv, DrawFiles };

struct UpdateResult
{
    UpdateOutcome outcome = UpdateOutcome::Refused;
    // The text for the user: the fixed success or target-missing text, else the reason.
    std::string message;
    UpdateFormat format = UpdateFormat::None;
    std::size_t drawCount = 0; // rows in the new history
    std::filesystem::path backup; // where the previous database was kept, if anywhere
    std::string conflictList; // draws held with other data, one a line

    bool ok() const { return outcome == UpdateOutcome::Updated; }
};

// The update URL from, in this order: the variable LOTO6ZUMVEL_UPDATE_URL (a full URL), the
// variable LOTO6ZUMVEL_UPDATE_SERVER (the update path is appended), or the lines url=... or
// server=... of update.conf in the given folder. Nothing when none is set.
std::optional<std::string> configuredUpdateUrl(const std::filesystem::path &programFolder);
// The server "host", "host:port" or "http://host/" joined with the update path.
std::string updateUrlForServer(std::string_view server);
// Says where the update server is set, for when configuredUpdateUrl finds nothing.
std::string updateNotConfiguredMessage(const std::filesystem::path &programFolder);

// The target-missing text shown to the user.
std::string targetMissingMessage(const std::filesystem::path &target);

// Downloads the URL and, when the body passes every check, puts its draws into the target
// database. Only draw rows are taken from a download, never the file itself. A download that
// drops held draws or changes held complete ones is refused unless allowLoss.
UpdateResult updateHistory(const std::filesystem::path &target, const std::string &url,
    bool allowLoss = false, const DownloadLimits &limits = {});

// The checks and the installation alone, for bytes already in memory.
UpdateResult installHistory(const std::filesystem::path &target, std::string_view bytes,
    bool allowLoss = false);

// What replacing `held` by `incoming` would lose: "would drop N draw(s) the database holds
// (…)" and/or "change N complete draw(s) (…)"; empty when nothing held is lost or changed.
std::string drawLossSummary(const std::vector<DrawRecord> &held,
    const std::vector<DrawRecord> &incoming);

} // namespace loto6
