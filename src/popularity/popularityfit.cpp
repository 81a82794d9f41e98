#include "popularity/popularityfit.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <utility>

namespace loto6::popularity {

namespace {

constexpr std::array<int, 3> FittedTiers = {3, 4, 5};

bool isTraining(const DrawObservation &o, int beforeDraw)
{
    if (beforeDraw != 0 && o.drawNo >= beforeDraw)
        return false;
    for (int t : FittedTiers)
        if (o.winners[static_cast<std::size_t>(t - 1)] <= 0)
            return false;
    return true;
}

// Columns: a preference per number (when used), a weight per trait, an intercept per tier.
class Design
{
public:
    explicit Design(const ModelTerms &terms)
        : m_numberColumns(terms.perNumber ? HighestNumber : 0)
    {
        for (PairTrait t : terms.pairs) {
            Trait trait;
            for (int a = 1; a <= HighestNumber; ++a)
                for (int b = a + 1; b <= HighestNumber; ++b)
                    if (traitValue(t, a, b) != 0) {
                        trait.has[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)] = true;
                        trait.has[static_cast<std::size_t>(b)][static_cast<std::size_t>(a)] = true;
                        ++trait.withNumber[static_cast<std::size_t>(a)];
                        ++trait.withNumber[static_cast<std::size_t>(b)];
                        ++trait.pairs;
                    }
            m_traits.push_back(trait);
        }
    }

    std::size_t parameters() const
    {
        return static_cast<std::size_t>(m_numberColumns) + m_traits.size();
    }
    std::size_t columns() const { return parameters() + FittedTiers.size(); }
    std::size_t numberColumns() const { return static_cast<std::size_t>(m_numberColumns); }

    // How many pairs of each trait lie inside a draw, across it and outside it. The traits
    // are 0 or 1, so these counts are the sums pairTermMean adds, to the bit.
    struct PairCounts
    {
        Combination draw{};
        std::vector<std::array<double, 3>> traits;
    };
    PairCounts countPairs(const Combination &draw) const
    {
        PairCounts c{draw, {}};
        for (const Trait &t : m_traits) {
            int inside = 0, touching = 0;
            for (std::size_t i = 0; i < draw.size(); ++i) {
                const auto a = static_cast<std::size_t>(draw[i]);
                touching += t.withNumber[a];
                for (std::size_t j = i + 1; j < draw.size(); ++j)
                    inside += t.has[a][static_cast<std::size_t>(draw[j])] ? 1 : 0;
            }
            const int across = touching - 2 * inside;
            c.traits.push_back({static_cast<double>(inside), static_cast<double>(across),
                static_cast<double>(t.pairs - inside - across)});
        }
        return c;
    }

    // The mean traits of the combinations matching the draw in exactly m numbers, less their
    // mean over every combination; then the tier's intercept column.
    std::vector<double> row(const PairCounts &counts, int m, std::size_t tierIndex) const
    {
        std::vector<double> x(columns(), 0.0);
        const auto in = membership(counts.draw);
        for (int n = 1; n <= m_numberColumns; ++n) {
            const double drawn = in[static_cast<std::size_t>(n)] ? 1.0 : 0.0;
            x[static_cast<std::size_t>(n - 1)] = numberTermMeanOf(drawn, 1.0 - drawn, m);
        }
        for (std::size_t t = 0; t < m_traits.size(); ++t) {
            const std::array<double, 3> &v = counts.traits[t];
            x[numberColumns() + t] = pairTermMeanOf(v[0], v[1], v[2], m);
        }
        x[parameters() + tierIndex] = 1.0;
        return x;
    }

private:
    struct Trait
    {
        std::array<std::array<bool, HighestNumber + 1>, HighestNumber + 1> has{};
        std::array<int, HighestNumber + 1> withNumber{};
        int pairs = 0;
    };

