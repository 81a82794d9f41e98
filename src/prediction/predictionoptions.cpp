#include "prediction/predictionoptions.h"

#include "store/atomicfile.h"
#include "store/textcodec.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

namespace loto6 {

namespace {

struct Switch
{
    const char *key;
    const char *caption;
};

constexpr Switch Switches[PredictionOptions::Count] = {
    {"頻度分析Opt", "■頻度分析（出現頻度分析、回数出現分析）"},
    {"間隔分析Opt", "■間隔分析（出現間隔分析、数字間隔分析）"},
    {"出現回数分析Opt", "■出現回数分析"},
    {"バラツキ分析Opt", "■バラツキ分析"},
    {"引っ張り分析Opt", "■引っ張り分析"},
    {"連番飛び石分析Opt", "■連番・飛び石分析"},
    {"数字合計分析Opt", "■数字合計分析"},
    {"組合せパターン分析Opt", "■組合せパターン分析"},
    {"5分割傾向分析Opt", "■5分割傾向分析"},
    {"分割データ分析Opt", "■分割データ分析"},
    {"下一桁出現傾向分析Opt", "■下一桁出現傾向分析"},
    {"下一桁連続出現回数分析Opt", "■下一桁連続出現回数分析"},
};

// The value of a line: True or False in any letter case, or a number (0 is false).
bool toBoolean(std::string_view text, bool &value)
{
    std::string t = trim(text);
    std::string lower = t;
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "true") {
        value = true;
        return true;
    }
    if (lower == "false") {
        value = false;
        return true;
    }
    if (t.empty())
        return false;
    char *end = nullptr;
    const double d = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size())
        return false;
    value = d != 0;
    return true;
}

} // namespace

std::string_view PredictionOptions::key(int index) { return Switches[index].key; }

std::string_view PredictionOptions::frameCaption(int index) { return Switches[index].caption; }

int PredictionOptions::indexOf(std::string_view key)
{
    for (int i = 0; i < Count; ++i)
        if (key == Switches[i].key)
            return i;
    return -1;
}

void parseInitText(std::string_view text, PredictionOptions &options)
{
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const int index = PredictionOptions::indexOf(line.substr(0, eq));
        if (index < 0)
            continue;
        std::string_view value = line.substr(eq + 1);
        value = value.substr(0, value.find('='));
        bool on = false;
        if (toBoolean(value, on))
            options.on[static_cast<std::size_t>(index)] = on;
    }
}

Status readInitFile(const std::filesystem::path &file, PredictionOptions &options)
{
    std::string bytes;
    if (Status s = readFile(file, bytes); !s)
        return s;
    const std::optional<std::string> text = decodeUtf8OrCp932(bytes);
    if (!text)
        return Status::failure(file.string() + ": neither Shift-JIS nor UTF-8 text");
    parseInitText(*text, options);
    return Status::success();
}

std::string initFileText(const PredictionOptions &options)
{
    std::string text;
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        text += Switches[i].key;
        text += options.on[static_cast<std::size_t>(i)] ? "=True\r\n" : "=False\r\n";
    }
    return text;
}

Status writeInitFile(const std::filesystem::path &file, const PredictionOptions &options)
{
    const std::optional<std::string> bytes = utf8ToCp932(initFileText(options));
    if (!bytes)
        return Status::failure(file.string() + ": cannot encode the settings in Shift-JIS");
    return writeFileAtomically(file, *bytes);
}

} // namespace loto6
