#include "tickets/predictionrecord.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace loto6 {

namespace {

void addLines(std::vector<std::array<int, MainNumberCount>> &lines, const std::vector<int> &numbers)
{
    for (std::size_t i = 0; i + 6 <= numbers.size(); i += 6) {
        std::array<int, MainNumberCount> line{};
        std::copy_n(numbers.begin() + static_cast<long>(i), 6, line.begin());
        std::sort(line.begin(), line.end());
        // The consecutive numbers start with the one-shot line: keep each line once.
        if (std::adjacent_find(line.begin(), line.end()) == line.end()
            && std::find(lines.begin(), lines.end(), line) == lines.end())
            lines.push_back(line);
    }
}

} // namespace

std::string PredictionRecord::switchText(const PredictionOptions &options)
{
    std::string out;
    for (bool on : options.on)
        out += on ? '1' : '0';
    return out;
}

std::string historyHash(const DrawHistory &history)
{
    std::uint64_t h = 14695981039346656037ULL;
    const auto mix = [&h](long long v) {
        for (int i = 0; i < 8; ++i) {
            h ^= static_cast<std::uint64_t>(v >> (8 * i)) & 0xff;
            h *= 1099511628211ULL;
        }
    };
    for (const DrawRecord &r : history) {
        if (!r.isComplete())
            continue;
        mix(r.drawNo);
        for (int f = 0; f < DrawRecord::FieldCount; ++f)
            mix(r.number(f));
    }
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

std::vector<std::array<int, MainNumberCount>> predictionLines(
    const Prediction &prediction, PredictionRecord::Rows rows)
{
    std::vector<std::array<int, MainNumberCount>> lines;
    addLines(lines, prediction.oneShot);
    if (rows.elimination)
        addLines(lines, prediction.elimination);
    if (rows.consecutive)
        addLines(lines, prediction.consecutive);
    return lines;
}

} // namespace loto6