    int m_numberColumns;
    std::vector<Trait> m_traits;
};

// Solves a x = b by Gaussian elimination with partial pivoting.
std::vector<double> solve(std::vector<std::vector<double>> a, std::vector<double> b)
{
    const std::size_t n = b.size();
    for (std::size_t c = 0; c < n; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < n; ++r)
            if (std::abs(a[r][c]) > std::abs(a[pivot][c]))
                pivot = r;
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        if (a[c][c] == 0)
            continue;
        for (std::size_t r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (std::size_t k = c; k < n; ++k)
                a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    std::vector<double> x(n, 0.0);
    for (std::size_t c = n; c-- > 0;) {
        double s = b[c];
        for (std::size_t k = c + 1; k < n; ++k)
            s -= a[c][k] * x[k];
        x[c] = a[c][c] != 0 ? s / a[c][c] : 0.0;
    }
    return x;
}

// One row of the fit: design, target, weight; `tier` is -1 for the rows of a draw whose sales
// are unknown (centred within the draw).
struct Sample
{
    std::vector<double> x;
    double y = 0;
    double weight = 1;
    int tier = -1;
};

// The rows of one draw: with known sales one per tier; without, the three rows less their
// mean, which leaves only the ratios between the tiers.
void addSamples(
    const DrawObservation &o, const Design &design, double weight, std::vector<Sample> &out)
{
    const std::optional<double> tickets = o.tickets();
    std::array<Sample, FittedTiers.size()> rows;
    const Design::PairCounts counts = design.countPairs(o.numbers);
    for (std::size_t k = 0; k < FittedTiers.size(); ++k) {
        const int tier = FittedTiers[k];
        rows[k].x = design.row(counts, tierMatches(tier), k);
        rows[k].y = std::log(static_cast<double>(o.winners[static_cast<std::size_t>(tier - 1)])
            / (tickets.value_or(1.0) * tierChance(tier)));
        rows[k].weight = weight;
        rows[k].tier = tickets ? tier : -1;
    }
    if (!tickets) {
        for (std::size_t c = 0; c < design.columns(); ++c) {
            const double mean = (rows[0].x[c] + rows[1].x[c] + rows[2].x[c]) / 3;
            for (Sample &s : rows)
                s.x[c] -= mean;
        }
        const double mean = (rows[0].y + rows[1].y + rows[2].y) / 3;
        for (Sample &s : rows)
            s.y -= mean;
    }
    for (Sample &s : rows)
        out.push_back(std::move(s));
}

// The rows of every training draw, three per draw in the order of the draws, each weighed
// by its age.
// The weight of a draw's samples: halved every halfLife draws back from the draw after the
// last one learnt from.
std::function<double(int)> drawWeights(
    const std::vector<DrawObservation> &draws, int beforeDraw, const FitSettings &settings)
{
    int last = beforeDraw;
    for (const DrawObservation &o : draws)
        if (beforeDraw == 0)
            last = std::max(last, o.drawNo + 1);
    const double halfLife = settings.halfLife;
    return [last, halfLife](int drawNo) {
        return halfLife > 0 ? std::pow(0.5, (last - drawNo) / halfLife) : 1.0;
    };
}

std::vector<Sample> trainingSamples(const std::vector<DrawObservation> &draws, int beforeDraw,
    const FitSettings &settings, const Design &design)
{
    const std::function<double(int)> weightOf = drawWeights(draws, beforeDraw, settings);
    std::vector<Sample> samples;
    for (const DrawObservation &o : draws)
        if (isTraining(o, beforeDraw))
            addSamples(o, design, weightOf(o.drawNo), samples);
    return samples;
}

// The ridge's normal equations: A = Σ w x xᵀ plus the penalties, b = Σ w x y.
std::vector<std::vector<double>> normalMatrix(const std::vector<Sample> &samples,
    const Design &design, const FitSettings &settings, std::vector<double> &b)
{
    const std::size_t p = design.columns();
    std::vector<std::vector<double>> a(p, std::vector<double>(p, 0.0));
    b.assign(p, 0.0);
    for (const Sample &s : samples)
        for (std::size_t i = 0; i < p; ++i) {
            if (s.x[i] == 0)
                continue;
            b[i] += s.weight * s.x[i] * s.y;
            for (std::size_t j = 0; j < p; ++j)
                a[i][j] += s.weight * s.x[i] * s.x[j];
        }
    for (std::size_t i = 0; i < design.parameters(); ++i)
        a[i][i] += i < design.numberColumns() ? settings.numberPenalty : settings.traitPenalty;
    return a;
}

// The ridge's solution; its normal matrix too when asked.
std::vector<double> ridge(const std::vector<Sample> &samples, const Design &design,
    const FitSettings &settings, std::vector<std::vector<double>> *normal = nullptr)
{
    std::vector<double> b;
    std::vector<std::vector<double>> a = normalMatrix(samples, design, settings, b);
    if (normal)
        *normal = a;
    return solve(std::move(a), std::move(b));
}

// The covariance of the fitted columns from each draw's residuals: A⁻¹ (Σ g gᵀ) A⁻¹ with g
// the sum of one draw's weighted rows times their residuals, which is what resampling whole
// draws gives for a fit this close to linear; A the ridge's normal matrix.
std::vector<double> clusterCovariance(const std::vector<Sample> &samples, const Design &design,
    const std::vector<std::vector<double>> &a, const std::vector<double> &theta)
{
    const std::size_t p = design.columns(), rows = FittedTiers.size();
    std::vector<std::vector<double>> meat(p, std::vector<double>(p, 0.0));
    for (std::size_t d = 0; d + rows <= samples.size(); d += rows) {
        std::vector<double> g(p, 0.0);
        for (std::size_t k = d; k < d + rows; ++k) {
            const Sample &s = samples[k];
            double fitted = 0;
            for (std::size_t i = 0; i < p; ++i)
                fitted += s.x[i] * theta[i];
            for (std::size_t i = 0; i < p; ++i)
                g[i] += s.weight * s.x[i] * (s.y - fitted);
        }
        for (std::size_t i = 0; i < p; ++i)
            for (std::size_t j = 0; j < p; ++j)
                meat[i][j] += g[i] * g[j];
    }
    // inverse[c] = A⁻¹ e_c; A is symmetric, so row and column alike.
    std::vector<std::vector<double>> inverse;
    for (std::size_t c = 0; c < p; ++c) {
        std::vector<double> e(p, 0.0);
        e[c] = 1;
        inverse.push_back(solve(a, std::move(e)));
    }
    const std::size_t q = design.parameters();
    std::vector<double> out(q * q, 0.0);
    for (std::size_t i = 0; i < q; ++i)
        for (std::size_t j = 0; j < q; ++j) {
            double s = 0;
            for (std::size_t k = 0; k < p; ++k)
                for (std::size_t l = 0; l < p; ++l)
                    s += inverse[i][k] * meat[k][l] * inverse[j][l];
            out[i * q + j] = s;
        }
    return out;
}

PopularityModel modelOf(
    const FitSettings &settings, const Design &design, const std::vector<double> &theta)
{
    std::array<double, HighestNumber> numbers{};
    for (std::size_t i = 0; i < design.numberColumns(); ++i)
        numbers[i] = theta[i];
    std::vector<double> traits(theta.begin() + static_cast<std::ptrdiff_t>(design.numberColumns()),
        theta.begin() + static_cast<std::ptrdiff_t>(design.parameters()));
    return PopularityModel(settings.terms, numbers, std::move(traits));
}

// Per tier, the weighted least-squares quadratic from the fitted mean z to the observed log
// ratio, over the rows with known sales.
void calibrate(PopularityModel &model, const std::vector<Sample> &samples,
    const std::vector<double> &theta, const Design &design)
{
    for (int tier : FittedTiers) {
        std::vector<std::vector<double>> a(3, std::vector<double>(3, 0.0));
        std::vector<double> b(3, 0.0);
        for (const Sample &s : samples) {
            if (s.tier != tier)
                continue;
            double z = 0;
            for (std::size_t i = 0; i < design.parameters(); ++i)
                z += s.x[i] * theta[i];
            const std::array<double, 3> v = {1.0, z, z * z};
            for (std::size_t i = 0; i < 3; ++i) {
                b[i] += s.weight * v[i] * s.y;
                for (std::size_t j = 0; j < 3; ++j)
                    a[i][j] += s.weight * v[i] * v[j];
            }
        }
        if (a[0][0] < 3) // too few draws with sales: the identity
            continue;
        const std::vector<double> c = solve(std::move(a), std::move(b));
        model.setCalibration(tier, {c[0], c[1], c[2]});
    }
}

// Per tier, the law of the winner count about the model's mean, by greatest likelihood over
// the training draws with known sales: tiers 1 and 2 with a level and a crowd part (a
// combination liked far beyond its numbers and pairs), tiers 3 to 5 a gamma spread only, so
// that their calibrated means stay as they are.
void fitCountLaws(PopularityModel &model, const std::vector<DrawObservation> &draws, int beforeDraw,
    const std::function<double(int)> &weightOf)
{
    std::array<std::vector<CountSample>, Tiers> samples;
    for (const DrawObservation &o : draws) {
        if (!isTraining(o, beforeDraw) || !o.tickets())
            continue;
        const std::array<double, Tiers> share = model.expectedWinnerShares(o.numbers, o.bonus);
        for (std::size_t t = 0; t < Tiers; ++t)
            samples[t].push_back({o.winners[t], *o.tickets() * share[t], weightOf(o.drawNo)});
    }
    for (int tier = 1; tier <= Tiers; ++tier) {
        const bool crowd = tier <= 2;
        model.setCountLaw(
            tier, fitCountLaw(samples[static_cast<std::size_t>(tier - 1)], {crowd, crowd}));
    }
}

} // namespace

TrainingCount trainingDrawCount(const std::vector<DrawObservation> &draws, int beforeDraw)
{
    TrainingCount n;
    for (const DrawObservation &o : draws)
        if (isTraining(o, beforeDraw)) {
            n.draws += 1;
            n.withSales += o.tickets() ? 1 : 0;
        }
    return n;
}

PopularityModel fitPopularity(const std::vector<DrawObservation> &draws, int beforeDraw,
    const FitSettings &settings, std::vector<double> *covariance)
{
    const Design design(settings.terms);
    const std::vector<Sample> samples = trainingSamples(draws, beforeDraw, settings, design);
    std::vector<std::vector<double>> normal;
    const std::vector<double> theta
        = ridge(samples, design, settings, covariance ? &normal : nullptr);
    if (covariance)
        *covariance = clusterCovariance(samples, design, normal, theta);
    PopularityModel model = modelOf(settings, design, theta);
    calibrate(model, samples, theta, design);
    fitCountLaws(model, draws, beforeDraw, drawWeights(draws, beforeDraw, settings));
    return model;
}

} // namespace loto6::popularity
