#pragma once

#include "popularity/combinations.h"
#include "store/drawhistory.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace loto6::popularity {

// Whole-ticket patterns that players crowd onto and that the winner counts of drawn
// combinations cannot teach the model: no drawn combination looks like them, so the model
// rates some of them among the least popular of all. A ticket of the family is marked
// PatternMark with PatternCaveat, its value is shown as at most that of the most popular 1%,
// and the least-popular picks leave it out unless the user asks for it.
enum class PatternKind {
    KnownSet,         // a set named in the published evidence: 1-6, 7 14 .. 42, 5 10 .. 30, 38-43
    RecentFirstPrize, // the six numbers of one of the latest RecentDraws draws
    RecentShifted,    // one of those with all six moved up or down by one
    Progression6,     // all six in arithmetic progression (six consecutive included)
    Consecutive4,     // four or more consecutive numbers
    Progression5,     // five of the six in arithmetic progression
    SheetLine,        // all six on one line of the mark sheet (sheetLines())
    Multiples,        // all six multiples of one number from 3 to 7
};

// Numbers as a mask: bit n for number n (1..43), as the designer counts them.
using PatternMask = std::uint64_t;

class PatternFamily;

// One row of the family's table: the kind, its names and the rule that decides it.
struct PatternInfo
{
    PatternKind kind;
    const char *japanese; // the desktop's name
    const char *english;  // the command line's name and the JSON "pattern" value
    bool (*holds)(PatternMask m, const PatternFamily &family);
};

// The family in the order a ticket's kind is named: the first that holds.
std::span<const PatternInfo> patternKinds();
const PatternInfo &patternInfo(PatternKind kind);

// "よく買われる型" and "人気は推定できません", the marks of a pattern ticket.
extern const char *const PatternMark;
extern const char *const PatternCaveat;
// The family in one English paragraph, for the command line's help.
extern const char *const PatternDefinition;

// The mark sheet the lines follow: seven numbers across, 1-7 in the first row, 8-14 in the
// second, .., 36-42 in the sixth and 43 alone under 36. A line is a row, a column, a diagonal
// of six or seven numbers, or six neighbouring cells along the frame of the 1-42 block (the
// stretches that turn a corner). Each line as a mask; "all six on one line" is a subset.
inline constexpr int SheetColumns = 7;
std::span<const PatternMask> sheetLines();

PatternMask patternMask(const Combination &c);

// The family for one history: the fixed kinds and the latest draws' combinations.
class PatternFamily
{
public:
    static constexpr int RecentDraws = 10;

    PatternFamily() = default; // the fixed kinds only
    explicit PatternFamily(std::vector<Combination> recentFirstPrizes);
    // The main numbers of the latest RecentDraws complete draws of the history.
    static PatternFamily fromHistory(const DrawHistory &history);

    std::optional<PatternKind> kindOf(PatternMask m) const;
    std::optional<PatternKind> kindOf(const Combination &c) const { return kindOf(patternMask(c)); }
    const PatternInfo *infoOf(const Combination &c) const;

    const std::vector<PatternMask> &recent() const { return m_recent; }
    bool operator==(const PatternFamily &) const = default;

private:
    std::vector<PatternMask> m_recent;
};

// Every ticket of the family, each once, ascending: built from the shapes the kinds hold, not
// by a pass over every combination.
std::vector<PatternMask> patternTickets(const PatternFamily &family);

// How many of all combinations each kind holds (a combination of several kinds is counted in
// each) and how many the family holds, by one pass over every combination.
struct PatternCounts
{
    std::vector<std::int64_t> perKind; // in patternKinds() order
    std::int64_t all = 0;
};
PatternCounts countPatterns(const PatternFamily &family);

} // namespace loto6::popularity
