#pragma once

#include "store/drawprizes.h"
#include "store/drawrecord.h"
#include "store/result.h"

#include <filesystem>
#include <functional>
#include <istream>
#include <map>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

// The published layouts of a draw history, told apart by their content.
enum class HistoryLayout {
    Canonical, // the exchange CSV, headers by name
    PrizeHistory, // 開催回,日付,..,BONUS数字, winners then prizes by tier, キャリーオーバー
    Alternating,    // 抽せん回,抽せん日,曜日,.., winners and prize alternating by tier
    English,        // draw_no,date,n1..n6,bonus
    OfficialResult, // one draw's official result file (A102NNNN.CSV)
    OfficialIndex,  // the official list of recent draws, without numbers
};

// What one file holds: its draws and, where the layout carries them, their payouts.
struct HistoryFile
{
    HistoryLayout layout = HistoryLayout::Canonical;
    std::vector<DrawRecord> draws;
    std::map<int, DrawPrizes> prizes;
};

// Reads a file of any published layout, UTF-8 or Shift-JIS. A bad file is refused whole, the
// line and the reason named; the official index is refused too, since it holds no numbers.
Status readHistoryBytes(std::string_view bytes, HistoryFile &file);
Status readHistoryFile(const std::filesystem::path &path, HistoryFile &file);

// Takes each draw a reader accepts, with its payout when the file gives one; a failure stops
// the reading with that message.
using HistoryDrawSink = std::function<Status(const DrawRecord &draw, const DrawPrizes *prizes)>;

// One published layout in the registry every reading of a history goes through (import, the
// per-draw update, the whole-history update, the seed): its name, how a text of it is
// recognised (from the text and its first record's cells, width-folded and trimmed; an entry
// without one is only ever named by another's reader), and its reader, which gives the layout
// it found.
struct HistoryLayoutEntry
{
    HistoryLayout layout;
    const char *name;
    bool (*recognises)(std::string_view text, const std::vector<std::string> &header);
    Status (*read)(std::string_view text, HistoryLayout &layout, const HistoryDrawSink &sink);
};

// The one reader on bytes in memory (a download), handing on each draw as it is read.
Status readHistoryBytes(std::string_view bytes, HistoryLayout &layout, const HistoryDrawSink &sink);
// Reads a file of any layout, handing on each draw as it is read, so that a large file is held
// once as text and never as a list of draws. On a failure the sink may have taken some draws,
// which the caller drops.
Status readHistoryFile(
    const std::filesystem::path &path, HistoryLayout &layout, const HistoryDrawSink &sink);

// Writes the history-with-prizes layout in UTF-8 with LF, plus a 販売実績額 column: dates
// yyyy/M/d, a tier nobody won as 0 and 0, the payout cells of a draw without one empty.
void exportPrizeHistory(std::ostream &out, const std::vector<DrawRecord> &draws,
    const std::map<int, DrawPrizes> &prizes);

inline constexpr const char *PrizeHistoryHeader
    = "開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,BONUS数字,"
      "1等口数,2等口数,3等口数,4等口数,5等口数,1等賞金,2等賞金,3等賞金,4等賞金,5等賞金,"
      "キャリーオーバー,販売実績額";

} // namespace loto6
