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

Status lineError(std::size_t index, Status reason)
{
    return atLine(std::move(reason), int(index + 1));
}

Status lineError(std::size_t index, FaultKind kind, std::string field = {})
{
    return lineError(index, Status::failure(Fault{.kind = kind, .field = std::move(field)}));
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
        return Status::failure(Fault{.kind = FaultKind::NotDrawTitle, .value = std::string(cell)});
    drawNo = static_cast<int>(no);
    return Status::success();
}

Status parseNumbersLine(std::string_view line, DrawRecord &draw)
{
    const Cells c = splitCells(line);
    if (c.size() != 9 || c[0] != "本数字" || c[7] != "ボーナス数字")
        return Status::failure(
            Fault{.kind = FaultKind::NumbersLineExpected, .value = std::string(line)});
    std::array<std::string, DrawRecord::FieldCount> texts;
    for (int f = 0; f < DrawRecord::FieldCount; ++f)
        texts[static_cast<std::size_t>(f)] = c[static_cast<std::size_t>(f < 6 ? f + 1 : 8)];
    if (Status s = readDrawFields(texts, DrawForm::OfficialFile, draw.drawNo, draw.fields); !s)
        return s;
    return Status::success();
}

Status parseTierLine(std::string_view line, int tier, TierPayout &payout)
{
    const Cells c = splitCells(line);
    const std::string label(TierLabels[static_cast<std::size_t>(tier)]);
    if (c.empty() || c[0] != label)
        return Status::failure(
            Fault{.kind = FaultKind::TierLineExpected, .field = label, .value = std::string(line)});
    if (c.size() == 3 && c[1] == NobodyWon && c[2] == NobodyWon) {
        payout = TierPayout{};
        return Status::success();
    }
    long long winners = 0, prize = 0;
    if (c.size() != 3 || !parseAmount(c[1], "口", winners) || !parseAmount(c[2], "円", prize))
        return Status::failure(Fault{
            .kind = FaultKind::TierLineMalformed, .field = label, .value = std::string(line)});
    payout.winners = winners;
    payout.prize = winners > 0 ? std::optional<long long>(prize) : std::nullopt;
    return Status::success();
}

Status parseAmountLine(std::string_view line, std::string_view label, std::optional<long long> &out)
{
    const Cells c = splitCells(line);
    long long value = 0;
    if (c.size() != 2 || c[0] != label || !parseAmount(c[1], "円", value))
        return Status::failure(Fault{.kind = FaultKind::AmountLineExpected,
            .field = std::string(label),
            .value = std::string(line)});
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
    return Status::failure(Fault{.kind = FaultKind::ExtraLine, .value = std::string(line)});
}

Status readResultBody(
    const std::vector<std::string_view> &lines, DrawRecord &draw, DrawPrizes &prizes)
{
    constexpr std::size_t NumbersLine = 3, FirstTier = 4, CarryLine = 9, SalesLine = 10;
    if (lines.size() <= SalesLine)
        return lineError(lines.size(),
            lines.size() <= NumbersLine ? FaultKind::EndsBeforeNumbers
                                        : FaultKind::EndsBeforeSales);
    if (!lines[2].starts_with("支払期間"))
        return lineError(2, FaultKind::LineExpected, "支払期間");
    if (Status s = parseNumbersLine(lines[NumbersLine], draw); !s)
        return lineError(NumbersLine, s);
    for (int t = 0; t < DrawPrizes::TierCount; ++t)
        if (Status s = parseTierLine(lines[FirstTier + static_cast<std::size_t>(t)], t,
                prizes.tiers[static_cast<std::size_t>(t)]);
            !s)
            return lineError(FirstTier + static_cast<std::size_t>(t), s);
    if (Status s = parseAmountLine(lines[CarryLine], "キャリーオーバー", prizes.carryOver); !s)
        return lineError(CarryLine, s);
    if (Status s = parseAmountLine(lines[SalesLine], "販売実績額", prizes.sales); !s)
        return lineError(SalesLine, s);
    for (std::size_t i = SalesLine + 1; i < lines.size(); ++i)
        if (Status s = checkConditionLine(lines[i]); !s)
            return lineError(i, s);
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
        return Status::failure(Fault{
            .kind = FaultKind::FileCutShort, .line = static_cast<int>(splitLines(text).size())});
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.size() >= 3 && isTagLine(lines[2])) {
        file.layout = HistoryLayout::OfficialIndex;
        return lineError(2, FaultKind::OfficialIndex);
    }
    DrawRecord draw;
    const Cells title = splitCells(lines[1]);
    if (Status s = parseTitle(title[0], draw.drawNo); !s)
        return lineError(1, s);
    if (title.size() < 3)
        return lineError(1, FaultKind::DrawDateMissing);
    if (Status s = parseJapaneseDate(title[2], draw.date); !s)
        return lineError(1, s);
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
