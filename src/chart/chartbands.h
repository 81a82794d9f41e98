#pragma once

#include "store/drawrecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace loto6 {

class DrawHistory;

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

// The exact chance that a whole path of counts S_k ~ B(k, p), k = 1..n (one trial added at a
// time), stays inside bands[k] at every k, carried draw by draw over the counts inside.
double pathInsideProbability(const std::vector<CountBand> &bands, double p);

// The bands for every count of trials 0..n that hold a whole path with probability at least
// `probability`: the per-count bands at the smallest level that does so (found by bisection,
// each level's chance computed exactly). `level` receives that per-count level.
std::vector<CountBand> pathBands(
    long long n, double p, double probability, double *level = nullptr);

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

// The gaps between successive appearances of each number, in draws (1: drawn again at once).
std::vector<int> appearanceGaps(const std::vector<ChartDraw> &draws);

// `count` fair draws (six main numbers of 43, no bonus), numbered 1.., from a fixed seed.
std::vector<ChartDraw> fairChartDraws(int count, std::uint64_t seed);

// For gap lengths g = 1..longest (index g), the bounds that the share of gaps at least g long
// keeps with at least 95% in a fair history of `draws` draws: the 2.5% and 97.5% points over
// `histories` simulated ones (index 0 unused).
struct ShareBand
{
    double low = 0;
    double high = 0;
};
std::vector<ShareBand> gapShareBands(int draws, int longest, int histories, std::uint64_t seed);

// The share of gaps at least g long, g = 0..longest (index 0 and an empty list give 0).
std::vector<double> gapShares(const std::vector<int> &gaps, int longest);

// The heading of a chart over a history: "第1回～第2144回（2144回）".
std::string historyRangeText(const DrawHistory &history);
// "第first回～第last回（count回分）", or "第first回～第last回のうちcount回" when some draws
// between them are not counted.
std::string drawRangeText(int first, int last, std::size_t count);

} // namespace loto6
