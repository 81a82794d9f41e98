#include "store/officialresult.h"

#include "store/textcodec.h"

#include "store/drawvalidation.h"
#include "store/japanesedate.h"

#include <array>

namespace loto6 {

namespace {

constexpr std::array<std::string_view, DrawPrizes::TierCount> TierLabels
    = {"１等", "２等", "３等", "４等", "５等"};
constexpr std::string_view NobodyWon = "該当なし";
constexpr std::string_view TitleEnd = "回ロト６";

using Cells = std::vector<std::string_view>;

// The file's lines without their line ends; the official files have no quoting.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

Cells splitCells(std::string_view line)
{
    Cells cells;
    for (;;) {
        const std::size_t comma = line.find(',');
        cells.push_back(line.substr(0, comma));
        if (comma == std::string_view::npos)
            return cells;
        line.remove_prefix(comma + 1);
    }
}

Status lineError(std::size_t index, const std::string &reason)
{
    return Status::failure("line " + std::to_string(index + 1) + ": " + reason);
}

// ASCII digits only, as the official files write every amount.
bool parseDigits(std::string_view s, long long &value)
{
    if (s.empty() || s.size() > 15)
        return false;
    value = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9')
            return false;
        value = value * 10 + (ch - '0');
    }
    return true;
}

bool parseAmount(std::string_view cell, std::string_view unit, long long &value)
{
    return cell.ends_with(unit) && parseDigits(cell.substr(0, cell.size() - unit.size()), value);
}

bool isTagLine(std::string_view line)
{
    return !line.empty() && line.find(',') == std::string_view::npos && line.size() <= 8
        && line.front() >= 'A' && line.front() <= 'Z';
}

// 第2016回ロト６: the draw number in ASCII digits.
Status parseTitle(std::string_view cell, int &drawNo)
{
    long long no = 0;
    if (!cell.starts_with("第") || !cell.ends_with(TitleEnd)
        || !parseDigits(cell.substr(3, cell.size() - 3 - TitleEnd.size()), no) || no < 1
        || no > MaxDrawNumber)
        return Status::failure(
            quotedForMessage(cell) + " is not a draw title like 第2016回ロト６ (ASCII digits)");
    drawNo = static_cast<int>(no);
    return Status::success();
}

Status parseNumbersLine(std::string_view line, DrawRecord &draw)
{
    const Cells c = splitCells(line);
    if (c.size() != 9 || c[0] != "本数字" || c[7] != "ボーナス数字")
        return Status::failure("expected 本数字, six numbers, ボーナス数字 and the bonus, found \""
            + std::string(line) + "\"");
    for (int f = 0; f < DrawRecord::FieldCount; ++f) {
        const std::string_view cell = c[static_cast<std::size_t>(f < 6 ? f + 1 : 8)];
        const std::optional<int> n = parseNumberText(cell);
        if (!n || cell.find_first_not_of("0123456789") != std::string_view::npos)
            return Status::failure(
                "\"" + std::string(cell) + "\" is not a number from 1 to 43 in ASCII digits");
        draw.fields[static_cast<std::size_t>(f)] = *n;
    }
    if (const auto twice = repeatedNumber(draw))
        return Status::failure(fieldName(twice->second) + ": "
            + std::to_string(draw.number(twice->first)) + " occurs twice (also in "
            + fieldName(twice->first) + "); a draw's seven numbers all differ");
    return Status::success();
}

Status parseTierLine(std::string_view line, int tier, TierPayout &payout)
{
    const Cells c = splitCells(line);
    const std::string label(TierLabels[static_cast<std::size_t>(tier)]);
    if (c.empty() || c[0] != label)
        return Status::failure(
            "expected the " + label + " line, found \"" + std::string(line) + "\"");
    if (c.size() == 3 && c[1] == NobodyWon && c[2] == NobodyWon) {
        payout = TierPayout{};
        return Status::success();
    }
    long long winners = 0, prize = 0;
    if (c.size() != 3 || !parseAmount(c[1], "口", winners) || !parseAmount(c[2], "円", prize))
        return Status::failure(label
            + ": expected N口,N円 (ASCII digits) or 該当なし,該当なし, found \"" + std::string(line)
            + "\"");
    payout.winners = winners;
    payout.prize = winners > 0 ? std::optional<long long>(prize) : std::nullopt;
    return Status::success();
}

Status parseAmountLine(std::string_view line, std::string_view label, std::optional<long long> &out)
{
    const Cells c = splitCells(line);
    long long value = 0;
    if (c.size() != 2 || c[0] != label || !parseAmount(c[1], "円", value))
        return Status::failure("expected " + std::string(label) + ",N円 (ASCII digits), found \""
            + std::string(line) + "\"");
    out = value;
    return Status::success();
}

// The closing lines restate each tier's condition: their second cell is no count.
Status checkConditionLine(std::string_view line)
{
    const Cells c = splitCells(line);
    for (std::string_view label : TierLabels)
        if (c.size() >= 2 && c[0] == label && !c[1].ends_with("口") && c[1] != NobodyWon)
            return Status::success();
    return Status::failure("unexpected line after the results: \"" + std::string(line) + "\"");
}

Status readResultBody(
    const std::vector<std::string_view> &lines, DrawRecord &draw, DrawPrizes &prizes)
{
    constexpr std::size_t NumbersLine = 3, FirstTier = 4, CarryLine = 9, SalesLine = 10;
    if (lines.size() <= SalesLine)
        return lineError(lines.size(),
            "the file ends before the "
                + std::string(lines.size() <= NumbersLine ? "numbers" : "販売実績額 line")
                + " (cut short?)");
    if (!lines[2].starts_with("支払期間"))
        return lineError(2, "expected the 支払期間 line");
    if (Status s = parseNumbersLine(lines[NumbersLine], draw); !s)
        return lineError(NumbersLine, s.message());
    for (int t = 0; t < DrawPrizes::TierCount; ++t)
        if (Status s = parseTierLine(lines[FirstTier + static_cast<std::size_t>(t)], t,
                prizes.tiers[static_cast<std::size_t>(t)]);
            !s)
            return lineError(FirstTier + static_cast<std::size_t>(t), s.message());
    if (Status s = parseAmountLine(lines[CarryLine], "キャリーオーバー", prizes.carryOver); !s)
        return lineError(CarryLine, s.message());
    if (Status s = parseAmountLine(lines[SalesLine], "販売実績額", prizes.sales); !s)
        return lineError(SalesLine, s.message());
    for (std::size_t i = SalesLine + 1; i < lines.size(); ++i)
        if (Status s = checkConditionLine(lines[i]); !s)
            return lineError(i, s.message());
    return Status::success();
}

} // namespace

