#include "store/drawbydrawupdate.h"

#include "store/atomicfile.h"
#include "store/database.h"
#include "store/drawvalidation.h"
#include "store/historyimport.h"
#include "store/textcodec.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

// 404 means the draw's file is not published yet.
bool notPublishedYet(const Status &failure) { return isHttpStatus(failure.fault(), 404); }

// Reads one draw's file, which must hold exactly that draw.
UpdateResult readDrawFile(const std::string &url, std::string_view body, int n, HistoryFile &file)
{
    if (Status s = readHistoryBytes(body, file); !s) {
        UpdateResult r = UpdateResult::of(UpdateOutcome::Refused,
            quotedForMessage(url) + ": the file is refused: " + s.message());
        r.servedPage = looksLikePage(body);
        return r;
    }
    if (file.draws.size() != 1 || file.draws.front().drawNo != n)
        return UpdateResult::of(UpdateOutcome::Refused,
            quotedForMessage(url) + ": the file does not hold draw " + std::to_string(n)
                + " alone");
    return UpdateResult::updated();
}

// The six main numbers in any order and the bonus agree; a held draw without all its numbers
// agrees with any.
bool sameNumbers(const DrawRecord &given, const DrawRecord &held)
{
    if (!held.isComplete() || !given.isComplete())
        return true;
    auto sortedMain = [](DrawRecord r) {
        std::sort(r.fields.begin(), r.fields.begin() + DrawRecord::BonusField);
        return r.fields;
    };
    return sortedMain(given) == sortedMain(held);
}

// The file of the latest held draw must be found and hold that draw with its numbers: an
// address that finds no file for it cannot tell that nothing newer is published.
UpdateResult checkPattern(const std::string &pattern, const DrawRecord &latest,
    const DownloadLimits &limits, std::uint64_t &received)
{
    const std::string url = drawAddress(pattern, latest.drawNo);
    std::string body;
    if (Status s = download(url, body, limits); !s) {
        if (!notPublishedYet(s))
            return UpdateResult::downloadFailed(s);
        // The server's answer stays the cause, for those who act on the kind.
        Fault wrong{.text = quotedForMessage(pattern)
                + ": the address looks wrong: it finds no file for draw "
                + std::to_string(latest.drawNo)
                + ", the latest draw held (HTTP 404); check the address pattern"};
        wrong.cause = std::make_shared<const Fault>(s.fault());
        return UpdateResult::because(UpdateOutcome::DownloadFailed, Status::failure(wrong));
    }
    received = body.size();
    HistoryFile file;
    if (UpdateResult r = readDrawFile(url, body, latest.drawNo, file); !r.ok())
        return r;
    if (!sameNumbers(file.draws.front(), latest))
        return UpdateResult::of(UpdateOutcome::Refused,
            quotedForMessage(url) + ": the file holds other numbers for draw "
                + std::to_string(latest.drawNo) + " than the database; check the address pattern");
    return UpdateResult::updated();
}

// Fetches draws after `latest` until the server has no file for one; each file must hold
// exactly its own draw, dated after the one before it and not after today.
UpdateResult fetchDraws(const std::string &pattern, const DrawRecord &latest,
    const DownloadLimits &limits, std::uint64_t before, IncomingHistory &in)
{
    // The caller sees the bytes of every file so far (`before` at the start) as one count.
    DownloadLimits each = limits;
    if (limits.progress)
        each.progress = [&](std::uint64_t received, std::uint64_t) {
            return limits.progress(before + received, 0);
        };
    const std::string today = todayDate();
    std::string previousDate = latest.date;
    const int first = latest.drawNo + 1;
    for (int n = first; n < first + MaxDrawsPerUpdate && n <= MaxDrawNumber; ++n) {
        const std::string url = drawAddress(pattern, n);
        std::string body;
        if (Status s = download(url, body, each); !s) {
            if (notPublishedYet(s))
                break;
            return UpdateResult::downloadFailed(s);
        }
        before += body.size();
        HistoryFile file;
        if (UpdateResult r = readDrawFile(url, body, n, file); !r.ok())
            return r;
        const std::string &date = file.draws.front().date;
        if (const FaultKind kind = fetchedDateFault(date, previousDate, today);
            kind != FaultKind::Other)
            return UpdateResult::because(UpdateOutcome::Refused,
                Status::failure(Fault{.kind = kind,
                    .file = url,
                    .quoteFile = true,
                    .value = date,
                    .draw = n,
                    .detail = kind == FaultKind::DrawFuture ? today : previousDate}));
        if (!date.empty())
            previousDate = date;
        if (Status s = in.add(file, DrawSource::from(DrawSource::Kind::Address, url)); !s)
            return UpdateResult::because(UpdateOutcome::Refused, inFile(s, url, true));
    }
    return UpdateResult::updated();
}

