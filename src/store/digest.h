#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace loto6 {

// A 128-bit digest of bytes: tells one content from another (keys of stored results, checksums
// of stored blobs). Not a defence against a forger, only against chance and damage.
using Digest = std::array<std::uint64_t, 2>;
Digest digestOf(std::string_view bytes);
// The digest as 32 lower-case hex digits.
std::string digestText(const Digest &d);

} // namespace loto6