bool looksLikeOfficialFile(std::string_view text)
{
    const std::vector<std::string_view> lines = splitLines(text.substr(0, 400));
    return lines.size() >= 2 && isTagLine(lines[0]) && lines[1].starts_with("第")
        && splitCells(lines[1])[0].ends_with(TitleEnd);
}

Status readOfficialFile(std::string_view text, HistoryFile &file)
{
    if (!text.empty() && text.back() != '\n')
        return Status::failure("line " + std::to_string(splitLines(text).size())
            + ": the file ends in the middle of a line (cut short?)");
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.size() >= 3 && isTagLine(lines[2])) {
        file.layout = HistoryLayout::OfficialIndex;
        return lineError(2,
            "this is the official index of recent draws, which holds no numbers;"
            " import the draws' result files (A102NNNN.CSV) instead");
    }
    DrawRecord draw;
    const Cells title = splitCells(lines[1]);
    if (Status s = parseTitle(title[0], draw.drawNo); !s)
        return lineError(1, s.message());
    if (title.size() < 3)
        return lineError(1, "the draw date is missing");
    if (Status s = parseJapaneseDate(title[2], draw.date); !s)
        return lineError(1, s.message());
    DrawPrizes prizes;
    prizes.drawNo = draw.drawNo;
    if (Status s = readResultBody(lines, draw, prizes); !s)
        return s;
    file.layout = HistoryLayout::OfficialResult;
    file.prizes = {{draw.drawNo, prizes}};
    file.draws = {std::move(draw)};
    return Status::success();
}

} // namespace loto6
