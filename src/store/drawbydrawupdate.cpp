#include "store/drawbydrawupdate.h"

#include "store/atomicfile.h"
#include "store/database.h"
#include "store/historyimport.h"
#include "store/textcodec.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

// 404 means the draw's file is not published yet.
bool notPublishedYet(const DownloadError &e)
{
    return e.kind == DownloadFailure::HttpStatus && e.httpStatus == 404;
}

// Fetches draws from `first` on until the server has no file for one; each file must hold
// exactly its own draw.
UpdateResult fetchDraws(
    const std::string &pattern, int first, const DownloadLimits &limits, IncomingHistory &in)
{
    // The caller sees the bytes of every file so far as one count.
    std::uint64_t before = 0;
    DownloadLimits each = limits;
    if (limits.progress)
        each.progress = [&](std::uint64_t received, std::uint64_t) {
            return limits.progress(before + received, 0);
        };
    for (int n = first; n < first + MaxDrawsPerUpdate && n <= MaxDrawNumber; ++n) {
        const std::string url = drawAddress(pattern, n);
        std::string body;
        DownloadError error;
        if (Status s = download(url, body, each, &error); !s) {
            if (notPublishedYet(error))
                break;
            return UpdateResult::downloadFailed(s, error);
        }
        before += body.size();
        HistoryFile file;
        if (Status s = readHistoryBytes(body, file); !s)
            return UpdateResult::of(UpdateOutcome::Refused,
                quotedForMessage(url) + ": the file is refused: " + s.message());
        if (file.draws.size() != 1 || file.draws.front().drawNo != n)
            return UpdateResult::of(UpdateOutcome::Refused,
                quotedForMessage(url) + ": the file does not hold draw " + std::to_string(n)
                    + " alone");
        if (Status s = in.add(file, DrawSource::from(DrawSource::Kind::Address, url)); !s)
            return UpdateResult::of(
                UpdateOutcome::Refused, quotedForMessage(url) + ": " + s.message());
    }
    return UpdateResult::of(UpdateOutcome::Updated, {});
}

UpdateResult install(Database &db, const IncomingHistory &in, bool allowLoss)
{
    fs::path backup;
    if (Status s = keepPreviousDatabase(db.path(), backup); !s)
        return UpdateResult::of(UpdateOutcome::InstallFailed, s.message());
    MergeReport report;
    if (Status s = mergeHistory(db, in, allowLoss ? MergeMode::AllowLoss : MergeMode::Add, report);
        !s) {
        UpdateResult r = UpdateResult::of(
            report.conflicts.empty() ? UpdateOutcome::InstallFailed : UpdateOutcome::WouldLoseDraws,
            s.message());
        r.conflicts = report.conflicts;
        r.conflictList = report.conflictList();
        return r;
    }
    UpdateResult r = UpdateResult::of(UpdateOutcome::Updated, UpdatedMessage);
    r.format = UpdateFormat::DrawFiles;
    r.drawCount = static_cast<std::size_t>(report.added);
    r.backup = backup;
    r.conflictList = report.conflictList();
    return r;
}

} // namespace

std::string drawAddress(std::string_view pattern, int drawNo)
{
    char number[16];
    std::snprintf(number, sizeof number, "%04d", drawNo);
    std::string url(pattern);
    for (std::size_t at; (at = url.find(DrawPlaceholder)) != std::string::npos;)
        url.replace(at, DrawPlaceholder.size(), number);
    return url;
}

UpdateResult updateDrawByDraw(const fs::path &target, const std::string &pattern, bool allowLoss,
    const DownloadLimits &limits)
{
    std::error_code ec;
    if (!fs::exists(target, ec))
        return UpdateResult::of(UpdateOutcome::TargetMissing, targetMissingMessage(target));
    Database db;
    std::vector<DrawRecord> held;
    if (Status s = openWithHeldDraws(db, target, held); !s)
        return UpdateResult::of(UpdateOutcome::InstallFailed, s.message());
    const int latest = held.empty() ? 0 : held.back().drawNo;
    IncomingHistory in;
    if (UpdateResult r = fetchDraws(pattern, latest + 1, limits, in); !r.ok())
        return r;
    if (!keepGoing(limits))
        return UpdateResult::cancelled();
    if (in.empty()) {
        UpdateResult r = UpdateResult::of(UpdateOutcome::Updated,
            "当選データは最新です（第" + std::to_string(latest + 1)
                + "回の結果はまだありません）。");
        r.format = UpdateFormat::DrawFiles;
        return r;
    }
    return install(db, in, allowLoss);
}

UpdateResult updateFromSources(const fs::path &target, const std::vector<std::string> &sources,
    bool allowLoss, const DownloadLimits &limits)
{
    std::string reasons;
    UpdateResult last = UpdateResult::of(UpdateOutcome::DownloadFailed, "no update source is set");
    // A source that would lose held draws is reported only when no later one works as is.
    std::optional<UpdateResult> firstLoss;
    for (const std::string &source : sources) {
        last = source.find(DrawPlaceholder) != std::string::npos
            ? updateDrawByDraw(target, source, allowLoss, limits)
            : updateHistory(target, source, allowLoss, limits);
        last.source = source;
        // A missing database is the same from every source.
        if (last.ok() || last.outcome == UpdateOutcome::TargetMissing
            || last.outcome == UpdateOutcome::Cancelled)
            return last;
        if (last.outcome == UpdateOutcome::WouldLoseDraws && !firstLoss)
            firstLoss = last;
        reasons += (reasons.empty() ? "" : "; ") + last.message;
    }
    if (firstLoss)
        return *firstLoss;
    if (sources.size() > 1)
        last.message = reasons;
    return last;
}

} // namespace loto6
