#include "store/textcodec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace loto6 {

bool isValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len;
        char32_t cp;
        if (b < 0x80) {
            ++i;
            continue;
        } else if ((b & 0xe0) == 0xc0) {
            len = 2;
            cp = b & 0x1f;
        } else if ((b & 0xf0) == 0xe0) {
            len = 3;
            cp = b & 0x0f;
        } else if ((b & 0xf8) == 0xf0) {
            len = 4;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(len) > s.size())
            return false;
        for (int k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((c & 0xc0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3f);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)
            || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff))
            return false;
        i += static_cast<std::size_t>(len);
    }
    return true;
}

// Converts through a small buffer, so that only the bytes written take memory: a large file is
// held once in each encoding, not in a buffer twice its size.
static std::optional<std::string> convert(const char *to, const char *from, std::string_view in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    out.reserve(in.size() + 16);
    char chunk[65536];
    char *src = const_cast<char *>(in.data());
    std::size_t srcLeft = in.size();
    bool ok = true;
    while (srcLeft > 0) {
        char *dst = chunk;
        std::size_t dstLeft = sizeof chunk;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(chunk, sizeof chunk - dstLeft);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    return out;
}

std::optional<std::string> cp932ToUtf8(std::string_view bytes)
{
    return convert("UTF-8", "CP932", bytes);
}

std::optional<std::string> utf8ToCp932(std::string_view text)
{
    // The converter writes some characters Shift-JIS lacks as look-alikes (¢ as ￠); a text
    // that does not read back as it was is refused, not changed.
    std::optional<std::string> encoded = convert("CP932", "UTF-8", text);
    if (!encoded || cp932ToUtf8(*encoded) != text)
        return std::nullopt;
    return encoded;
}

std::optional<std::string> decodeUtf8OrCp932(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return cp932ToUtf8(bytes);
}

std::optional<std::string_view> utf8TextOf(
    std::string_view bytes, std::optional<std::string> &converted)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (isValidUtf8(bytes))
        return bytes;
    converted = cp932ToUtf8(bytes);
    if (!converted)
        return std::nullopt;
    return std::string_view(*converted);
}

std::string foldWidth(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        if (b0 == 0xEF && i + 2 < s.size()) {
            const auto b1 = static_cast<unsigned char>(s[i + 1]);
            const auto b2 = static_cast<unsigned char>(s[i + 2]);
            const char32_t cp = ((b0 & 0x0f) << 12) | ((b1 & 0x3f) << 6) | (b2 & 0x3f);
            if (cp >= 0xFF01 && cp <= 0xFF5E) {
                out += static_cast<char>(cp - 0xFF01 + 0x21);
                i += 3;
                continue;
            }
        }
        if (b0 == 0xE3 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80
            && static_cast<unsigned char>(s[i + 2]) == 0x80) {
            out += ' ';
            i += 3;
            continue;
        }
        out += s[i++];
    }
    return out;
}

std::string trim(std::string_view t)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!t.empty() && isSpace(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && isSpace(t.back()))
        t.remove_suffix(1);
    return std::string(t);
}

namespace {

// Length of the valid UTF-8 sequence at the start of `s`, 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view s)
{
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t n = 0;
    if (b0 < 0x80)
        n = 1;
    else if ((b0 >> 5) == 0x06)
        n = 2;
    else if ((b0 >> 4) == 0x0e)
        n = 3;
    else if ((b0 >> 3) == 0x1e)
        n = 4;
    if (n == 0 || n > s.size())
        return 0;
    return isValidUtf8(s.substr(0, n)) ? n : 0;
}

void appendEscaped(std::string &out, unsigned char byte)
{
    static const char hex[] = "0123456789abcdef";
    out += "\\x";
    out += hex[byte >> 4];
    out += hex[byte & 0x0f];
}

} // namespace

namespace {

// Appends the character at text[i], a control character or a broken sequence as \xNN bytes
// (C1 controls, U+0080..U+009F, steer terminals as much as the C0 ones do); returns its length.
std::size_t appendShown(std::string &out, std::string_view text, std::size_t i, bool quoting)
{
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t n = utf8SequenceLength(text.substr(i));
    const bool c1 = n == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (n == 0 || byte < 0x20 || byte == 0x7f || c1) {
        for (std::size_t k = 0; k < std::max<std::size_t>(n, 1); ++k)
            appendEscaped(out, static_cast<unsigned char>(text[i + k]));
        return std::max<std::size_t>(n, 1);
    }
    if (quoting && (byte == '"' || byte == '\\'))
        out += '\\';
    out.append(text.substr(i, n));
    return n;
}

} // namespace

std::string quotedForMessage(std::string_view text)
{
    constexpr int MaxCharacters = 80;
    std::string out = "\"";
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == MaxCharacters) {
            out += "…";
            break;
        }
        i += appendShown(out, text, i, true);
    }
    out += '"';
    return out;
}

std::string withoutControls(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        i += appendShown(out, text, i, false);
    return out;
}

Status unknownEncoding()
{
    Fault f;
    f.kind = FaultKind::UnknownEncoding;
    return Status::failure(std::move(f));
}

} // namespace loto6