UpdateResult install(Database &db, const IncomingHistory &in, bool allowLoss)
{
    fs::path backup;
    if (Status s = keepPreviousDatabase(db.path(), backup); !s)
        return UpdateResult::because(UpdateOutcome::InstallFailed, s);
    MergeReport report;
    if (Status s = mergeHistory(db, in, allowLoss ? MergeMode::AllowLoss : MergeMode::Add, report);
        !s) {
        UpdateResult r = UpdateResult::because(
            report.conflicts.empty() ? UpdateOutcome::InstallFailed : UpdateOutcome::WouldLoseDraws,
            s);
        r.conflicts = report.conflicts;
        r.conflictList = report.conflictList();
        return r;
    }
    UpdateResult r = UpdateResult::updated();
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
        return targetMissing(target);
    Database db;
    std::vector<DrawRecord> held;
    if (Status s = openWithHeldDraws(db, target, held); !s)
        return UpdateResult::because(UpdateOutcome::InstallFailed, s);
    if (const std::size_t at = pattern.find(DrawPlaceholder);
        pattern.find(DrawPlaceholder, at + DrawPlaceholder.size()) != std::string::npos)
        return UpdateResult::of(UpdateOutcome::Refused,
            quotedForMessage(pattern) + ": the address pattern has {draw} more than once");
    const DrawRecord latestDraw = held.empty() ? DrawRecord{} : held.back();
    const int latest = latestDraw.drawNo;
    std::uint64_t checked = 0;
    if (latest > 0)
        if (UpdateResult r = checkPattern(pattern, latestDraw, limits, checked); !r.ok())
            return r;
    IncomingHistory in;
    if (UpdateResult r = fetchDraws(pattern, latestDraw, limits, checked, in); !r.ok())
        return r;
    if (!keepGoing(limits))
        return UpdateResult::cancelled();
    if (in.empty()) {
        UpdateResult r = UpdateResult::updated();
        r.awaitedDraw = latest + 1;
        r.format = UpdateFormat::DrawFiles;
        return r;
    }
    return install(db, in, allowLoss);
}

UpdateResult updateFromSources(const fs::path &target, const std::vector<std::string> &sources,
    bool allowLoss, const DownloadLimits &limits)
{
    DownloadLimits bounded = limits;
    if (!bounded.deadline)
        bounded.deadline = std::chrono::steady_clock::now() + limits.updateTimeout;
    // The first few sources' reasons are named, the rest counted, so the message stays short.
    constexpr std::size_t NamedReasons = 3;
    std::string reasons;
    std::size_t failures = 0;
    UpdateResult last = UpdateResult::of(UpdateOutcome::DownloadFailed, "no update source is set");
    // A source that would lose held draws is reported only when no later one works as is.
    std::optional<UpdateResult> firstLoss;
    for (const std::string &source : sources) {
        last = source.find(DrawPlaceholder) != std::string::npos
            ? updateDrawByDraw(target, source, allowLoss, bounded)
            : updateHistory(target, source, allowLoss, bounded);
        last.source = source;
        noteBrowserOnly(last);
        if (!last.ok() && pastDeadline(bounded)) {
            last.reason = causedBy(Fault{.kind = FaultKind::UpdateOutOfTime,
                                       .limit = limits.updateTimeout.count() / 1000},
                last.reason);
            return last;
        }
        // A missing database is the same from every source.
        if (last.ok() || last.outcome == UpdateOutcome::TargetMissing
            || last.outcome == UpdateOutcome::Cancelled)
            return last;
        if (last.outcome == UpdateOutcome::WouldLoseDraws && !firstLoss)
            firstLoss = last;
        if (++failures <= NamedReasons)
            reasons += (reasons.empty() ? "" : "; ") + last.message();
    }
    if (firstLoss)
        return *firstLoss;
    if (failures > NamedReasons)
        reasons += "; and " + std::to_string(failures - NamedReasons) + " more source(s) failed";
    // The last source's reason stays the cause, for those who act on its kind.
    if (sources.size() > 1)
        last.reason
            = causedBy(Fault{.kind = FaultKind::SourcesFailed, .detail = reasons}, last.reason);
    return last;
}

} // namespace loto6
