#include "store/historyimport.h"

#include "store/database.h"
#include "store/prizestore.h"

#include <algorithm>
#include <sstream>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

std::string numbersText(const DrawRecord &r)
{
    std::string s;
    for (int f = 0; f < DrawRecord::FieldCount; ++f) {
        const auto &v = r.fields[static_cast<std::size_t>(f)];
        s += f == DrawRecord::BonusField ? " + " : (f ? " " : "");
        s += v ? std::to_string(*v) : "-";
    }
    return s;
}

bool containsMain(const DrawRecord &r, long long n)
{
    for (int f = 0; f < DrawRecord::BonusField; ++f)
        if (r.fields[static_cast<std::size_t>(f)] == n)
            return true;
    return false;
}

// The same draw: every number one side gives is among the other's (the alternating layout
// keeps the drawn order, so order does not count), and the bonus agrees where both give it.
bool numbersAgree(const DrawRecord &a, const DrawRecord &b)
{
    for (int f = 0; f < DrawRecord::BonusField; ++f) {
        const auto &x = a.fields[static_cast<std::size_t>(f)];
        const auto &y = b.fields[static_cast<std::size_t>(f)];
        if ((x && !containsMain(b, *x)) || (y && !containsMain(a, *y)))
            return false;
    }
    const auto &ba = a.fields[DrawRecord::BonusField];
    const auto &bb = b.fields[DrawRecord::BonusField];
    return !ba || !bb || *ba == *bb;
}

bool samePrizes(const DrawPrizes &a, const DrawPrizes &b)
{
    for (int t = 1; t <= DrawPrizes::TierCount; ++t)
        if (a.tier(t).winners != b.tier(t).winners || a.tier(t).prize != b.tier(t).prize)
            return false;
    return (!a.carryOver || !b.carryOver || a.carryOver == b.carryOver)
        && (!a.sales || !b.sales || a.sales == b.sales);
}

// Why two accounts of one draw cannot both be right, and what differs; empty when they agree.
std::string disagreement(const DrawRecord &held, const std::optional<DrawPrizes> &heldPrizes,
    const DrawRecord &given, const std::optional<DrawPrizes> &givenPrizes,
    DrawConflict::Kind *kind = nullptr)
{
    DrawConflict::Kind ignored;
    DrawConflict::Kind &what = kind ? *kind : ignored;
    what = DrawConflict::Kind::Numbers;
    if (!numbersAgree(held, given))
        return "numbers " + numbersText(held) + " held, " + numbersText(given) + " given";
    what = DrawConflict::Kind::Date;
    if (!held.date.empty() && !given.date.empty() && held.date != given.date)
        return "date " + held.date + " held, " + given.date + " given";
    what = DrawConflict::Kind::Payout;
    if (heldPrizes && givenPrizes && !samePrizes(*heldPrizes, *givenPrizes))
        return "the payout differs from the one held";
    return {};
}

// One account of a draw from two that agree: the complete numbers, any date, any payout.
void combine(IncomingDraw &into, const DrawRecord &other, const std::optional<DrawPrizes> &prizes)
{
    if (!into.draw.isComplete() && other.isComplete())
        into.draw.fields = other.fields;
    if (into.draw.date.empty())
        into.draw.date = other.date;
    if (!into.prizes)
        into.prizes = prizes;
    else if (prizes) {
        if (!into.prizes->carryOver)
            into.prizes->carryOver = prizes->carryOver;
        if (!into.prizes->sales)
            into.prizes->sales = prizes->sales;
    }
}

std::string sourceNote(const IncomingDraw &d)
{
    return d.sources.empty() ? std::string() : " (" + d.sources.front()->origin() + ")";
}

// What the merge will write: one draw with its payout. A draw added as it came is written
// from the batch; only filled or replaced draws are copied, so a large import is held once.
struct PlannedWrite
{
    const IncomingDraw *from = nullptr;
    DrawSource::Change change = DrawSource::Change::Added;
    std::unique_ptr<DrawRecord> changed; // the draw to write when it is not from->draw
    std::unique_ptr<DrawPrizes> prizes;  // the payout to write when it is not from->prizes
    bool givenPrizes = false;            // write from->prizes, when there is one

    const DrawRecord &draw() const { return changed ? *changed : from->draw; }
    const DrawPrizes *payout() const
    {
        if (prizes)
            return prizes.get();
        return givenPrizes && from->prizes ? &*from->prizes : nullptr;
    }
};

