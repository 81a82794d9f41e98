#include "shell/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace loto6 {

namespace {
constexpr double TwipsPerInch = 1440.0;
constexpr double FallbackDpi = 96.0;
} // namespace

double pixelsPerTwip()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : FallbackDpi;
    return (dpi > 0 ? dpi : FallbackDpi) / TwipsPerInch;
}

int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips * pixelsPerTwip())); }

QSize twipsToPixels(double widthTwips, double heightTwips)
{
    return {twipsToPixels(widthTwips), twipsToPixels(heightTwips)};
}

double pixelsToTwips(double pixels) { return pixels / pixelsPerTwip(); }

} // namespace loto6
