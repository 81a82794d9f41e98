#pragma once

#include "store/drawrecord.h"

#include <QString>

#include <optional>

namespace loto6 {

// A draw as one line: "2 8 10 13 27 30 (39) 2026-12-07"; missing numbers shown as "-".
QString drawLine(const DrawRecord &draw);

// The question asked before a draw is written over one that another program added, changed or
// deleted while the entry window was open: both versions side by side, and what each answer does.
// `shown` is what the window last showed as stored (empty: none), `stored` what is stored now.
QString changedElsewhereQuestion(const DrawRecord &typed, const std::optional<DrawRecord> &shown,
    const std::optional<DrawRecord> &stored);

} // namespace loto6
