#pragma once

#include "store/drawrecord.h"
#include "store/drawsource.h"
#include "store/result.h"

#include <optional>

namespace loto6 {

class Database;

// Whether two records hold the same draw: 回数, date and the seven number fields.
bool sameDraw(const DrawRecord &a, const DrawRecord &b);

// What a save that checks first found.
struct GuardedSave
{
    bool saved = false;
    // The draw stored under the 回数 when nothing was written; empty when none is stored.
    std::optional<DrawRecord> stored;
};

// Saves one draw only when the store still holds what the writer last saw under its 回数
// (`seen`; empty: nothing stored), so that a draw another program added or changed meanwhile is
// never overwritten unseen. Check and write are one transaction. When the stored draw differs,
// nothing is written and `outcome.stored` holds what is stored now.
Status saveDrawIfUnchanged(Database &db, const DrawRecord &draw,
    const std::optional<DrawRecord> &seen, GuardedSave &outcome,
    const DrawSource &source = DrawSource::from(DrawSource::Kind::EntryWindow));

} // namespace loto6
