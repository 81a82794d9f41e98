#pragma once

#include <array>
#include <optional>
#include <string>

namespace loto6 {

// The largest draw number the program holds, everywhere: database, imports, downloads, the
// entry window and the command line. Arithmetic on draw numbers stays below INT_MAX with it.
inline constexpr int MaxDrawNumber = 999'999'999;

// The numbers of the game: each draw picks MainNumberCount different numbers from 1 to
// HighestNumber, and BonusNumberCount bonus number from the rest.
inline constexpr int HighestNumber = 43;
inline constexpr int MainNumberCount = 6;
inline constexpr int BonusNumberCount = 1;
// How many different draws of the six main numbers there are: C(43, 6).
inline constexpr long long CombinationCount = 6'096'454;

// One draw as a row of the history view: 回数, the six main numbers in field order and the
// bonus number. A number field is empty when the store holds null, empty text or anything that
// is not a whole number.
struct DrawRecord
{
    static constexpr int FieldCount = MainNumberCount + BonusNumberCount;
    static constexpr int BonusField = MainNumberCount;

    int drawNo = 0;
    std::string date; // YYYY-MM-DD or empty
    std::array<std::optional<long long>, FieldCount> fields{};
    bool malformed = false; // a number field held text that is not a whole number

    // Every reader takes part only in complete records: all seven number fields filled.
    bool isComplete() const
    {
        for (const auto &f : fields)
            if (!f)
                return false;
        return true;
    }
    // Field value of a complete record (0..5 main, 6 bonus).
    long long number(int field) const { return *fields[static_cast<std::size_t>(field)]; }
    long long mainNumber(int i) const { return number(i); }
    long long bonus() const { return number(BonusField); }
};

} // namespace loto6
