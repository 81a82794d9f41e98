#pragma once

#include "store/result.h"

#include <optional>
#include <string>
#include <string_view>

namespace loto6 {

// Conversions between UTF-8 and Shift-JIS (code page 932), the two encodings of the exchange
// files.
bool isValidUtf8(std::string_view bytes);
std::optional<std::string> cp932ToUtf8(std::string_view bytes);
std::optional<std::string> utf8ToCp932(std::string_view text);

// UTF-8 text of a file's bytes: a leading BOM is dropped, valid UTF-8 is kept, anything else
// is read as Shift-JIS; nullopt when it is neither.
std::optional<std::string> decodeUtf8OrCp932(std::string_view bytes);
// The same without copying UTF-8: a view of `bytes` past any BOM, or of the Shift-JIS text
// converted into `converted`; nullopt when it is neither.
std::optional<std::string_view> utf8TextOf(
    std::string_view bytes, std::optional<std::string> &converted);
// The refusal of bytes that are neither.
Status unknownEncoding();

// Full-width ASCII letters, digits and signs folded to ASCII, ideographic space to a space.
std::string foldWidth(std::string_view utf8);
std::string trim(std::string_view text);

// A value from a file or a server made safe for a one-line message: in double quotes, control
// characters and bytes that are not UTF-8 written as \xNN, cut after 80 characters with "…".
std::string quotedForMessage(std::string_view text);

// The text with control characters and broken sequences shown as \xNN, so that a message built
// from a file's bytes stays one harmless line.
std::string withoutControls(std::string_view text);

} // namespace loto6