struct MergePlan
{
    std::vector<PlannedWrite> writes;
    std::vector<int> removals;
};

struct HeldHistory
{
    std::map<int, DrawRecord> draws;
    std::map<int, DrawPrizes> prizes;

    std::optional<DrawPrizes> prizesOf(int drawNo) const
    {
        const auto it = prizes.find(drawNo);
        return it == prizes.end() ? std::nullopt : std::optional<DrawPrizes>(it->second);
    }
};

Status readHeld(const Database &db, HeldHistory &held)
{
    std::vector<DrawRecord> draws;
    if (Status s = db.readDraws(draws); !s)
        return s;
    for (DrawRecord &r : draws)
        held.draws.emplace(r.drawNo, std::move(r));
    return readPrizes(db, held.prizes);
}

// A held draw that the given one agrees with: filled where the given one knows more.
void planAgreeing(const DrawRecord &held, const std::optional<DrawPrizes> &heldPrizes,
    const IncomingDraw &given, MergePlan &plan, MergeReport &report)
{
    IncomingDraw merged{held, heldPrizes, {}};
    combine(merged, given.draw, given.prizes);
    const bool drawChanged = merged.draw.fields != held.fields || merged.draw.date != held.date;
    const bool prizesChanged = merged.prizes.has_value()
        && (!heldPrizes || !samePrizes(*merged.prizes, *heldPrizes)
            || merged.prizes->carryOver != heldPrizes->carryOver
            || merged.prizes->sales != heldPrizes->sales);
    if (!drawChanged && !prizesChanged) {
        ++report.unchanged;
        return;
    }
    ++report.filled;
    plan.writes.push_back(
        {&given, DrawSource::Change::Filled, std::make_unique<DrawRecord>(merged.draw),
            prizesChanged ? std::make_unique<DrawPrizes>(*merged.prizes) : nullptr, false});
}

void planConflict(const DrawRecord &held, const std::optional<DrawPrizes> &heldPrizes,
    const IncomingDraw &given, MergePlan &plan)
{
    DrawRecord draw = given.draw;
    if (draw.date.empty())
        draw.date = held.date;
    // Without a payout of its own the given draw keeps the one held for this draw number.
    plan.writes.push_back({&given, DrawSource::Change::Replaced,
        std::make_unique<DrawRecord>(std::move(draw)),
        !given.prizes && heldPrizes ? std::make_unique<DrawPrizes>(*heldPrizes) : nullptr, true});
}

MergePlan planMerge(
    const HeldHistory &held, const IncomingHistory &in, MergeMode mode, MergeReport &report)
{
    MergePlan plan;
    plan.writes.reserve(in.draws.size());
    for (const auto &[no, given] : in.draws) {
        const auto it = held.draws.find(no);
        if (it == held.draws.end()) {
            ++report.added;
            plan.writes.push_back({&given, DrawSource::Change::Added, nullptr, nullptr, true});
            continue;
        }
        const std::optional<DrawPrizes> heldPrizes = held.prizesOf(no);
        DrawConflict::Kind kind;
        const std::string why
            = disagreement(it->second, heldPrizes, given.draw, given.prizes, &kind);
        if (why.empty()) {
            planAgreeing(it->second, heldPrizes, given, plan, report);
            continue;
        }
        report.conflicts.push_back({no, why + sourceNote(given), kind, it->second, given.draw});
        if (mode != MergeMode::Add) {
            ++report.replaced;
            planConflict(it->second, heldPrizes, given, plan);
        }
    }
    if (mode == MergeMode::Replace)
        for (const auto &[no, draw] : held.draws)
            if (!in.draws.contains(no)) {
                plan.removals.push_back(no);
                ++report.removed;
            }
    return plan;
}

Status applyPlan(Database &db, const MergePlan &plan)
{
    Transaction tx(db);
    if (!tx.begun())
        return tx.begun();
    if (Status s = createOwnTables(db.handle()); !s)
        return s;
    for (int no : plan.removals) {
        if (Status s = db.removeDraw(no); !s)
            return s;
        if (Status s = deletePrizes(db, no); !s)
            return s;
    }
    for (const PlannedWrite &w : plan.writes) {
        if (Status s = db.storeDraw(w.draw()); !s)
            return s;
        if (const DrawPrizes *prizes = w.payout())
            if (Status s = writePrizes(db, *prizes); !s)
                return s;
        for (const auto &source : w.from->sources)
            if (Status s = recordSource(db, w.draw().drawNo, *source, w.change); !s)
                return s;
    }
    return tx.commit();
}

} // namespace

