#include "store/guardedsave.h"

#include "store/database.h"
#include "store/prizestore.h"
#include "store/schema.h"

namespace loto6 {

bool sameDraw(const DrawRecord &a, const DrawRecord &b)
{
    return a.drawNo == b.drawNo && a.date == b.date && a.fields == b.fields;
}

Status saveDrawIfUnchanged(Database &db, const DrawRecord &draw,
    const std::optional<DrawRecord> &seen, GuardedSave &outcome, const DrawSource &source)
{
    outcome = {};
    Transaction tx(db);
    if (!tx.begun())
        return tx.begun();
    std::optional<DrawRecord> stored;
    Status s = db.forEachDraw([&](const DrawRecord &r) {
        if (r.drawNo == draw.drawNo)
            stored = r;
        return Status::success();
    });
    if (!s)
        return s;
    const bool unchanged
        = stored.has_value() == seen.has_value() && (!stored || sameDraw(*stored, *seen));
    if (!unchanged) {
        outcome.stored = std::move(stored);
        return Status::success();
    }
    if (Status w = createOwnTables(db); !w)
        return w;
    if (Status w = db.storeDraw(draw); !w)
        return w;
    if (Status w = recordSource(db, draw.drawNo, source, DrawSource::Change::Saved); !w)
        return w;
    if (Status w = tx.commit(); !w)
        return w;
    outcome.saved = true;
    return Status::success();
}

} // namespace loto6
