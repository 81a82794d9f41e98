#pragma once

#include "store/download.h"
#include "store/drawrecord.h"
#include "store/historyimport.h"
#include "store/packeddraw.h"
#include "store/result.h"
#include "store/updatesources.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

// Replaces the draw database with a fresh history fetched from the update server. The
// download is checked whole before the database is touched; a refused, failed or cancelled
// update leaves the database file exactly as it was. Shared by the desktop program and the
// command line.

inline constexpr const char *UpdatedMessage = "当選データを最新化しました。";

enum class UpdateOutcome {
    Updated,
    TargetMissing,  // no database file at the target path
    DownloadFailed, // no server, HTTP error, time-out, empty or over-long body
    Refused,        // the download is neither a usable draw database nor a valid history CSV
    WouldLoseDraws, // valid, but it drops or changes held draws; not forced
    InstallFailed,  // the checked download could not be put in place; the old file remains
    Cancelled,      // the caller stopped it before anything was written
};

enum class UpdateFormat { None, SQLite, Csv, DrawFiles };

// The held draws a whole history would take away or change.
struct DrawLoss
{
    std::vector<int> dropped; // held, missing from the download
    std::vector<int> changed; // held complete, with other numbers in the download

    bool empty() const { return dropped.empty() && changed.empty(); }
};

struct UpdateResult
{
    UpdateOutcome outcome = UpdateOutcome::Refused;
    // Why it did not update, as a kind with its facts (downloadReason for DownloadFailed);
    // success when it did.
    Status reason;
    // When the update found nothing new: the draw whose result is not published yet.
    int awaitedDraw = 0;
    UpdateFormat format = UpdateFormat::None;
    std::size_t drawCount = 0;    // rows in the new history
    std::filesystem::path backup; // where the previous database was kept, if anywhere
    std::string source;           // the address this result came from
    // For WouldLoseDraws: what a whole history would lose, or the per-draw files' conflicts.
    DrawLoss loss;
    std::vector<DrawConflict> conflicts;
    std::string conflictList; // the conflicts, one a line
    bool servedPage = false;  // the server sent a web page where a file was expected

    bool ok() const { return outcome == UpdateOutcome::Updated; }
    // The text for the command line: the fixed success text (or that nothing is new yet),
    // else the reason's English text.
    std::string message() const;
    static UpdateResult updated();
    // A result with the outcome and a reason without a kind, made one line.
    static UpdateResult of(UpdateOutcome outcome, std::string reason);
    // The same with the reason as data.
    static UpdateResult because(UpdateOutcome outcome, const Status &reason);
    static UpdateResult cancelled();
    // DownloadFailed with the download's reason, or Cancelled when the caller stopped it.
    static UpdateResult downloadFailed(const Status &status);
};

class Database;

// A body that starts as a web page (after blanks and a byte order mark), not a data file.
bool looksLikePage(std::string_view body);
// When the server refused an automated download (HTTP 401/403, or a page in place of the file),
// wraps the reason in one that says how to fetch the file by hand (BrowserOnly).
void noteBrowserOnly(UpdateResult &result);

// Opens the target database and reads the draws it holds, as both kinds of update start.
Status openWithHeldDraws(
    Database &db, const std::filesystem::path &target, std::vector<DrawRecord> &held);

// The refusal of an update whose database is missing (NoUpdateTarget).
UpdateResult targetMissing(const std::filesystem::path &target);

// Downloads the URL and, when the body passes every check, puts its draws into the target
// database. Only draw rows are taken from a download, never the file itself. A download that
// drops held draws or changes held complete ones is refused unless allowLoss.
UpdateResult updateHistory(const std::filesystem::path &target, const std::string &url,
    bool allowLoss = false, const DownloadLimits &limits = {});

// The checks and the installation alone, for bytes already in memory.
UpdateResult installHistory(
    const std::filesystem::path &target, std::string_view bytes, bool allowLoss = false);

// What replacing `held` by `incoming` (sorted by draw number) would lose.
DrawLoss drawLoss(const std::vector<DrawRecord> &held, const std::vector<PackedDraw> &incoming);
// The loss in words: "would drop N draw(s) the database holds (…)" and/or "change N complete
// draw(s) (…)"; empty when nothing held is lost or changed.
std::string drawLossSummary(const DrawLoss &loss);
std::string drawLossSummary(
    const std::vector<DrawRecord> &held, const std::vector<PackedDraw> &incoming);

// Keeps a copy of the database as FILE.bak before an update writes into it; read through
// openFd when given (a descriptor the caller keeps open while it holds the database's lock).
Status keepPreviousDatabase(
    const std::filesystem::path &target, std::filesystem::path &backup, int openFd = -1);

} // namespace loto6
