#include "store/prizestore.h"

#include "store/database.h"

#include <sqlite3.h>

#include <memory>

namespace loto6 {

namespace {

using StatementPtr = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

StatementPtr prepare(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        st = nullptr;
    }
    return StatementPtr(st, &sqlite3_finalize);
}

bool hasTable(sqlite3 *db, const char *name)
{
    StatementPtr st = prepare(db, "select 1 from sqlite_master where type = 'table' and name = ?");
    if (!st)
        return false;
    sqlite3_bind_text(st.get(), 1, name, -1, SQLITE_STATIC);
    return sqlite3_step(st.get()) == SQLITE_ROW;
}

std::optional<long long> columnAmount(sqlite3_stmt *st, int col)
{
    if (sqlite3_column_type(st, col) == SQLITE_NULL)
        return std::nullopt;
    return sqlite3_column_int64(st, col);
}

void bindAmount(sqlite3_stmt *st, int at, const std::optional<long long> &v)
{
    if (v)
        sqlite3_bind_int64(st, at, *v);
    else
        sqlite3_bind_null(st, at);
}

Status failure(sqlite3 *db, FaultKind kind, int drawNo = 0)
{
    return Status::failure(Fault{.kind = kind, .draw = drawNo, .detail = sqlite3_errmsg(db)});
}

} // namespace

Status forEachPrizes(const Database &db, const std::function<void(const DrawPrizes &)> &take)
{
    if (!hasTable(db.handle(), PrizeTable))
        return Status::success();
    StatementPtr st = prepare(db.handle(),
        "select 回数, 口数1, 賞金1, 口数2, 賞金2, 口数3, 賞金3, 口数4, 賞金4, 口数5, 賞金5, "
        "キャリーオーバー, 販売実績額 from 払戻金 order by 回数");
    if (!st)
        return failure(db.handle(), FaultKind::PayoutsNotRead);
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        DrawPrizes p;
        p.drawNo = sqlite3_column_int(st.get(), 0);
        for (int t = 0; t < DrawPrizes::TierCount; ++t) {
            auto &tier = p.tiers[static_cast<std::size_t>(t)];
            tier.winners = sqlite3_column_int64(st.get(), 1 + 2 * t);
            tier.prize = columnAmount(st.get(), 2 + 2 * t);
        }
        p.carryOver = columnAmount(st.get(), 11);
        p.sales = columnAmount(st.get(), 12);
        take(p);
    }
    if (rc != SQLITE_DONE)
        return failure(db.handle(), FaultKind::PayoutsNotRead);
    return Status::success();
}

Status readPrizes(const Database &db, std::map<int, DrawPrizes> &prizes)
{
    prizes.clear();
    return forEachPrizes(db, [&](const DrawPrizes &p) { prizes[p.drawNo] = p; });
}

Status writePrizes(Database &db, const DrawPrizes &p)
{
    StatementPtr st = prepare(db.handle(),
        "insert or replace into 払戻金 (回数, 口数1, 賞金1, 口数2, 賞金2, 口数3, 賞金3, 口数4, "
        "賞金4, 口数5, 賞金5, キャリーオーバー, 販売実績額) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!st)
        return failure(db.handle(), FaultKind::PayoutsNotWritten);
    sqlite3_bind_int(st.get(), 1, p.drawNo);
    for (int t = 0; t < DrawPrizes::TierCount; ++t) {
        const TierPayout &tier = p.tiers[static_cast<std::size_t>(t)];
        sqlite3_bind_int64(st.get(), 2 + 2 * t, tier.winners);
        bindAmount(st.get(), 3 + 2 * t, tier.prize);
    }
    bindAmount(st.get(), 12, p.carryOver);
    bindAmount(st.get(), 13, p.sales);
    if (sqlite3_step(st.get()) != SQLITE_DONE)
        return failure(db.handle(), FaultKind::PayoutNotWritten, p.drawNo);
    return Status::success();
}

Status deletePrizes(Database &db, int drawNo)
{
    if (!hasTable(db.handle(), PrizeTable))
        return Status::success();
    StatementPtr st = prepare(db.handle(), "delete from 払戻金 where 回数 = ?");
    if (!st)
        return failure(db.handle(), FaultKind::PayoutNotRemoved, drawNo);
    sqlite3_bind_int(st.get(), 1, drawNo);
    if (sqlite3_step(st.get()) != SQLITE_DONE)
        return failure(db.handle(), FaultKind::PayoutNotRemoved, drawNo);
    return Status::success();
}

} // namespace loto6
