#pragma once

#include <QSize>

namespace loto6 {

// Window sizes and positions are designed in twips (1440 per inch); these convert them with the
// screen's logical DPI so that every window uses the same scale.
double pixelsPerTwip();
int twipsToPixels(double twips);
QSize twipsToPixels(double widthTwips, double heightTwips);
double pixelsToTwips(double pixels);

} // namespace loto6
