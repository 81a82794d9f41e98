#pragma once

#include <QFont>

namespace loto6 {

// The fonts the windows are designed with, or the installed Japanese fonts closest to them.
QFont gridFont();   // ＭＳ Ｐゴシック, 9 pt: grids and labels
QFont minchoFont(); // HGS明朝E: the product name of the About window

} // namespace loto6
