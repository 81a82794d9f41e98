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
        return Status::failure(Fault{.kind = FaultKind::AmountNotDigits,
            .line = line,
            .column = col + 1,
            .field = names[static_cast<std::size_t>(col)],
            .value = text});
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

// The first record of a header layout, split and checked for lone carriage returns; pos is
// left at the first row. Empty cells when the text has no first record.
Status readHeaderRecord(std::string_view text, Row &cells, std::size_t &pos, int &line)
{
    pos = 0;
    line = 1;
    cells.clear();
    if (!nextCsvRecord(text, pos, cells, line))
        return Status::failure(Fault{.kind = FaultKind::EmptyFile, .line = 1});
    if (std::any_of(cells.begin(), cells.end(),
            [](const std::string &c) { return c.find('\r') != std::string::npos; }))
        return loneCarriageReturn(1);
    // The header was split leniently; a CR that does not start a CR LF means CR-only lines.
    for (std::size_t at = text.find('\r'); at < pos; at = text.find('\r', at + 1))
        if (at + 1 >= text.size() || text[at + 1] != '\n')
            return loneCarriageReturn(1);
    return Status::success();
}

// A layout with a header row: the draws through the exchange reader, the prizes read from the
// same rows as they pass.
Status readHeaderLayout(std::string_view text, HistoryLayout layout, const HistoryDrawSink &sink)
{
    std::size_t pos = 0;
    int line = 1;
    Row cells;
    if (Status s = readHeaderRecord(text, cells, pos, line); !s)
        return s;
    const std::vector<std::string> names = headerNames(cells);
    // The exchange reader sees the header names it knows.
    const auto &renamed = renamedHeaders(layout);
    if (!renamed.empty())
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto it = renamed.find(names[i]);
            cells[i] = it == renamed.end() ? names[i] : it->second;
        }
    const PrizeColumns cols(names);
    const std::string missing = cols.missing();
    const bool prizeLayout
        = layout == HistoryLayout::PrizeHistory || layout == HistoryLayout::Alternating;
    if (prizeLayout && !missing.empty())
        return Status::failure(
            Fault{.kind = FaultKind::MissingColumn, .line = 1, .field = missing});
    return readCsvRows(text, pos, line, cells,
        [&](const DrawRecord &draw, int recordLine, const Row &row) -> Status {
            // A draw without a payout is written with its payout cells empty.
            if (!missing.empty() || !hasAnyPrize(row, cols))
                return sink(draw, nullptr);
            DrawPrizes prizes;
            prizes.drawNo = draw.drawNo;
            if (Status s = readPrizeRow(row, cols, names, recordLine, prizes); !s)
                return s;
            return sink(draw, &prizes);
        });
}

// An official file holds one draw (or none, the index); its reader tells which.
Status readOfficialLayout(std::string_view text, HistoryLayout &layout, const HistoryDrawSink &sink)
{
    HistoryFile one;
    Status s = readOfficialFile(text, one);
    layout = one.layout;
    for (std::size_t i = 0; s && i < one.draws.size(); ++i) {
        const auto it = one.prizes.find(one.draws[i].drawNo);
        s = sink(one.draws[i], it == one.prizes.end() ? nullptr : &it->second);
    }
    return s;
}

bool hasName(const std::vector<std::string> &names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

template<HistoryLayout L>
Status readWithHeader(std::string_view text, HistoryLayout &layout, const HistoryDrawSink &sink)
{
    layout = L;
    return readHeaderLayout(text, L, sink);
}

// The published layouts in the order they are tried; the exchange CSV takes what none other
// claims. A new layout is its reader, one entry here and its sample with a test.
constexpr HistoryLayoutEntry Layouts[] = {
    {HistoryLayout::OfficialResult, "official result file",
        [](std::string_view text, const auto &) { return looksLikeOfficialFile(text); },
        readOfficialLayout},
    {HistoryLayout::OfficialIndex, "official index", nullptr, readOfficialLayout},
    {HistoryLayout::English, "English history",
        [](std::string_view, const auto &names) { return hasName(names, "draw_no"); },
        readWithHeader<HistoryLayout::English>},
    {HistoryLayout::Alternating, "alternating history",
        [](std::string_view, const auto &names) {
            return hasName(names, "抽せん回") && hasName(names, "曜日");
        },
        readWithHeader<HistoryLayout::Alternating>},
    {HistoryLayout::PrizeHistory, "history with prizes",
        [](std::string_view, const auto &names) { return hasName(names, "1等口数"); },
        readWithHeader<HistoryLayout::PrizeHistory>},
    {HistoryLayout::Canonical, "history CSV", [](std::string_view, const auto &) { return true; },
        readWithHeader<HistoryLayout::Canonical>},
};

// Any layout, told apart by its content through the registry.
Status readHistoryText(std::string_view text, HistoryLayout &layout, const HistoryDrawSink &sink)
{
    std::vector<std::string> names;
    {
        Row cells;
        std::size_t pos = 0;
        int line = 1;
        if (!looksLikeOfficialFile(text) && readHeaderRecord(text, cells, pos, line))
            names = headerNames(cells);
    }
    for (const HistoryLayoutEntry &entry : Layouts)
        if (entry.recognises && entry.recognises(text, names))
            return entry.read(text, layout, sink);
    return Status::failure(Fault{.kind = FaultKind::UnknownLayout});
}

HistoryDrawSink into(HistoryFile &file)
{
    return [&file](const DrawRecord &draw, const DrawPrizes *prizes) {
        file.draws.push_back(draw);
        if (prizes)
            file.prizes[draw.drawNo] = *prizes;
        return Status::success();
    };
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

Status readHistoryBytes(std::string_view bytes, HistoryLayout &layout, const HistoryDrawSink &sink)
{
    std::optional<std::string> converted;
    const std::optional<std::string_view> text = utf8TextOf(bytes, converted);
    if (!text)
        return unknownEncoding();
    Status s = readHistoryText(*text, layout, sink);
    // Whatever a reader quoted from the file, the message stays one line for the terminal.
    if (s || s.fault().kind != FaultKind::Other)
        return s;
    return Status::failure(withoutControls(s.message()));
}

Status readHistoryBytes(std::string_view bytes, HistoryFile &file)
{
    file = HistoryFile{};
    Status s = readHistoryBytes(bytes, file.layout, into(file));
    if (!s) {
        file.draws.clear();
        file.prizes.clear();
    }
    return s;
}

Status readHistoryFile(
    const std::filesystem::path &path, HistoryLayout &layout, const HistoryDrawSink &sink)
{
    std::string text;
    if (Status s = readRegularFile(path, MaxHistoryFileBytes, "a history file", text); !s)
        return s;
    // Decoded in place: the file is held once while its draws are read.
    Status s = Status::success();
    {
        std::optional<std::string> converted;
        const std::optional<std::string_view> utf8 = utf8TextOf(text, converted);
        if (!utf8)
            s = unknownEncoding();
        else if (converted)
            text = std::move(*converted);
        else
            text.erase(0, static_cast<std::size_t>(utf8->data() - text.data()));
    }
    if (s)
        s = readHistoryText(text, layout, sink);
    if (!s && s.fault().kind == FaultKind::Other)
        s = Status::failure(withoutControls(s.message()));
    return inFile(s, path, true);
}

Status readHistoryFile(const std::filesystem::path &path, HistoryFile &file)
{
    file = HistoryFile{};
    Status s = readHistoryFile(path, file.layout, into(file));
    if (!s) {
        file.draws.clear();
        file.prizes.clear();
    }
    return s;
}

} // namespace loto6
