#include "popularity/methodpopularity.h"

#include <cmath>
#include <cstddef>

namespace loto6::popularity {

MethodPopularity methodPopularity(
    const DrawHistory &history, int from, int shift, const Neighbourhood &hood)
{
    MethodPopularity out;
    std::array<double, Backtest::MethodCount> logSum{};
    Backtest::walk(history, from, [&](const DrawRecord &, int latest, const PredictionEngine &e) {
        const Prediction p = e.predict(latest, shift);
        for (int m = 0; m < Backtest::MethodCount; ++m) {
            const auto method = static_cast<Backtest::Method>(m);
            const std::vector<int> list = Backtest::numbers(p, method);
            if (const std::optional<double> r = hood.listPopularity(list)) {
                // Against random lists of the same length.
                const double random
                    = list.size() >= MainNumberCount ? hood.randomListBaseline() : 1.0;
                logSum[static_cast<std::size_t>(m)] += std::log(*r / random);
                out.draws[static_cast<std::size_t>(m)] += 1;
            }
        }
    });
    for (std::size_t m = 0; m < logSum.size(); ++m)
        if (out.draws[m] > 0)
            out.meanPopularity[m] = std::exp(logSum[m] / out.draws[m]);
    return out;
}

} // namespace loto6::popularity
