#pragma once

#include "grid/rgb.h"

#include <QString>

#include <string_view>

class QPushButton;
class QWidget;

namespace loto6 {

// Small pieces every window uses: UTF-8 core texts as QString, and the coloured push buttons
// of the window frames.
inline QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton *colouredButton(const QString &text, Rgb color, const QString &name, QWidget *parent);

} // namespace loto6
