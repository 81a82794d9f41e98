#pragma once

#include <cstdint>

namespace loto6 {

// A 24-bit colour as 0xRRGGBB; only the GUI turns it into a toolkit colour.
using Rgb = std::uint32_t;

constexpr Rgb rgb(int r, int g, int b)
{
    return (static_cast<Rgb>(r & 0xff) << 16) | (static_cast<Rgb>(g & 0xff) << 8)
        | static_cast<Rgb>(b & 0xff);
}

constexpr int red(Rgb c) { return static_cast<int>((c >> 16) & 0xff); }
constexpr int green(Rgb c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int blue(Rgb c) { return static_cast<int>(c & 0xff); }

namespace colors {
inline constexpr Rgb black = rgb(0, 0, 0);
inline constexpr Rgb white = rgb(255, 255, 255);
inline constexpr Rgb red = rgb(255, 0, 0);
inline constexpr Rgb blue = rgb(0, 0, 255);
inline constexpr Rgb lightYellow = rgb(255, 255, 200);
inline constexpr Rgb lightPink = rgb(255, 200, 200);
inline constexpr Rgb lightCyan = rgb(200, 255, 255);
inline constexpr Rgb lightGreen = rgb(200, 255, 200);
inline constexpr Rgb lightMagenta = rgb(255, 200, 255);
inline constexpr Rgb lightBlue = rgb(136, 196, 255);
} // namespace colors

} // namespace loto6
