#pragma once

#include "store/result.h"

#include <array>
#include <filesystem>
#include <string_view>

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
    // Index of a key, or -1; keys match exactly (case and spaces count).
    static int indexOf(std::string_view key);

    bool operator==(const PredictionOptions &) const = default;
};

// Reads the file into the switches; keys that do not occur keep their value. A missing or
// unreadable file changes nothing and is reported.
Status readInitFile(const std::filesystem::path &file, PredictionOptions &options);
// Parses the text of a settings file (already UTF-8) into the switches.
void parseInitText(std::string_view text, PredictionOptions &options);
// Writes all twelve switches, replacing the file atomically.
Status writeInitFile(const std::filesystem::path &file, const PredictionOptions &options);
std::string initFileText(const PredictionOptions &options);

} // namespace loto6