Status mergeHistory(Database &db, const IncomingHistory &in, MergeMode mode, MergeReport &report)
{
    report = MergeReport{};
    HeldHistory held;
    if (Status s = readHeld(db, held); !s)
        return s;
    const MergePlan plan = planMerge(held, in, mode, report);
    if (mode == MergeMode::Add && !report.conflicts.empty()) {
        const MergeReport listed = report;
        report = MergeReport{};
        report.conflicts = listed.conflicts;
        return Status::failure(std::to_string(listed.conflicts.size())
            + " draw(s) are held with different data; nothing was changed");
    }
    Status s = applyPlan(db, plan);
    if (!s) {
        const auto conflicts = report.conflicts;
        report = MergeReport{};
        report.conflicts = conflicts;
    }
    return s;
}

Status importHistoryFiles(
    Database &db, const std::vector<fs::path> &files, MergeMode mode, MergeReport &report)
{
    report = MergeReport{};
    IncomingHistory in;
    if (Status s = readHistoryFiles(files, in); !s)
        return s;
    return mergeHistory(db, in, mode, report);
}

Status IncomingHistory::add(const HistoryFile &file, const DrawSource &source)
{
    auto prizesOf = [&](int drawNo) -> std::optional<DrawPrizes> {
        const auto it = file.prizes.find(drawNo);
        return it == file.prizes.end() ? std::nullopt : std::optional<DrawPrizes>(it->second);
    };
    for (const DrawRecord &r : file.draws) {
        const auto it = draws.find(r.drawNo);
        if (it == draws.end())
            continue;
        const std::string why
            = disagreement(it->second.draw, it->second.prizes, r, prizesOf(r.drawNo));
        if (!why.empty())
            return Status::failure("draw " + std::to_string(r.drawNo) + " disagrees with "
                + (it->second.sources.empty() ? "an earlier file"
                                              : it->second.sources.front()->origin())
                + ": " + why);
    }
    const auto shared = std::make_shared<const DrawSource>(source);
    for (const DrawRecord &r : file.draws) {
        auto [it, fresh] = draws.try_emplace(r.drawNo);
        if (fresh) {
            it->second.draw = r;
            it->second.prizes = prizesOf(r.drawNo);
        } else {
            combine(it->second, r, prizesOf(r.drawNo));
        }
        it->second.sources.push_back(shared);
    }
    return Status::success();
}

Status readHistoryFiles(const std::vector<fs::path> &files, IncomingHistory &in, fs::path *refused,
    const std::function<bool()> &keepGoing)
{
    IncomingHistory batch;
    for (const fs::path &path : files) {
        if (keepGoing && !keepGoing()) {
            if (refused)
                refused->clear();
            return Status::failure("the import was cancelled; nothing was read");
        }
        if (refused)
            *refused = path;
        HistoryFile file;
        if (Status s = readHistoryFile(path, file); !s)
            return s;
        if (Status s = batch.add(file, DrawSource::from(DrawSource::Kind::File, path.string())); !s)
            return Status::failure(path.string() + ": " + s.message());
    }
    if (refused)
        refused->clear();
    in = std::move(batch);
    return Status::success();
}

std::string MergeReport::summary() const
{
    std::string s;
    auto part = [&](int n, const char *what) {
        if (n)
            s += (s.empty() ? "" : ", ") + std::to_string(n) + " " + what;
    };
    part(added, "added");
    part(filled, "filled in");
    part(replaced, "replaced");
    part(removed, "removed");
    part(unchanged, "already held");
    return s.empty() ? "nothing changed" : s;
}

std::string MergeReport::conflictList(std::size_t maxLines) const
{
    std::ostringstream o;
    for (std::size_t i = 0; i < conflicts.size() && i < maxLines; ++i)
        o << "draw " << conflicts[i].drawNo << ": " << conflicts[i].reason << '\n';
    if (conflicts.size() > maxLines)
        o << "... and " << conflicts.size() - maxLines << " more\n";
    return o.str();
}

} // namespace loto6
