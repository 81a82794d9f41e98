#include "prediction/predictionoptions.h"

#include "store/atomicfile.h"
#include "store/filereader.h"
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
    const char *name;
};

constexpr Switch Switches[PredictionOptions::Count] = {
    {"頻度分析Opt", "■頻度分析（出現頻度分析、回数出現分析）", "頻度分析"},
    {"間隔分析Opt", "■間隔分析（出現間隔分析、数字間隔分析）", "間隔分析"},
    {"出現回数分析Opt", "■出現回数分析", "出現回数分析"},
    {"バラツキ分析Opt", "■バラツキ分析", "バラツキ分析"},
    {"引っ張り分析Opt", "■引っ張り分析", "引っ張り分析"},
    {"連番飛び石分析Opt", "■連番・飛び石分析", "連番・飛び石分析"},
    {"数字合計分析Opt", "■数字合計分析", "数字合計分析"},
    {"組合せパターン分析Opt", "■組合せパターン分析", "組合せパターン分析"},
    {"5分割傾向分析Opt", "■5分割傾向分析", "5分割傾向分析"},
    {"分割データ分析Opt", "■分割データ分析", "分割データ分析"},
    {"下一桁出現傾向分析Opt", "■下一桁出現傾向分析", "下一桁出現傾向分析"},
    {"下一桁連続出現回数分析Opt", "■下一桁連続出現回数分析", "下一桁連続出現回数分析"},
};

// A plain decimal number: optional sign, digits, optional fraction. No exponent, no hex, no
// nan or inf, which strtod would also take.
bool isPlainDecimal(std::string_view t)
{
    if (!t.empty() && (t.front() == '+' || t.front() == '-'))
        t.remove_prefix(1);
    bool digits = false, point = false;
    for (char c : t) {
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// The value of a line: True or False in any letter case, or a number (0 is false).
bool toBoolean(std::string_view text, bool &value)
{
    std::string t = trim(text);
    std::string lower = t;
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "true" || lower == "false") {
        value = lower == "true";
        return true;
    }
    if (!isPlainDecimal(t))
        return false;
    value = std::strtod(t.c_str(), nullptr) != 0;
    return true;
}

// The next line of the text; LF, CR LF and a CR alone all end a line.
std::string_view nextLine(std::string_view &text)
{
    const std::size_t end = text.find_first_of("\r\n");
    const std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos)
        text = {};
    else
        text.remove_prefix(end + (text.substr(end).starts_with("\r\n") ? 2 : 1));
    return line;
}

} // namespace

std::string_view PredictionOptions::key(int index) { return Switches[index].key; }

std::string_view PredictionOptions::frameCaption(int index) { return Switches[index].caption; }

std::string_view PredictionOptions::name(int index) { return Switches[index].name; }

int PredictionOptions::indexOf(std::string_view key)
{
    for (int i = 0; i < Count; ++i)
        if (key == Switches[i].key)
            return i;
    return -1;
}

std::vector<int> parseInitText(std::string_view text, PredictionOptions &options)
{
    std::vector<int> notUnderstood;
    for (int lineNo = 1; !text.empty(); ++lineNo) {
        const std::string_view line = nextLine(text);
        if (trim(line).empty() || line.front() == ';' || line.front() == '#')
            continue;
        const std::size_t eq = line.find('=');
        const int index
            = eq == std::string_view::npos ? -1 : PredictionOptions::indexOf(line.substr(0, eq));
        std::string_view value = index < 0 ? std::string_view() : line.substr(eq + 1);
        value = value.substr(0, value.find('='));
        bool on = false;
        if (index >= 0 && toBoolean(value, on))
            options.on[static_cast<std::size_t>(index)] = on;
        else
            notUnderstood.push_back(lineNo);
    }
    return notUnderstood;
}

Status readInitFile(
    const std::filesystem::path &file, PredictionOptions &options, std::vector<int> *notUnderstood)
{
    std::string bytes;
    if (Status s = readRegularFile(file, MaxSettingsBytes, "a settings file", bytes); !s)
        return s;
    const std::optional<std::string> text = decodeUtf8OrCp932(bytes);
    if (!text)
        return Status::failure(
            Fault{.kind = FaultKind::SettingsNotText, .file = file.string(), .quoteFile = true});
    const std::vector<int> lines = parseInitText(*text, options);
    if (notUnderstood)
        *notUnderstood = lines;
    return Status::success();
}

std::string notUnderstoodText(const std::vector<int> &lines)
{
    if (lines.empty())
        return {};
    std::string text = lines.size() == 1 ? "line " : "lines ";
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i)
        text += (i ? ", " : "") + std::to_string(lines[i]);
    if (lines.size() > 10)
        text += " and " + std::to_string(lines.size() - 10) + " more";
    return text + (lines.size() == 1 ? " was" : " were")
        + " not understood and changed nothing (a switch line is KEY=True or KEY=False)";
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
        return Status::failure(Fault{.kind = FaultKind::SettingsNotEncoded, .file = file.string()});
    return writeFileAtomically(file, *bytes);
}

} // namespace loto6
