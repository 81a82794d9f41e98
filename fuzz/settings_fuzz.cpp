// Any bytes as the settings file: only a line KEY=value with a known key and a True, False or
// plain-number value changes a switch, every other line is reported, and what the program
// writes reads back as written.
#include "fuzzcheck.h"

#include "prediction/predictionoptions.h"

using namespace loto6;

namespace {

// A changed switch needs a line that starts with its key and an equals sign.
void checkChangesHaveALine(
    std::string_view text, const PredictionOptions &before, const PredictionOptions &after)
{
    for (int i = 0; i < PredictionOptions::Count; ++i) {
        if (before.on[std::size_t(i)] == after.on[std::size_t(i)])
            continue;
        const std::string line = std::string(PredictionOptions::key(i)) + "=";
        const std::size_t at = text.find(line);
        FUZZ_CHECK(at != std::string_view::npos, line);
    }
}

void checkWrittenTextReadsBack(const PredictionOptions &options)
{
    const std::string written = initFileText(options);
    const auto bytes = utf8ToCp932(written);
    FUZZ_CHECK(bytes.has_value(), written);
    const auto text = decodeUtf8OrCp932(*bytes);
    FUZZ_CHECK(text && *text == written, written);
    PredictionOptions again;
    again.on.fill(!options.on[0]);
    FUZZ_CHECK(parseInitText(*text, again).empty(), written);
    FUZZ_CHECK(again == options, written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    if (size > MaxSettingsBytes)
        return 0;
    const auto text = decodeUtf8OrCp932(fuzz::asText(data, size));
    if (!text)
        return 0;
    PredictionOptions before;
    for (int i = 0; i < PredictionOptions::Count; ++i)
        before.on[std::size_t(i)] = size > 0 && (data[0] >> (i % 8) & 1);
    PredictionOptions after = before;
    const std::vector<int> lines = parseInitText(*text, after);
    int previous = 0;
    for (int line : lines) {
        FUZZ_CHECK(line > previous, "line numbers out of order");
        previous = line;
    }
    if (!lines.empty()) {
        const std::string note = notUnderstoodText(lines);
        FUZZ_CHECK(note.find('\n') == std::string::npos && note.size() < 300, note);
    }
    checkChangesHaveALine(*text, before, after);
    checkWrittenTextReadsBack(after);
    return 0;
}
