#include "store/historyupdater.h"

#include "store/atomicfile.h"
#include "store/csvhistory.h"
#include "store/database.h"
#include "store/drawvalidation.h"
#include "store/historyfile.h"
#include "store/outputfile.h"
#include "store/packeddraw.h"
#include "store/prizestore.h"
#include "store/schema.h"
#include "store/textcodec.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <system_error>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view SqliteMagic{"SQLite format 3\0", 16};

unsigned readBigEndian(std::string_view bytes, std::size_t at, std::size_t width)
{
    unsigned v = 0;
    for (std::size_t i = 0; i < width; ++i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// A database file whose length disagrees with its own header was cut short in transit.
Status checkSqliteSize(std::string_view bytes)
{
    if (bytes.size() < 100)
        return Status::failure(
            Fault{.kind = FaultKind::DatabaseCutShort, .value = std::to_string(bytes.size())});
    std::size_t pageSize = readBigEndian(bytes, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return Status::failure(Fault{.kind = FaultKind::DatabaseHeader});
    if (bytes.size() % pageSize != 0)
        return Status::failure(Fault{.kind = FaultKind::DatabaseNotWhole,
            .value = std::to_string(bytes.size()),
            .limit = static_cast<long long>(pageSize)});
    // The page count in the header is trusted by SQLite only when the change counter matches.
    const unsigned pages = readBigEndian(bytes, 28, 4);
    if (pages != 0 && readBigEndian(bytes, 24, 4) == readBigEndian(bytes, 92, 4)
        && bytes.size() < static_cast<std::size_t>(pages) * pageSize)
        return Status::failure(Fault{.kind = FaultKind::DatabaseCutShort,
            .value = std::to_string(bytes.size()),
            .limit = static_cast<long long>(pages) * static_cast<long long>(pageSize)});
    return Status::success();
}

bool byDrawNo(const PackedDraw &a, const PackedDraw &b) { return a.drawNo() < b.drawNo(); }

// A downloaded database's rows, each one a draw any import would accept, packed.
Status packDraws(const std::vector<DrawRecord> &draws, std::vector<PackedDraw> &packed)
{
    packed.clear();
    packed.reserve(draws.size());
    for (const DrawRecord &r : draws) {
        if (const std::string problem = storedDrawProblem(r); !problem.empty())
            return Status::failure(
                Fault{.kind = FaultKind::ServedDrawInvalid, .draw = r.drawNo, .detail = problem});
        const std::optional<PackedDraw> p = PackedDraw::pack(r);
        if (!p)
            return Status::failure(Fault{.kind = FaultKind::DrawNotAccepted, .draw = r.drawNo});
        packed.push_back(*p);
    }
    return Status::success();
}

// Sorts the draws by number and checks each number occurs once; a CSV row must also be
// complete, since a download is a finished history.
Status checkDraws(std::vector<PackedDraw> &draws, bool complete)
{
    if (draws.empty())
        return Status::failure(Fault{.kind = FaultKind::NoDrawsHeld});
    if (complete)
        for (const PackedDraw &p : draws)
            if (!p.isComplete())
                return Status::failure(
                    Fault{.kind = FaultKind::DrawIncomplete, .draw = p.drawNo()});
    std::sort(draws.begin(), draws.end(), byDrawNo);
    const auto twice = std::adjacent_find(draws.begin(), draws.end(),
        [](const PackedDraw &a, const PackedDraw &b) { return a.drawNo() == b.drawNo(); });
    if (twice != draws.end())
        return Status::failure(Fault{.kind = FaultKind::DrawTwice, .draw = twice->drawNo()});
    return Status::success();
}

Status queryText(const Database &db, const char *sql, std::string &text)
{
    SqlStatement st = db.prepare(sql);
    const bool row = st.next();
    text = row ? st.text(0) : std::string();
    if (row || st.done())
        return Status::success();
    return Status::failure(Fault{.kind = FaultKind::SqliteFailed, .detail = st.errorMessage()});
}

// Reasons end up on one line of a message box or of standard error, without scratch names.
std::string oneLine(std::string text, const fs::path &scratch)
{
    const std::string prefix = scratch.string() + ": ";
    for (std::size_t at; (at = text.find(prefix)) != std::string::npos;)
        text.erase(at, prefix.size());
    for (char &ch : text)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    return text;
}

void removeWithSidecars(const fs::path &file)
{
    std::error_code ec;
    for (const char *suffix : {"", "-journal", "-wal", "-shm"}) {
        fs::path p = file;
        p += suffix;
        fs::remove(p, ec);
    }
}

// Takes the draw rows out of a copy of the downloaded database written beside the target. Only
// the rows of its table 結果マスタ are read: its views, triggers and other objects are never used.
Status readSqliteDraws(
    const fs::path &target, std::string_view bytes, std::vector<PackedDraw> &packed)
{
    if (Status s = checkSqliteSize(bytes); !s)
        return s;
    const fs::path copy = temporarySibling(target);
    if (Status s = writeFileAtomically(copy, bytes); !s) {
        removeWithSidecars(copy);
        return Status::failure(Fault{.kind = FaultKind::CopyNotWritten, .file = target.string()});
    }
    Status result = [&]() -> Status {
        Database db;
        if (Status s = db.open(copy); !s)
            return causedBy(Fault{.kind = FaultKind::NotDrawDatabase}, s);
        // The file comes from outside: no writes, and no functions run from its schema.
        db.exec("PRAGMA query_only = ON");
        db.exec("PRAGMA trusted_schema = OFF");
        std::string text;
        if (Status s = queryText(db,
                "select count(*) from sqlite_master where type = 'table' and name = '結果マスタ'",
                text);
            !s || text != "1")
            return Status::failure(
                Fault{.kind = FaultKind::NoDrawsTable, .field = Database::DrawsTable});
        if (Status s = db.quickCheck(); !s)
            return s;
        std::vector<DrawRecord> draws;
        if (Status s = db.readDraws(draws); !s)
            return causedBy(Fault{.kind = FaultKind::DrawsNotRead}, s);
        if (Status s = packDraws(draws, packed); !s)
            return s;
        return checkDraws(packed, false);
    }();
    removeWithSidecars(copy);
    // A reason that names the scratch copy or runs over lines is given without them.
    if (result || oneLine(result.message(), copy) == result.message())
        return result;
    return Status::failure(oneLine(result.message(), copy));
}

// Reads a served history of any layout through the one reader, each draw packed as it is read
// and its payout kept: every row a complete draw.
Status readServedHistory(
    std::string_view bytes, std::vector<PackedDraw> &draws, std::vector<DrawPrizes> &prizes)
{
    // Without a length from the server, a cut CSV shows itself by its unfinished last line.
    const bool cut = bytes.back() != '\n';
    draws.clear();
    prizes.clear();
    HistoryLayout layout = HistoryLayout::Canonical;
    Status s = readHistoryBytes(bytes, layout, [&](const DrawRecord &draw, const DrawPrizes *p) {
        const std::optional<PackedDraw> packed = PackedDraw::pack(draw);
        if (!packed)
            return Status::failure(Fault{.kind = FaultKind::DrawNotAccepted, .draw = draw.drawNo});
        draws.push_back(*packed);
        if (p)
            prizes.push_back(*p);
        return Status::success();
    });
    if (!s)
        return causedBy(Fault{.kind = FaultKind::NeitherDatabaseNorCsv,
                            .detail = cut ? englishText(Fault{.kind = FaultKind::HistoryCutShort})
                                          : std::string()},
            s);
    if (cut)
        return Status::failure(Fault{.kind = FaultKind::HistoryCutShort});
    return checkDraws(draws, true);
}

// What replacing one held draw by the incoming history (sorted) would lose.
void noteLoss(const DrawRecord &held, const std::vector<PackedDraw> &incoming, DrawLoss &loss)
{
    const auto it = std::lower_bound(incoming.begin(), incoming.end(), held.drawNo,
        [](const PackedDraw &p, int no) { return p.drawNo() < no; });
    if (it == incoming.end() || it->drawNo() != held.drawNo)
        loss.dropped.push_back(held.drawNo);
    else if (held.isComplete() && held.fields != it->unpack().fields)
        loss.changed.push_back(held.drawNo);
}

std::string drawList(const std::vector<int> &numbers)
{
    std::string text;
    for (std::size_t i = 0; i < numbers.size() && i < 5; ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    if (numbers.size() > 5)
        text += ", … " + std::to_string(numbers.back());
    return text;
}

// A descriptor of the database file for reading its bytes while the connection holds the write
// lock. Closing any descriptor of a file drops every lock the process holds on it, so this one
// is closed only after the transaction has ended (declare it before the Transaction).
struct OpenFile
{
    int fd;
    explicit OpenFile(const fs::path &file)
        : fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC))
    {
    }
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;
};

// Replaces the draws inside the target database in one transaction, after keeping a backup.
// The write lock is held from the reading of the held draws to the commit, so that a draw
// another program adds meanwhile is either seen (and counted as a loss) or waits.
UpdateResult installDraws(const fs::path &target, const std::vector<PackedDraw> &draws,
    const std::vector<DrawPrizes> &prizes, bool allowLoss)
{
    Database db;
    DrawLoss loss;
    if (Status s = db.open(target); !s)
        return UpdateResult::because(UpdateOutcome::InstallFailed, s);
    const OpenFile file(target);
    if (file.fd < 0)
        return UpdateResult::of(
            UpdateOutcome::InstallFailed, target.string() + ": cannot be read for the backup");
    Transaction tx(db);
    if (!tx.begun())
        return UpdateResult::because(UpdateOutcome::InstallFailed, tx.begun());
    // The held draws are read one at a time: a large history is held once, as the download.
    if (Status s = db.forEachDraw([&](const DrawRecord &held) {
            noteLoss(held, draws, loss);
            return Status::success();
        });
        !s)
        return UpdateResult::because(UpdateOutcome::InstallFailed, s);
    if (!loss.empty() && !allowLoss) {
        UpdateResult refused = UpdateResult::of(UpdateOutcome::WouldLoseDraws,
            "the download " + drawLossSummary(loss)
                + "; nothing was changed. Install it anyway "
                  "only if the served history is right (update --allow-loss)");
        refused.loss = std::move(loss);
        return refused;
    }
    fs::path backup;
    if (Status s = keepPreviousDatabase(target, backup, file.fd); !s)
        return UpdateResult::because(UpdateOutcome::InstallFailed, s);
    Status s = db.writeDraws(
        draws.size(), [&](std::size_t i) { return draws[i].unpack(); }, true);
    // The payouts go in with the draws, in the same transaction.
    if (s && !prizes.empty())
        s = createOwnTables(db);
    for (std::size_t i = 0; s && i < prizes.size(); ++i)
        s = writePrizes(db, prizes[i]);
    if (s)
        s = tx.commit();
    if (!s)
        return UpdateResult::because(UpdateOutcome::InstallFailed, s);
    UpdateResult result = UpdateResult::updated();
    result.backup = backup;
    result.drawCount = draws.size();
    return result;
}

} // namespace

std::string UpdateResult::message() const
{
    if (!ok())
        return reason.message();
    return awaitedDraw > 0
        ? "当選データは最新です（第" + std::to_string(awaitedDraw) + "回の結果はまだありません）。"
        : std::string(UpdatedMessage);
}

UpdateResult UpdateResult::updated()
{
    UpdateResult r;
    r.outcome = UpdateOutcome::Updated;
    return r;
}

UpdateResult UpdateResult::because(UpdateOutcome outcome, const Status &reason)
{
    UpdateResult r;
    r.outcome = outcome;
    r.reason = reason;
    return r;
}

UpdateResult UpdateResult::of(UpdateOutcome outcome, std::string reason)
{
    for (char &ch : reason)
        if (ch == '\n' || ch == '\r')
            ch = ' ';
    return because(outcome, Status::failure(std::move(reason)));
}

Status keepPreviousDatabase(const fs::path &target, fs::path &backup, int openFd)
{
    backup = databaseBackupPath(target);
    std::string old;
    if (Status s = openFd >= 0 ? readOpenFile(openFd, target, old) : readFile(target, old); !s)
        return s;
    if (Status s = writeFileAtomically(backup, old); !s)
        return causedBy(Fault{.kind = FaultKind::BackupNotKept}, s);
    return Status::success();
}

DrawLoss drawLoss(const std::vector<DrawRecord> &held, const std::vector<PackedDraw> &incoming)
{
    DrawLoss loss;
    for (const DrawRecord &d : held)
        noteLoss(d, incoming, loss);
    std::sort(loss.dropped.begin(), loss.dropped.end());
    std::sort(loss.changed.begin(), loss.changed.end());
    return loss;
}

std::string drawLossSummary(const DrawLoss &loss)
{
    std::string text;
    if (!loss.dropped.empty())
        text = "would drop " + std::to_string(loss.dropped.size()) + " draw(s) the database holds ("
            + drawList(loss.dropped) + ")";
    if (!loss.changed.empty())
        text += (text.empty() ? "would change " : " and change ")
            + std::to_string(loss.changed.size()) + " complete draw(s) (" + drawList(loss.changed)
            + ")";
    return text;
}

std::string drawLossSummary(
    const std::vector<DrawRecord> &held, const std::vector<PackedDraw> &incoming)
{
    return drawLossSummary(drawLoss(held, incoming));
}

Status openWithHeldDraws(Database &db, const fs::path &target, std::vector<DrawRecord> &held)
{
    if (Status s = db.open(target); !s)
        return s;
    return db.readDraws(held);
}

UpdateResult targetMissing(const fs::path &target)
{
    return UpdateResult::because(UpdateOutcome::TargetMissing,
        Status::failure(Fault{.kind = FaultKind::NoUpdateTarget, .file = target.string()}));
}

bool looksLikePage(std::string_view body)
{
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    const std::size_t at = body.find_first_not_of(" \t\r\n");
    return at != std::string_view::npos && body[at] == '<';
}

void noteBrowserOnly(UpdateResult &r)
{
    const bool refusedDownload = r.outcome == UpdateOutcome::DownloadFailed
        && (isHttpStatus(r.reason.fault(), 401) || isHttpStatus(r.reason.fault(), 403));
    if (!refusedDownload && !r.servedPage)
        return;
    r.reason = causedBy(Fault{.kind = FaultKind::BrowserOnly}, r.reason);
}

UpdateResult installHistory(const fs::path &given, std::string_view bytes, bool allowLoss)
{
    std::error_code ec;
    if (!fs::exists(given, ec))
        return targetMissing(given);
    // Replace the file a link points to, not the link.
    const fs::path target = fs::is_symlink(given, ec) ? fs::canonical(given, ec) : given;
    if (ec || !fs::is_regular_file(target, ec))
        return UpdateResult::of(
            UpdateOutcome::InstallFailed, given.string() + ": not a database file");
    if (bytes.empty())
        return UpdateResult::of(UpdateOutcome::Refused, "the downloaded file is empty");

    std::vector<PackedDraw> draws;
    std::vector<DrawPrizes> prizes;
    const bool sqlite = bytes.starts_with(SqliteMagic);
    if (sqlite) {
        if (Status s = readSqliteDraws(target, bytes, draws); !s)
            return UpdateResult::of(
                UpdateOutcome::Refused, "the downloaded database is refused: " + s.message());
    } else if (Status s = readServedHistory(bytes, draws, prizes); !s) {
        UpdateResult r = UpdateResult::of(
            UpdateOutcome::Refused, "the downloaded file is refused: " + s.message());
        r.servedPage = looksLikePage(bytes);
        return r;
    }
    UpdateResult result = installDraws(target, draws, prizes, allowLoss);
    result.format = sqlite ? UpdateFormat::SQLite : UpdateFormat::Csv;
    return result;
}

UpdateResult UpdateResult::cancelled()
{
    return of(UpdateOutcome::Cancelled, "the update was cancelled; nothing was changed");
}

UpdateResult UpdateResult::downloadFailed(const Status &status)
{
    if (downloadReason(status.fault()).kind == FaultKind::DownloadCancelled)
        return cancelled();
    return because(UpdateOutcome::DownloadFailed, status);
}

UpdateResult updateHistory(
    const fs::path &target, const std::string &url, bool allowLoss, const DownloadLimits &limits)
{
    std::string body;
    if (Status s = download(url, body, limits); !s)
        return UpdateResult::downloadFailed(s);
    // The last moment a cancel is honoured: after this the database is written.
    if (!keepGoing(limits, body.size()))
        return UpdateResult::cancelled();
    UpdateResult r = installHistory(target, body, allowLoss);
    if (r.outcome == UpdateOutcome::Refused)
        r.reason = inFile(r.reason, url, true);
    return r;
}

} // namespace loto6
