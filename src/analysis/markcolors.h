#pragma once

#include "grid/rgb.h"

namespace loto6 {

// The mark colours of the frequency window, used wherever a table marks drawn numbers: a main
// number, the sixth main number, the bonus number.
inline constexpr Rgb MainMark = rgb(62, 158, 255);
inline constexpr Rgb SixthMark = rgb(62, 128, 255);
inline constexpr Rgb BonusMark = rgb(255, 128, 192);

} // namespace loto6
