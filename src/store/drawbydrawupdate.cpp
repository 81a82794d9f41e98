#include "store/drawbydrawupdate.h"

#include "store/atomicfile.h"
#include "store/database.h"
#include "store/historyimport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

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

UpdateResult outcome(UpdateOutcome kind, std::string message)
{
    UpdateResult r;
    r.outcome = kind;
    r.message = std::move(message);
    return r;
}

// The download module reports an answer outside 2xx in these words; 404 means the draw's file
// is not published yet.
bool notPublishedYet(const Status &s) { return s.message().ends_with("the server answered HTTP 404"); }

// Fetches draws from `first` on until the server has no file for one; each file must hold
// exactly its own draw.
UpdateResult fetchDraws(const std::string &pattern, int first, const DownloadLimits &limits,
    IncomingHistory &in)
{
    for (int n = first; n < first + MaxDrawsPerUpdate && n <= MaxDrawNumber; ++n) {
        const std::string url = drawAddress(pattern, n);
        std::string body;
        if (Status s = download(url, body, limits); !s) {
            if (notPublishedYet(s))
                break;
            return outcome(UpdateOutcome::DownloadFailed, s.message());
        }
        HistoryFile file;
        if (Status s = readHistoryBytes(body, file); !s)
            return outcome(UpdateOutcome::Refused, url + ": the file is refused: " + s.message());
        if (file.draws.size() != 1 || file.draws.front().drawNo != n)
            return outcome(UpdateOutcome::Refused, url + ": the file does not hold draw "
                    + std::to_string(n) + " alone");
        if (Status s = in.add(file, DrawSource::from(DrawSource::Kind::Address, url)); !s)
            return outcome(UpdateOutcome::Refused, url + ": " + s.message());
    }
    return outcome(UpdateOutcome::Updated, {});
}

Status keepBackupOf(const fs::path &target, const fs::path &backup)
{
    std::string old;
    if (Status s = readFile(target, old); !s)
        return s;
    if (Status s = writeFileAtomically(backup, old); !s)
        return Status::failure("cannot keep the previous database: " + s.message());
    return Status::success();
}

UpdateResult install(Database &db, const IncomingHistory &in, bool allowLoss)
{
    fs::path backup = db.path();
    backup += ".bak";
    if (Status s = keepBackupOf(db.path(), backup); !s)
        return outcome(UpdateOutcome::InstallFailed, s.message());
    MergeReport report;
    if (Status s = mergeHistory(db, in, allowLoss ? MergeMode::AllowLoss : MergeMode::Add, report);
        !s) {
        UpdateResult r = outcome(report.conflicts.empty() ? UpdateOutcome::InstallFailed
                                                          : UpdateOutcome::Refused,
            s.message());
        r.conflictList = report.conflictList();
        return r;
    }
    UpdateResult r = outcome(UpdateOutcome::Updated, UpdatedMessage);
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

std::vector<std::string> configuredUpdateSources(const fs::path &programFolder)
{
    if (auto url = variable(UpdateUrlVariable))
        return {*url};
    if (auto server = variable(UpdateServerVariable))
        return {updateUrlForServer(*server)};
    std::vector<std::string> sources;
    std::ifstream in(programFolder / UpdateConfigFileName, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view l = trimmed(line);
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

UpdateResult updateDrawByDraw(const fs::path &target, const std::string &pattern, bool allowLoss,
    const DownloadLimits &limits)
{
    std::error_code ec;
    if (!fs::exists(target, ec))
        return outcome(UpdateOutcome::TargetMissing, targetMissingMessage(target));
    Database db;
    if (Status s = db.open(target); !s)
        return outcome(UpdateOutcome::InstallFailed, s.message());
    std::vector<DrawRecord> held;
    if (Status s = db.readDraws(held); !s)
        return outcome(UpdateOutcome::InstallFailed, s.message());
    const int latest = held.empty() ? 0 : held.back().drawNo;
    IncomingHistory in;
    if (UpdateResult r = fetchDraws(pattern, latest + 1, limits, in); !r.ok())
        return r;
    if (in.empty()) {
        UpdateResult r = outcome(UpdateOutcome::Updated,
            "当選データは最新です（第" + std::to_string(latest + 1) + "回の結果はまだありません）。");
        r.format = UpdateFormat::DrawFiles;
        return r;
    }
    return install(db, in, allowLoss);
}

UpdateResult updateFromSources(const fs::path &target, const std::vector<std::string> &sources,
    bool allowLoss, const DownloadLimits &limits)
{
    std::string reasons;
    UpdateResult last = outcome(UpdateOutcome::DownloadFailed, "no update source is set");
    for (const std::string &source : sources) {
        last = source.find(DrawPlaceholder) != std::string::npos
            ? updateDrawByDraw(target, source, allowLoss, limits)
            : updateHistory(target, source, allowLoss, limits);
        // A missing database or conflicting draws are the same from every source.
        if (last.ok() || last.outcome == UpdateOutcome::TargetMissing || !last.conflictList.empty())
            return last;
        reasons += (reasons.empty() ? "" : "; ") + last.message;
    }
    if (sources.size() > 1)
        last.message = reasons;
    return last;
}

} // namespace loto6
