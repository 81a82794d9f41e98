#include "store/historyfile.h"

#include "store/csvhistory.h"
#include "store/filereader.h"
#include "store/officialresult.h"
#include "store/textcodec.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace loto6 {

namespace {

using Row = std::vector<std::string>;

// The header names of the other layouts that the exchange reader does not know.
const std::map<std::string, std::string> &renamedHeaders(HistoryLayout layout)
{
    static const std::map<std::string, std::string> english = {{"draw_no", "回数"},
        {"date", "抽選日"}, {"n1", "第1数字"}, {"n2", "第2数字"}, {"n3", "第3数字"},
        {"n4", "第4数字"}, {"n5", "第5数字"}, {"n6", "第6数字"}, {"bonus", "ボーナス数字"}};
    static const std::map<std::string, std::string> alternating = {{"抽せん回", "回数"}};
    static const std::map<std::string, std::string> none;
    return layout == HistoryLayout::English    ? english
        : layout == HistoryLayout::Alternating ? alternating
                                               : none;
}

std::vector<std::string> headerNames(const Row &cells)
{
    std::vector<std::string> names;
    for (const std::string &c : cells)
        names.push_back(trim(foldWidth(c)));
    return names;
}

HistoryLayout layoutOfHeader(const std::vector<std::string> &names)
{
    auto has = [&](std::string_view n) {
        return std::find(names.begin(), names.end(), n) != names.end();
    };
    if (has("draw_no"))
        return HistoryLayout::English;
    if (has("抽せん回") && has("曜日"))
        return HistoryLayout::Alternating;
    if (has("1等口数"))
        return HistoryLayout::PrizeHistory;
    return HistoryLayout::Canonical;
}

// Where the prize columns are: winners and prize of each tier, carry-over, sales.
struct PrizeColumns
{
    std::array<int, DrawPrizes::TierCount> winners{-1, -1, -1, -1, -1};
    std::array<int, DrawPrizes::TierCount> prize{-1, -1, -1, -1, -1};
    int carryOver = -1;
    int sales = -1;

    explicit PrizeColumns(const std::vector<std::string> &names)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const int col = static_cast<int>(i);
            for (std::size_t t = 0; t < winners.size(); ++t) {
                const std::string tier = std::to_string(t + 1) + "等";
                if (names[i] == tier + "口数")
                    winners[t] = col;
                else if (names[i] == tier + "賞金")
                    prize[t] = col;
            }
            if (names[i] == "キャリーオーバー")
                carryOver = col;
            else if (names[i] == "販売実績額")
                sales = col;
        }
    }
    // The name of the first tier column missing, or empty when all ten are there.
    std::string missing() const
    {
        for (std::size_t t = 0; t < winners.size(); ++t) {
            const std::string tier = std::to_string(t + 1) + "等";
            if (winners[t] < 0)
                return tier + "口数";
            if (prize[t] < 0)
                return tier + "賞金";
        }
        return {};
    }
};

// An amount cell: empty (not given) or ASCII digits, as every prize layout writes them.
Status readAmount(const Row &cells, int col, const std::vector<std::string> &names, int line,
    std::optional<long long> &value)
{
    value.reset();
    if (col < 0 || col >= static_cast<int>(cells.size()))
        return Status::success();
    const std::string text = trim(cells[static_cast<std::size_t>(col)]);
    if (text.empty())
        return Status::success();
    long long v = 0;
    bool digits = text.size() <= 15;
    for (char ch : text)
        digits = digits && ch >= '0' && ch <= '9';
    for (std::size_t i = 0; digits && i < text.size(); ++i)
        v = v * 10 + (text[i] - '0');
    if (!digits)
        return Status::failure("line " + std::to_string(line) + ", column "
            + std::to_string(col + 1) + " (" + names[static_cast<std::size_t>(col)]
            + "): " + quotedForMessage(text) + " is not an amount in ASCII digits");
    value = v;
    return Status::success();
}

Status readPrizeRow(const Row &cells, const PrizeColumns &cols,
    const std::vector<std::string> &names, int line, DrawPrizes &prizes)
{
    for (std::size_t t = 0; t < cols.winners.size(); ++t) {
        std::optional<long long> winners, prize;
        if (Status s = readAmount(cells, cols.winners[t], names, line, winners); !s)
            return s;
        if (Status s = readAmount(cells, cols.prize[t], names, line, prize); !s)
            return s;
        prizes.tiers[t].winners = winners.value_or(0);
        // Nobody won: the layouts write 0 for the prize, which means no prize.
        prizes.tiers[t].prize = winners.value_or(0) > 0 ? prize : std::nullopt;
    }
    if (Status s = readAmount(cells, cols.carryOver, names, line, prizes.carryOver); !s)
        return s;
    return readAmount(cells, cols.sales, names, line, prizes.sales);
}

bool hasAnyPrize(const Row &cells, const PrizeColumns &cols)
{
    auto given = [&](int col) {
        return col >= 0 && col < static_cast<int>(cells.size())
            && !trim(cells[static_cast<std::size_t>(col)]).empty();
    };
    for (std::size_t t = 0; t < cols.winners.size(); ++t)
        if (given(cols.winners[t]) || given(cols.prize[t]))
            return true;
    return given(cols.carryOver) || given(cols.sales);
}

bool isBlank(const Row &cells)
{
    for (const std::string &c : cells)
        if (!trim(c).empty())
            return false;
    return true;
}

