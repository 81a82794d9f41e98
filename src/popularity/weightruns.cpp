#include "popularity/weightruns.h"

#include "popularity/popularitymodel.h"

namespace loto6::popularity {

WeightFactors::WeightFactors(const PopularityModel &model)
    : below(static_cast<std::size_t>(HighestNumber * HighestNumber), 0.0)
{
    for (int x = 0; x < HighestNumber; ++x) {
        number[static_cast<std::size_t>(x)]
            = std::exp(model.numberWeights()[static_cast<std::size_t>(x)]);
        for (int y = 0; y < x; ++y)
            below[static_cast<std::size_t>(x * HighestNumber + y)]
                = below[static_cast<std::size_t>(y * HighestNumber + x)]
                = std::exp(model.pairWeight(y, x));
    }
}

double WeightFactors::weight(const int *s, int size, double logScale) const
{
    double w = std::exp(logScale);
    for (int i = size - 1; i >= 0; --i) {
        double f = number[static_cast<std::size_t>(s[i])];
        for (int j = i + 1; j < size; ++j)
            f *= pair(s[i], s[j]);
        w *= f;
    }
    return w;
}

} // namespace loto6::popularity
