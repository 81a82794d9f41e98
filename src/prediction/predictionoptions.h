#pragma once

#include "store/result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace loto6 {

// The twelve on/off switches of the prediction window and their settings file, twelve lines
// key=True/False in Shift-JIS with CR LF.
struct PredictionOptions
{
    static constexpr int Count = 12;
    static constexpr const char *FileName = "ロト6ズンベル.ini";

    std::array<bool, Count> on{};

    static std::string_view key(int index);
    static std::string_view frameCaption(int index);
    // The switch's name in Japanese text: "頻度分析", "連番・飛び石分析".
    static std::string_view name(int index);
    // Index of a key, or -1; keys match exactly (case and spaces count).
    static int indexOf(std::string_view key);

    bool operator==(const PredictionOptions &) const = default;
};

// The largest settings file read; twelve switch lines need far less.
inline constexpr std::uintmax_t MaxSettingsBytes = 64 * 1024;

// Reads the file into the switches; keys that do not occur keep their value. A missing,
// unreadable, special (folder, device, pipe) or over-large file changes nothing and is
// reported. The numbers of lines not understood go to `notUnderstood` when given.
Status readInitFile(const std::filesystem::path &file, PredictionOptions &options,
    std::vector<int> *notUnderstood = nullptr);
// Parses the text of a settings file (already UTF-8) into the switches; returns the numbers of
// the lines that are neither blank, a comment nor a known key with a True/False/number value.
std::vector<int> parseInitText(std::string_view text, PredictionOptions &options);
// "lines 2, 5 were not understood …" for a message; empty when there are none.
std::string notUnderstoodText(const std::vector<int> &lines);
// Writes all twelve switches, replacing the file atomically.
Status writeInitFile(const std::filesystem::path &file, const PredictionOptions &options);
std::string initFileText(const PredictionOptions &options);

} // namespace loto6
