#include "store/prizestore.h"

#include "store/database.h"

namespace loto6 {

namespace {

bool hasTable(const Database &db, const char *name)
{
    SqlStatement st = db.prepare("select 1 from sqlite_master where type = 'table' and name = ?");
    st.bind(1, name);
    return st.next();
}

std::optional<long long> columnAmount(const SqlStatement &st, int col)
{
    if (st.isNull(col))
        return std::nullopt;
    return st.integer(col);
}

// The failure `kind` with SQLite's words for the statement's last failure.
Status failure(const SqlStatement &st, FaultKind kind, int drawNo = 0)
{
    return Status::failure(Fault{.kind = kind, .draw = drawNo, .detail = st.errorMessage()});
}

// PayoutImpossible for `field` holding `value` outside low..high.
Status outside(
    const DrawPrizes &p, std::string field, long long value, long long low, long long high)
{
    return Status::failure(Fault{.kind = FaultKind::PayoutImpossible,
        .field = std::move(field),
        .value = std::to_string(value),
        .draw = p.drawNo,
        .detail = std::to_string(low) + ".." + std::to_string(high)});
}

} // namespace

Status payoutProblem(const DrawPrizes &p)
{
    // 0 is how some sources write sales they do not know.
    const bool salesKnown = p.sales && *p.sales != 0;
    if (salesKnown && (*p.sales < TicketPrice || *p.sales > MaxPayoutSales))
        return outside(p, "販売実績額", *p.sales, TicketPrice, MaxPayoutSales);
    if (p.carryOver && (*p.carryOver < 0 || *p.carryOver > MaxPayoutSales))
        return outside(p, "キャリーオーバー", *p.carryOver, 0, MaxPayoutSales);
    // No more winners than tickets sold, in all tiers together.
    long long room = (salesKnown ? *p.sales : MaxPayoutSales) / TicketPrice;
    for (int t = 1; t <= DrawPrizes::TierCount; ++t) {
        const TierPayout &tier = p.tier(t);
        const std::string n = std::to_string(t);
        if (tier.winners < 0 || tier.winners > room)
            return outside(p, "口数" + n, tier.winners, 0, room);
        room -= tier.winners;
        if (tier.prize && (*tier.prize < 0 || *tier.prize > MaxTierPrize))
            return outside(p, "賞金" + n, *tier.prize, 0, MaxTierPrize);
    }
    return Status::success();
}

std::string storedPayoutsWarning(const StoredPayoutsCheck &check)
{
    if (check.count == 0)
        return {};
    return std::to_string(check.count)
        + " stored payout(s) hold values no published payout has (first: " + check.first.message()
        + "); they are left out of every figure and model until they are corrected";
}

Status forEachPrizes(const Database &db, const std::function<void(const DrawPrizes &)> &take)
{
    if (!hasTable(db, PrizeTable))
        return Status::success();
    SqlStatement st = db.prepare(
        "select 回数, 口数1, 賞金1, 口数2, 賞金2, 口数3, 賞金3, 口数4, 賞金4, 口数5, 賞金5, "
        "キャリーオーバー, 販売実績額 from 払戻金 order by 回数");
    if (!st.ok())
        return failure(st, FaultKind::PayoutsNotRead);
    while (st.next()) {
        DrawPrizes p;
        p.drawNo = static_cast<int>(st.integer(0));
        for (int t = 0; t < DrawPrizes::TierCount; ++t) {
            auto &tier = p.tiers[static_cast<std::size_t>(t)];
            tier.winners = st.integer(1 + 2 * t);
            tier.prize = columnAmount(st, 2 + 2 * t);
        }
        p.carryOver = columnAmount(st, 11);
        p.sales = columnAmount(st, 12);
        take(p);
    }
    if (!st.done())
        return failure(st, FaultKind::PayoutsNotRead);
    return Status::success();
}

Status readPrizes(const Database &db, std::map<int, DrawPrizes> &prizes, StoredPayoutsCheck *check)
{
    prizes.clear();
    if (check)
        *check = {};
    return forEachPrizes(db, [&](const DrawPrizes &p) {
        if (Status s = payoutProblem(p); s)
            prizes[p.drawNo] = p;
        else if (check && check->count++ == 0)
            check->first = std::move(s);
    });
}

Status writePrizes(Database &db, const DrawPrizes &p)
{
    SqlStatement st = db.prepare(
        "insert or replace into 払戻金 (回数, 口数1, 賞金1, 口数2, 賞金2, 口数3, 賞金3, 口数4, "
        "賞金4, 口数5, 賞金5, キャリーオーバー, 販売実績額) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!st.ok())
        return failure(st, FaultKind::PayoutsNotWritten);
    st.bind(1, p.drawNo);
    for (int t = 0; t < DrawPrizes::TierCount; ++t) {
        const TierPayout &tier = p.tiers[static_cast<std::size_t>(t)];
        st.bind(2 + 2 * t, tier.winners);
        st.bind(3 + 2 * t, tier.prize);
    }
    st.bind(12, p.carryOver);
    st.bind(13, p.sales);
    if (!st.run())
        return failure(st, FaultKind::PayoutNotWritten, p.drawNo);
    return Status::success();
}

Status deletePrizes(Database &db, int drawNo)
{
    if (!hasTable(db, PrizeTable))
        return Status::success();
    SqlStatement st = db.prepare("delete from 払戻金 where 回数 = ?");
    if (!st.ok())
        return failure(st, FaultKind::PayoutNotRemoved, drawNo);
    st.bind(1, drawNo);
    if (!st.run())
        return failure(st, FaultKind::PayoutNotRemoved, drawNo);
    return Status::success();
}

} // namespace loto6
