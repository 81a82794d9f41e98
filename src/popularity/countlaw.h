#pragma once

#include <utility>
#include <vector>

namespace loto6::popularity {

// The chance law of a tier's winner count K at a draw whose model mean is `lambda` (the
// tickets times the share the pick weights give). Players do not pick independently: a
// combination can be liked far beyond what its numbers and pairs say (a crowd on it), so K is
// Poisson with a random mean lambda · scale · M, where M is gamma with mean 1 and the given
// shape (0: M = 1, plain Poisson), or, with the crowd's weight, gamma with mean crowdFactor and
// shape crowdShape. Each part is a negative binomial law; the mixture has closed forms for
// what a ticket's share of a pool needs.
struct CountLaw
{
    double scale = 1;
    double shape = 0;
    double crowdWeight = 0;
    double crowdFactor = 1;
    double crowdShape = 1;

    bool operator==(const CountLaw &) const = default;

    double mean(double lambda) const;
    double logPmf(long long k, double lambda) const;
    double pmf(long long k, double lambda) const;
    // P(K <= k) and P(K >= k), each summed on the side where it is small (no cancellation).
    double cdf(long long k, double lambda) const;
    double tail(long long k, double lambda) const;
    // The randomized probability integral transform of an observed k: F(k - 1) + v P(K = k),
    // v uniform in [0, 1); uniform in (0, 1) when the law is right.
    double randomizedPit(long long k, double lambda, double v) const;
    // E[1 / (1 + K)]: the share of a pool a winner keeps when K others share it.
    double meanShare(double lambda) const;
    // E[min(cap, total / (1 + K))].
    double cappedShare(double total, double cap, double lambda) const;
    // The same with meanShare(lambda) already worked out.
    double cappedShare(double total, double cap, double lambda, double meanShareAt) const;
    // The chance that `crowd` picked the combination, given K = k (the posterior weight).
    double crowdChance(long long k, double lambda) const;
    // The bounds [low, high] that hold K with probability at least `probability`: P(K < low)
    // and P(K > high) each at most (1 - probability) / 2, as bandOf gives them.
    std::pair<long long, long long> interval(double lambda, double probability) const;
};

// One draw the law learns from: the observed count, the model mean and the draw's weight.
struct CountSample
{
    long long k = 0;
    double lambda = 0;
    double weight = 1;
};

// Minus the weighted log-likelihood of samples under one law after another, as a fit tries
// them: what depends on a sample's count alone is worked out once, and what depends on a
// part's shape once per law. The same sum as adding -weight · logPmf(k, lambda), to the bit.
class CountLikelihood
{
public:
    // Counts under it have log Γ(k + r) − log Γ(r) summed as logs.
    static constexpr long long SmallCounts = 30;

    // The samples must outlive it.
    explicit CountLikelihood(const std::vector<CountSample> &samples);
    double minusLog(const CountLaw &law) const;

private:
    const std::vector<CountSample> *m_samples;
    std::vector<double> m_logFactorial; // log k! of each sample
    long long m_smallTop = 0;           // the largest small count of a sample
};

// What a fit may move: the level (scale), the gamma shape, and the crowd part.
struct CountLawTerms
{
    bool scale = false;
    bool crowd = false;
};

// The law of greatest weighted likelihood over the samples (Nelder–Mead over the parameters on
// a log or logit scale). Deterministic. Too few samples (under 20) give the Poisson law.
CountLaw fitCountLaw(const std::vector<CountSample> &samples, CountLawTerms terms);

// The law of a sum of independent counts, each with its law and mean (index = the sum),
// convolved count by count; what lies beyond the last 1e-10 of mass is left out.
std::vector<double> sumLaw(const std::vector<std::pair<CountLaw, double>> &counts);
// The bounds [low, high] that hold such a sum with probability at least `probability`:
// P(S < low) and P(S > high) each at most (1 - probability) / 2 (what was left out counts as
// above every bound).
std::pair<long long, long long> bandOf(const std::vector<double> &law, double probability);

// The p-value of the Kolmogorov–Smirnov test that `values` are uniform on (0, 1) (the
// asymptotic law with Stephens' correction for small samples).
double uniformKsPValue(std::vector<double> values);

} // namespace loto6::popularity
