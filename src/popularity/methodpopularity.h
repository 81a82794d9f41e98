#pragma once

#include "popularity/neighbourhood.h"
#include "prediction/backtest.h"

#include <array>
#include <optional>

namespace loto6::popularity {

// Whether the numbers each prediction method picked are more or less popular with players than
// random ones: the geometric mean over the checked draws of how popular its list was (1.0 random),
// at one reflection shift, with no draw at or after the one predicted seen.
struct MethodPopularity
{
    std::array<std::optional<double>, Backtest::MethodCount> meanPopularity{};
    std::array<int, Backtest::MethodCount> draws{};
};

MethodPopularity methodPopularity(
    const DrawHistory &history, int from, int shift, const Neighbourhood &hood);

} // namespace loto6::popularity
