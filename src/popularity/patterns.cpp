#include "popularity/patterns.h"

#include <algorithm>
#include <array>
#include <bit>

namespace loto6::popularity {

const char *const PatternMark = "よく買われる型";
const char *const PatternCaveat = "人気は推定できません";
const char *const PatternDefinition
    = "A pattern ticket is one players are known to crowd onto, which the winner counts of "
      "drawn combinations cannot show: a well-known set (1-6, 7 14 21 28 35 42, "
      "5 10 15 20 25 30, 38-43), the numbers of one of the latest 10 draws or those moved up "
      "or down by one, six or five of the numbers in arithmetic progression, four or more "
      "consecutive numbers, all six on one line of a mark sheet of seven numbers across "
      "(row, column, diagonal, six cells along its frame), or all six multiples of one "
      "number from 3 to 7. Its popularity cannot be estimated; its value is at most that of "
      "the most popular 1%.";

namespace {

constexpr int Rows = (HighestNumber + SheetColumns - 1) / SheetColumns;

// Bit n of the numbers that hold `start, start + step, ..` `terms` times, for every start:
// a mask with a bit left exactly when m holds such a progression from that number.
PatternMask progressionStarts(PatternMask m, int step, int terms)
{
    PatternMask starts = m;
    for (int t = 1; t < terms; ++t)
        starts &= m >> (t * step);
    return starts;
}

bool hasProgression(PatternMask m, int terms)
{
    for (int step = 1; step * (terms - 1) < HighestNumber; ++step)
        if (progressionStarts(m, step, terms) != 0)
            return true;
    return false;
}

constexpr std::array<Combination, 4> KnownSets = {{
    {1, 2, 3, 4, 5, 6},
    {7, 14, 21, 28, 35, 42},
    {5, 10, 15, 20, 25, 30},
    {38, 39, 40, 41, 42, 43},
}};

bool knownSet(PatternMask m, const PatternFamily &)
{
    return std::ranges::any_of(
        KnownSets, [m](const Combination &c) { return patternMask(c) == m; });
}

bool recentFirstPrize(PatternMask m, const PatternFamily &f)
{
    return std::ranges::find(f.recent(), m) != f.recent().end();
}

bool recentShifted(PatternMask m, const PatternFamily &f)
{
    static constexpr PatternMask InRange
        = ((PatternMask{1} << (HighestNumber + 1)) - 1) & ~PatternMask{1};
    const auto valid = [](PatternMask x) { return (x & ~InRange) == 0; };
    return std::ranges::any_of(f.recent(), [&](PatternMask r) {
        return (valid(r << 1) && (r << 1) == m) || (valid(r >> 1) && (r >> 1) == m);
    });
}

bool progression6(PatternMask m, const PatternFamily &)
{
    return hasProgression(m, MainNumberCount);
}

bool consecutive4(PatternMask m, const PatternFamily &) { return progressionStarts(m, 1, 4) != 0; }

bool progression5(PatternMask m, const PatternFamily &)
{
    return hasProgression(m, MainNumberCount - 1);
}

bool sheetLine(PatternMask m, const PatternFamily &)
{
    return std::ranges::any_of(sheetLines(), [m](PatternMask line) { return (m & ~line) == 0; });
}

// The multiples of k up to the highest number.
PatternMask multiplesOf(int k)
{
    PatternMask all = 0;
    for (int n = k; n <= HighestNumber; n += k)
        all |= PatternMask{1} << n;
    return all;
}

bool multiples(PatternMask m, const PatternFamily &)
{
    for (int k = 3; k * MainNumberCount <= HighestNumber; ++k)
        if ((m & ~multiplesOf(k)) == 0)
            return true;
    return false;
}

constexpr PatternInfo Kinds[] = {
    {PatternKind::KnownSet, "有名な組", "well-known set", knownSet},
    {PatternKind::RecentFirstPrize, "最近の1等の組", "recent first-prize combination",
        recentFirstPrize},
    {PatternKind::RecentShifted, "最近の1等を1ずらした組",
        "recent first-prize combination shifted by one", recentShifted},
    {PatternKind::Progression6, "6個の等差数列", "six in arithmetic progression", progression6},
    {PatternKind::Consecutive4, "4個以上の連番", "four or more consecutive numbers", consecutive4},
    {PatternKind::Progression5, "5個の等差数列", "five in arithmetic progression", progression5},
    {PatternKind::SheetLine, "マークシートの一列", "one line of the mark sheet", sheetLine},
    {PatternKind::Multiples, "同じ数の倍数", "all multiples of one number", multiples},
};

// The number in row r, column c of the sheet (0-based), or 0 where the sheet has none.
int cell(int r, int c)
{
    if (r < 0 || c < 0 || c >= SheetColumns)
        return 0;
    const int n = r * SheetColumns + c + 1;
    return n <= HighestNumber ? n : 0;
}

// The cells from (r, c) on in steps of (dr, dc) while the sheet has them, kept when six or more.
void addLine(std::vector<PatternMask> &lines, int r, int c, int dr, int dc)
{
    PatternMask m = 0;
    for (; cell(r, c) != 0; r += dr, c += dc)
        m |= PatternMask{1} << cell(r, c);
    if (std::popcount(m) >= MainNumberCount && std::ranges::find(lines, m) == lines.end())
        lines.push_back(m);
}

std::vector<PatternMask> makeSheetLines()
{
    std::vector<PatternMask> lines;
    for (int r = 0; r < Rows; ++r) {
        addLine(lines, r, 0, 0, 1);                 // a row
        addLine(lines, r, 0, 1, 1);                 // down to the right
        addLine(lines, r, SheetColumns - 1, 1, -1); // down to the left
    }
    for (int c = 0; c < SheetColumns; ++c) {
        addLine(lines, 0, c, 1, 0); // a column
        addLine(lines, 0, c, 1, 1);
        addLine(lines, 0, c, 1, -1);
    }
    // The frame of the full rows 1-42, clockwise from 1; every six neighbouring cells.
    const int full = HighestNumber / SheetColumns;
    std::vector<int> frame;
    for (int c = 0; c < SheetColumns; ++c)
        frame.push_back(cell(0, c));
    for (int r = 1; r < full; ++r)
        frame.push_back(cell(r, SheetColumns - 1));
    for (int c = SheetColumns - 2; c >= 0; --c)
        frame.push_back(cell(full - 1, c));
    for (int r = full - 2; r >= 1; --r)
        frame.push_back(cell(r, 0));
    for (std::size_t i = 0; i < frame.size(); ++i) {
        PatternMask m = 0;
        for (std::size_t k = 0; k < MainNumberCount; ++k)
            m |= PatternMask{1} << frame[(i + k) % frame.size()];
        if (std::ranges::find(lines, m) == lines.end())
            lines.push_back(m);
    }
    return lines;
}

} // namespace

std::span<const PatternInfo> patternKinds() { return Kinds; }

const PatternInfo &patternInfo(PatternKind kind)
{
    return *std::ranges::find(Kinds, kind, &PatternInfo::kind);
}

std::span<const PatternMask> sheetLines()
{
    static const std::vector<PatternMask> lines = makeSheetLines();
    return lines;
}

PatternMask patternMask(const Combination &c)
{
    PatternMask m = 0;
    for (int n : c)
        m |= PatternMask{1} << n;
    return m;
}

PatternFamily::PatternFamily(std::vector<Combination> recentFirstPrizes)
{
    for (const Combination &c : recentFirstPrizes)
        m_recent.push_back(patternMask(c));
}

PatternFamily PatternFamily::fromHistory(const DrawHistory &history)
{
    std::vector<Combination> recent;
    for (std::size_t i = history.size(); i-- > 0 && recent.size() < RecentDraws;) {
        const DrawRecord &r = history[i];
        if (!r.isComplete())
            continue;
        Combination c{};
        for (int k = 0; k < MainNumberCount; ++k)
            c[static_cast<std::size_t>(k)] = static_cast<int>(r.mainNumber(k));
        std::ranges::sort(c);
        if (std::ranges::adjacent_find(c) == c.end() && c.front() >= 1 && c.back() <= HighestNumber)
            recent.push_back(c);
    }
    return PatternFamily(std::move(recent));
}

std::optional<PatternKind> PatternFamily::kindOf(PatternMask m) const
{
    for (const PatternInfo &k : Kinds)
        if (k.holds(m, *this))
            return k.kind;
    return std::nullopt;
}

const PatternInfo *PatternFamily::infoOf(const Combination &c) const
{
    const std::optional<PatternKind> k = kindOf(c);
    return k ? &patternInfo(*k) : nullptr;
}

namespace {

constexpr PatternMask AllNumbers = ((PatternMask{1} << (HighestNumber + 1)) - 1) & ~PatternMask{1};

// Adds every six of `pool` that holds all of `core` (core within pool).
void addSixes(PatternMask core, PatternMask pool, std::vector<PatternMask> &out)
{
    std::vector<int> free;
    for (int n = 1; n <= HighestNumber; ++n)
        if ((pool >> n & 1) && !(core >> n & 1))
            free.push_back(n);
    const auto choose = [&](auto &self, PatternMask m, std::size_t from, int left) -> void {
        if (left == 0) {
            out.push_back(m);
            return;
        }
        for (std::size_t i = from; i + static_cast<std::size_t>(left) <= free.size(); ++i)
            self(self, m | PatternMask{1} << free[i], i + 1, left - 1);
    };
    const int left = MainNumberCount - std::popcount(core);
    if (left >= 0)
        choose(choose, core, 0, left);
}

} // namespace

std::vector<PatternMask> patternTickets(const PatternFamily &family)
{
    // Every ticket of a kind holds one of these shapes: a known set, a recent draw or one
    // moved by one, a run of four or five in progression (six in progression hold five), or
    // lies within a line of the sheet or the multiples of 3 to 7. Each is judged by kindOf.
    std::vector<PatternMask> out;
    for (const Combination &c : KnownSets)
        out.push_back(patternMask(c));
    for (PatternMask r : family.recent())
        for (PatternMask m : {r, r << 1, r >> 1})
            out.push_back(m);
    for (int step = 1; step * (MainNumberCount - 2) < HighestNumber; ++step)
        for (int start = 1; start + step * (MainNumberCount - 2) <= HighestNumber; ++start) {
            PatternMask core = 0;
            for (int t = 0; t < MainNumberCount - 1; ++t)
                core |= PatternMask{1} << (start + t * step);
            addSixes(core, AllNumbers, out);
        }
    for (int start = 1; start + 3 <= HighestNumber; ++start)
        addSixes(PatternMask{0xF} << start, AllNumbers, out);
    for (PatternMask line : sheetLines())
        addSixes(0, line, out);
    for (int k = 3; k * MainNumberCount <= HighestNumber; ++k)
        addSixes(0, multiplesOf(k), out);
    std::ranges::sort(out);
    out.erase(std::unique(out.begin(), out.end()), out.end());
    std::erase_if(out, [&](PatternMask m) {
        return (m & ~AllNumbers) != 0 || std::popcount(m) != MainNumberCount || !family.kindOf(m);
    });
    return out;
}

PatternCounts countPatterns(const PatternFamily &family)
{
    PatternCounts counts;
    counts.perKind.assign(std::size(Kinds), 0);
    forEachCombination([&](const std::array<int, MainNumberCount> &x) {
        PatternMask m = 0;
        for (int n : x)
            m |= PatternMask{2} << n; // x is 0-based
        bool any = false;
        for (std::size_t k = 0; k < std::size(Kinds); ++k)
            if (Kinds[k].holds(m, family)) {
                ++counts.perKind[k];
                any = true;
            }
        counts.all += any ? 1 : 0;
    });
    return counts;
}

} // namespace loto6::popularity
