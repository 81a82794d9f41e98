#include "store/digest.h"

#include <bit>
#include <cstring>

namespace loto6 {

namespace {

std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace

Digest digestOf(std::string_view bytes)
{
    // Two lanes over 8-byte words, each word mixed into both, the length and the tail last.
    std::uint64_t a = 0x243F6A8885A308D3ull, b = 0x13198A2E03707344ull;
    std::size_t i = 0;
    const auto add = [&](std::uint64_t w) {
        a = std::rotl((a ^ w) * 0x9E3779B97F4A7C15ull, 31);
        b = std::rotl((b + w) * 0xC2B2AE3D27D4EB4Full, 27) ^ a;
    };
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, bytes.data() + i, 8);
        add(w);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
    add(tail);
    add(bytes.size());
    return {mix(a ^ mix(b)), mix(b + mix(a))};
}

std::string digestText(const Digest &d)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string out;
    for (std::uint64_t v : d)
        for (int shift = 60; shift >= 0; shift -= 4)
            out += Hex[(v >> shift) & 0xF];
    return out;
}

} // namespace loto6
