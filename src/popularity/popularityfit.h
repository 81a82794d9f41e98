#pragma once

#include "popularity/observations.h"
#include "popularity/popularitymodel.h"

#include <vector>

namespace loto6::popularity {

// How the model is fitted: the terms it may use, the ridge penalties that keep the number
// preferences and trait weights small where the data says little, and how fast older draws
// lose weight (half-life in draws before the first predicted one; 0 weighs all alike).
struct FitSettings
{
    ModelTerms terms = ModelTerms::full();
    double numberPenalty = 30.0;
    double traitPenalty = 0.5;
    double halfLife = 1000.0;
};

// Fits the model on the draws numbered below `beforeDraw` (every draw when it is 0) from the
// winners of tiers 3 to 5: a weighted ridge fit of log(winners / winners of equally popular
// combinations) on the mean traits of each tier's winning combinations (a closed form over
// number and pair terms). Draws with unknown sales take part through the ratios between
// their tiers only. Then, per tier, a quadratic maps the fitted mean to the winners (the
// winners are a sum of exponentials, so they grow faster than the mean). Deterministic; never
// reads a draw at or after beforeDraw.
// When asked, also how uncertain the fitted weights are (the number preferences, then the
// trait weights, as the model keeps them): their covariance, row-major, as resampling the
// training draws would give it, worked out from each draw's residuals.
PopularityModel fitPopularity(const std::vector<DrawObservation> &draws, int beforeDraw,
    const FitSettings &settings = {}, std::vector<double> *covariance = nullptr);

// The draws the fit learns from (before beforeDraw, with winners in tiers 3 to 5), and of
// them those with known sales.
struct TrainingCount
{
    int draws = 0;
    int withSales = 0;
};
TrainingCount trainingDrawCount(const std::vector<DrawObservation> &draws, int beforeDraw);

} // namespace loto6::popularity
