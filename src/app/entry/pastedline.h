#pragma once

#include "store/drawrecord.h"

#include <QString>

#include <array>
#include <optional>

namespace loto6 {

// One pasted line of a published result: an optional draw number and date, then the seven
// numbers as texts.
struct PastedLine
{
    std::optional<int> drawNo;
    QString date;
    std::array<QString, DrawRecord::FieldCount> numbers;
};

// Reads "02 08 10 13 27 30 (39)", "2,8,10,13,27,30,39", tab-separated cells and the like, in
// full-width digits as well, with or without the draw number and date in front; nothing when
// the line holds no result.
std::optional<PastedLine> parsePastedLine(const QString &line);

} // namespace loto6