// The prize columns of each draw row, in the order the exchange reader gave the draws.
Status readPrizeColumns(std::string_view text, std::size_t bodyStart, int bodyLine,
    const std::vector<std::string> &names, HistoryFile &file)
{
    const PrizeColumns cols(names);
    const std::string missing = cols.missing();
    if (!missing.empty()) {
        if (file.layout != HistoryLayout::PrizeHistory && file.layout != HistoryLayout::Alternating)
            return Status::success();
        return Status::failure("line 1: no " + missing + " column in the header");
    }
    std::size_t pos = bodyStart, next = 0;
    Row cells;
    for (int line = bodyLine;; ++line) {
        const int recordLine = line;
        if (!nextCsvRecord(text, pos, cells, line))
            break;
        if (isBlank(cells))
            continue;
        if (next >= file.draws.size())
            return Status::failure("line " + std::to_string(recordLine)
                + ": the prize columns do not match the draw rows");
        DrawPrizes prizes;
        prizes.drawNo = file.draws[next++].drawNo;
        if (!hasAnyPrize(cells, cols))
            continue; // a draw without a payout, as the export writes it
        if (Status s = readPrizeRow(cells, cols, names, recordLine, prizes); !s)
            return s;
        file.prizes[prizes.drawNo] = prizes;
    }
    return Status::success();
}

// A layout with a header row: the draws through the exchange reader, the prizes beside them.
Status readHeaderLayout(std::string_view text, HistoryFile &file)
{
    std::size_t pos = 0;
    int line = 1;
    Row cells;
    if (!nextCsvRecord(text, pos, cells, line))
        return Status::failure("line 1: the file is empty; a header line is needed");
    if (std::any_of(cells.begin(), cells.end(),
            [](const std::string &c) { return c.find('\r') != std::string::npos; }))
        return loneCarriageReturn(1);
    const std::vector<std::string> names = headerNames(cells);
    file.layout = layoutOfHeader(names);
    const auto &renamed = renamedHeaders(file.layout);
    Status read;
    if (renamed.empty()) {
        read = importCsvBytes(text, file.draws);
    } else {
        // The exchange reader on the same rows under the header names it knows.
        std::string renamedText;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto it = renamed.find(names[i]);
            renamedText += (i ? "," : "") + (it == renamed.end() ? names[i] : it->second);
        }
        renamedText += '\n';
        renamedText.append(text.substr(pos));
        read = importCsvBytes(renamedText, file.draws);
    }
    if (!read)
        return read;
    return readPrizeColumns(text, pos, line + 1, names, file);
}

// YYYY-MM-DD as yyyy/M/d, the way the prize layouts write dates.
std::string slashDate(const std::string &iso)
{
    if (iso.size() != 10)
        return iso;
    return iso.substr(0, 4) + "/" + std::to_string(std::stoi(iso.substr(5, 2))) + "/"
        + std::to_string(std::stoi(iso.substr(8, 2)));
}

void writeAmount(std::ostream &out, const std::optional<long long> &v)
{
    out << ',';
    if (v)
        out << *v;
}

} // namespace

void exportPrizeHistory(std::ostream &out, const std::vector<DrawRecord> &draws,
    const std::map<int, DrawPrizes> &prizes)
{
    out << PrizeHistoryHeader << '\n';
    for (const DrawRecord &r : draws) {
        out << r.drawNo << ',' << slashDate(r.date);
        for (const auto &f : r.fields)
            writeAmount(out, f);
        const auto it = prizes.find(r.drawNo);
        if (it == prizes.end()) {
            out << std::string(2 * DrawPrizes::TierCount + 2, ',') << '\n';
            continue;
        }
        const DrawPrizes &p = it->second;
        for (int t = 1; t <= DrawPrizes::TierCount; ++t)
            out << ',' << p.tier(t).winners;
        for (int t = 1; t <= DrawPrizes::TierCount; ++t)
            writeAmount(
                out, p.tier(t).winners == 0 ? std::optional<long long>(0) : p.tier(t).prize);
        writeAmount(out, p.carryOver);
        writeAmount(out, p.sales);
        out << '\n';
    }
}

const char *layoutName(HistoryLayout layout)
{
    switch (layout) {
    case HistoryLayout::Canonical:
        return "history CSV";
    case HistoryLayout::PrizeHistory:
        return "history with prizes";
    case HistoryLayout::Alternating:
        return "alternating history";
    case HistoryLayout::English:
        return "English history";
    case HistoryLayout::OfficialResult:
        return "official result file";
    case HistoryLayout::OfficialIndex:
        return "official index";
    }
    return "history";
}

Status readHistoryBytes(std::string_view bytes, HistoryFile &file)
{
    file = HistoryFile{};
    std::optional<std::string> converted;
    const std::optional<std::string_view> text = utf8TextOf(bytes, converted);
    if (!text)
        return Status::failure("unknown encoding: the file is neither UTF-8 nor Shift-JIS");
    Status s = looksLikeOfficialFile(*text) ? readOfficialFile(*text, file)
                                            : readHeaderLayout(*text, file);
    if (!s) {
        file.draws.clear();
        file.prizes.clear();
        // Whatever a reader quoted from the file, the message stays one line for the terminal.
        return Status::failure(withoutControls(s.message()));
    }
    return s;
}

Status readHistoryFile(const std::filesystem::path &path, HistoryFile &file)
{
    std::string bytes;
    if (Status s = readRegularFile(path, MaxHistoryFileBytes, "a history file", bytes); !s)
        return s;
    if (Status s = readHistoryBytes(bytes, file); !s)
        return Status::failure(quotedForMessage(path.string()) + ": " + s.message());
    return Status::success();
}

} // namespace loto6
