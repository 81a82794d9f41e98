#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace loto6 {

class DrawHistory;

inline constexpr int ChartBalls = 43;    // numbers 1..43
inline constexpr int ChartMainPicks = 6; // main numbers of a draw

// Bounds [low, high] of a binomial count X ~ B(n, p) that hold it with probability at least
// `probability`: P(X < low) and P(X > high) are each at most (1 - probability) / 2, and the
// bounds are the tightest whole numbers that do so.
struct CountBand
{
    long long low = 0;
    long long high = 0;
};
CountBand binomialBand(long long n, double p, double probability);

// The same bands for every count of trials 0..n (index = trials), found by moving each bound
// on from the previous one: a count of one more trial has its quantiles at most one higher.
std::vector<CountBand> binomialBandsUpTo(long long n, double p, double probability);

// The per-item probability that makes `items` independent items all fall inside their bands
// with probability `probability` (Šidák): probability^(1 / items).
double jointBandProbability(double probability, int items);

// z with P(Z > z) = tail for the standard normal law (tail in (0, 1)).
double normalUpperQuantile(double tail);

// A complete draw whose seven numbers are distinct values in 1..43: the ones charts count.
struct ChartDraw
{
    int drawNo = 0;
    std::uint64_t mainMask = 0; // bit x for each main number x
    int bonus = 0;
};
std::vector<ChartDraw> chartDraws(const DrawHistory &history);

// The heading of a chart over a history: "第1回～第2144回（2144回）".
std::string historyRangeText(const DrawHistory &history);

} // namespace loto6
