#pragma once

#include "popularity/combinations.h"

#include <array>
#include <cmath>
#include <vector>

namespace loto6::popularity {

class PopularityModel;

// The pick weight of a combination as a product of factors: exp of each number's preference
// and of each pair's trait weights. Multiplying them down the numbers costs a few products a
// combination where adding the log terms and taking exp costs an exp each.
struct WeightFactors
{
    explicit WeightFactors(const PopularityModel &model);

    std::array<double, HighestNumber> number{};
    // below[x * 43 + y]: the factor of the pair y < x, side by side over y for each x;
    // the table is symmetric (below[y * 43 + x] the same), so that either order reads it.
    std::vector<double> below;

    double pair(int a, int b) const
    {
        return below[static_cast<std::size_t>(b * HighestNumber + a)];
    }
    // The weight of the 0-based ascending subset s[0..size), times exp(logScale).
    double weight(const int *s, int size, double logScale = 0) const;
};

// Every combination's weight times exp(logScale), in runs: for each choice of the five upper
// numbers x[1] < .. < x[5] (0-based), f(x, run) gets run[y] for every y < x[1], the weight of
// {y, x[1..5]}. The runs come in colexicographic order, so that the combination of rank r is
// run[y] with r = y + the rank of x[1..5] one place up (sum of C(x[i], i + 1), i = 1..5).
template<typename F>
void forEachWeightRun(const WeightFactors &e, double logScale, F &&f)
{
    // g[d][y]: y's own factor times its pairs with the numbers chosen from place d up.
    std::array<std::array<double, HighestNumber>, MainNumberCount> g{};
    std::array<double, HighestNumber> run{};
    std::array<int, MainNumberCount> x{};
    const double scale = std::exp(logScale);
    const auto narrow = [&e](const std::array<double, HighestNumber> &from, int upTo, int with,
                            std::array<double, HighestNumber> &to) {
        const double *p = &e.below[static_cast<std::size_t>(with * HighestNumber)];
        for (int y = 0; y < upTo; ++y)
            to[static_cast<std::size_t>(y)] = from[static_cast<std::size_t>(y)] * p[y];
    };
    for (x[5] = 5; x[5] < HighestNumber; ++x[5]) {
        const double w5 = scale * e.number[static_cast<std::size_t>(x[5])];
        narrow(e.number, x[5], x[5], g[4]);
        for (x[4] = 4; x[4] < x[5]; ++x[4]) {
            const double w4 = w5 * g[4][static_cast<std::size_t>(x[4])];
            narrow(g[4], x[4], x[4], g[3]);
            for (x[3] = 3; x[3] < x[4]; ++x[3]) {
                const double w3 = w4 * g[3][static_cast<std::size_t>(x[3])];
                narrow(g[3], x[3], x[3], g[2]);
                for (x[2] = 2; x[2] < x[3]; ++x[2]) {
                    const double w2 = w3 * g[2][static_cast<std::size_t>(x[2])];
                    narrow(g[2], x[2], x[2], g[1]);
                    for (x[1] = 1; x[1] < x[2]; ++x[1]) {
                        const double w1 = w2 * g[1][static_cast<std::size_t>(x[1])];
                        const double *p = &e.below[static_cast<std::size_t>(x[1] * HighestNumber)];
                        for (int y = 0; y < x[1]; ++y)
                            run[static_cast<std::size_t>(y)]
                                = w1 * (g[1][static_cast<std::size_t>(y)] * p[y]);
                        f(x, run.data());
                    }
                }
            }
        }
    }
}

} // namespace loto6::popularity
