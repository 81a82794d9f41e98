#pragma once

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace loto6 {

inline constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();

// The history set beside fair draws: one test per headline statistic, with the exact expected
// value, the test statistic, its raw and Holm-adjusted p-values and a sentence for the reader.
struct ChanceReport
{
    // One category of a test (a number, a pattern letter, a band, a gap length...).
    struct Category
    {
        std::string label;
        double observed = 0;
        double expected = 0;
    };

    // Binomial: an exact two-sided test of a count of draws; its statistic is the z score.
    enum class Method { ChiSquare, Normal, Binomial };

    struct Test
    {
        std::string key;   // stable name, e.g. "carry-over"
        std::string title; // shown name
        Method method = Method::ChiSquare;
        double observed = NotANumber; // headline figure, e.g. a mean or a count
        double expected = NotANumber;
        std::string observedText;
        std::string expectedText;
        double statistic = NotANumber; // chi-square value or z score
        double df = 0;                 // degrees of freedom of a chi-square test
        double pValue = NotANumber;
        double adjustedP = NotANumber; // Holm over every available test of the report
        bool notable = false;          // adjustedP below the report's alpha
        bool rough = false;            // few data: the approximation of the p-value is coarse
        std::string sentence;
        std::vector<Category> categories; // cells as tested (thin tails pooled)

        bool available() const { return !std::isnan(pValue); }
    };

    int draws = 0;    // complete draws taken into account (N)
    int pairs = 0;    // pairs of a draw and its previous complete draw (N - 1)
    int excluded = 0; // complete records whose numbers are not seven distinct values in 1..43
    double alpha = 0.05;
    std::vector<Test> tests;
    std::vector<std::string> notes; // what was counted and how many tests are shown at once

    int availableCount() const
    {
        int n = 0;
        for (const Test &t : tests)
            n += t.available() ? 1 : 0;
        return n;
    }
    int notableCount() const
    {
        int n = 0;
        for (const Test &t : tests)
            n += t.notable ? 1 : 0;
        return n;
    }
    const Test *find(const std::string &key) const
    {
        for (const Test &t : tests)
            if (t.key == key)
                return &t;
        return nullptr;
    }
};

} // namespace loto6
