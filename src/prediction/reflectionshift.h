#pragma once

#include "prediction/predictionoptions.h"

#include <array>

namespace loto6 {

// How many draws further back the elimination, consecutive and one-shot methods read: the sum
// of the fixed weights of the switches that are on (0 with all off, 92 with all on).
class ReflectionShift
{
public:
    static constexpr std::array<int, PredictionOptions::Count> Weights
        = {1, 15, 6, 9, 10, 4, 8, 2, 11, 7, 16, 3};
    static constexpr int Max = 92;

    static constexpr int weight(int index) { return Weights[static_cast<std::size_t>(index)]; }
    static constexpr int of(const PredictionOptions &options)
    {
        int shift = 0;
        for (int i = 0; i < PredictionOptions::Count; ++i)
            if (options.on[static_cast<std::size_t>(i)])
                shift += weight(i);
        return shift;
    }
};

} // namespace loto6
