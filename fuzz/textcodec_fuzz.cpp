// Any bytes through the text conversions: what decodes is UTF-8, what encodes decodes back to
// the same text, and a value quoted for a message is one short line without control bytes.
#include "fuzzcheck.h"

#include "store/textcodec.h"

using namespace loto6;

namespace {

void checkQuoted(std::string_view bytes)
{
    const std::string q = quotedForMessage(bytes);
    FUZZ_CHECK(isValidUtf8(q), q);
    FUZZ_CHECK(q.size() <= 2 + 80 * 16 + 3, "quoted value too long");
    for (std::size_t i = 0; i < q.size(); ++i) {
        const auto c = static_cast<unsigned char>(q[i]);
        FUZZ_CHECK(c >= 0x20 && c != 0x7f, q);
        FUZZ_CHECK(
            !(c == 0xC2 && i + 1 < q.size() && static_cast<unsigned char>(q[i + 1]) < 0xA0), q);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view bytes = fuzz::asText(data, size);
    if (const auto text = decodeUtf8OrCp932(bytes)) {
        FUZZ_CHECK(isValidUtf8(*text), *text);
        FUZZ_CHECK(
            !text->starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xEF\xBB\xBF\xEF\xBB\xBF"),
            *text);
    }
    if (const auto sjis = cp932ToUtf8(bytes))
        FUZZ_CHECK(isValidUtf8(*sjis), *sjis);
    if (isValidUtf8(bytes)) {
        if (const auto encoded = utf8ToCp932(bytes)) {
            const auto back = cp932ToUtf8(*encoded);
            FUZZ_CHECK(back && *back == bytes, std::string(bytes));
        }
        const std::string folded = foldWidth(bytes);
        FUZZ_CHECK(isValidUtf8(folded), folded);
        FUZZ_CHECK(folded.size() <= bytes.size(), folded);
    }
    const std::string trimmed = trim(bytes);
    FUZZ_CHECK(bytes.find(trimmed) != std::string_view::npos, trimmed);
    checkQuoted(bytes);
    return 0;
}
