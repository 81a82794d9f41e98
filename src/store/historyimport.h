#pragma once

#include "store/drawsource.h"
#include "store/historyfile.h"
#include "store/packeddraw.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace loto6 {

class Database;

// The one import sequence of both programs and the update: files of any layout are read into a
// packed batch, then merged into the database in one transaction.
//
// Merge rules: a draw not held is added; a held draw with the same numbers gets its missing
// date and payout filled; a held draw whose numbers, date or payout differ is a conflict,
// listed and refused unless the caller allows the loss (the given draw then replaces it) or
// replaces the whole history.

// One draw on its way in, with its payout when a file had one and the files it was read from,
// oldest first.
struct IncomingDraw
{
    DrawRecord draw;
    std::optional<DrawPrizes> prizes;
    std::vector<std::shared_ptr<const DrawSource>> sources;
};

// Draws gathered from several files; the same draw in two files must agree. Held packed (a
// draw in 16 bytes, sorted by draw number, the files noted once each), so that a batch of a
// million draws takes tens of megabytes; each draw is unpacked as it is visited.
class IncomingHistory
{
public:
    // Adds a file's draws; refuses (adding nothing) a draw that disagrees with an earlier file.
    Status add(const HistoryFile &file, const DrawSource &source);
    // Reads one file of any layout and adds its draws the same way, without holding them as a
    // HistoryFile; refused whole with the file named.
    Status addFile(const std::filesystem::path &path, const DrawSource &source);

    bool empty() const { return m_draws.empty(); }
    std::size_t size() const { return m_draws.size(); }
    bool contains(int drawNo) const;
    std::optional<IncomingDraw> find(int drawNo) const;
    // Visits every draw in ascending draw number; a failure stops the visit and is returned.
    Status forEach(const std::function<Status(const IncomingDraw &)> &visit) const;

    // One file's draws, packed while it is read.
    struct PackedFile;

private:
    Status addPacked(PackedFile &file, const DrawSource &source);
    void mergeIn(const PackedFile &file);
    IncomingDraw unpacked(std::size_t i, std::size_t &prize, std::size_t &source) const;

    std::vector<PackedDraw> m_draws; // by draw number
    std::deque<DrawPrizes> m_prizes; // by draw number, the draws that have a payout
    std::vector<std::shared_ptr<const DrawSource>> m_files;
    std::vector<std::pair<int, std::uint32_t>> m_drawFiles; // (draw, file), sorted
};

enum class MergeMode {
    Add,       // conflicts refuse the whole merge
    AllowLoss, // conflicting draws take the given numbers
    Replace,   // the history becomes exactly the given draws
};

struct DrawConflict
{
    enum class Kind { Numbers, Date, Payout };

    int drawNo = 0;
    std::string reason;        // "numbers 1 2 3 4 5 6 + 7 held, 1 2 3 4 5 8 + 7 given (file x.csv)"
    Kind kind = Kind::Numbers; // what differs first
    DrawRecord held, given;
};

struct MergeReport
{
    int added = 0, filled = 0, replaced = 0, removed = 0, unchanged = 0;
    std::vector<DrawConflict> conflicts;

    // "3 added, 1 filled" and so on, the zero counts left out; "nothing changed" when all are.
    std::string summary() const;
    // One line per conflict, at most maxLines, then how many more.
    std::string conflictList(std::size_t maxLines = 20) const;
};

// Reads every file; all or nothing, each refused file named with its line and reason (and put
// into refused when given). keepGoing, asked before each file, may stop the reading (nothing
// is read then).
Status readHistoryFiles(const std::vector<std::filesystem::path> &files, IncomingHistory &in,
    std::filesystem::path *refused = nullptr, const std::function<bool()> &keepGoing = {});

// Merges the batch in one transaction. In Add mode a conflict refuses everything: the report
// lists the conflicts and the database is unchanged.
Status mergeHistory(Database &db, const IncomingHistory &in, MergeMode mode, MergeReport &report);

// readHistoryFiles, then mergeHistory.
Status importHistoryFiles(Database &db, const std::vector<std::filesystem::path> &files,
    MergeMode mode, MergeReport &report);

} // namespace loto6
