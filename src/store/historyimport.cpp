#include "store/historyimport.h"

#include "store/database.h"
#include "store/packedprizes.h"
#include "store/prizestore.h"
#include "store/schema.h"

#include <algorithm>
#include <deque>
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

// The history held, read before the merge: draws packed where they can be (a held draw with
// values no import accepts is kept as it is), so that a large database is held compactly.
struct HeldHistory
{
    std::vector<PackedDraw> packed; // by draw number
    std::map<int, DrawRecord> odd;
    std::deque<PackedPrizes> packedPrizes; // by draw number; a deque grows without copying
    std::map<int, DrawPrizes> oddPrizes;

    std::optional<DrawRecord> find(int drawNo) const
    {
        const auto it = std::lower_bound(packed.begin(), packed.end(), drawNo,
            [](const PackedDraw &p, int no) { return p.drawNo() < no; });
        if (it != packed.end() && it->drawNo() == drawNo)
            return it->unpack();
        const auto o = odd.find(drawNo);
        return o == odd.end() ? std::nullopt : std::optional<DrawRecord>(o->second);
    }
    std::optional<DrawPrizes> prizesOf(int drawNo) const
    {
        const auto it = std::lower_bound(packedPrizes.begin(), packedPrizes.end(), drawNo,
            [](const PackedPrizes &p, int no) { return p.drawNo() < no; });
        if (it != packedPrizes.end() && it->drawNo() == drawNo)
            return it->unpack();
        const auto o = oddPrizes.find(drawNo);
        return o == oddPrizes.end() ? std::nullopt : std::optional<DrawPrizes>(o->second);
    }
    // The held draws the given history lacks, in ascending order.
    std::vector<int> missingFrom(const IncomingHistory &in) const
    {
        std::vector<int> missing;
        for (const PackedDraw &p : packed)
            if (!in.contains(p.drawNo()))
                missing.push_back(p.drawNo());
        for (const auto &[no, draw] : odd)
            if (!in.contains(no))
                missing.push_back(no);
        std::sort(missing.begin(), missing.end());
        return missing;
    }
};

Status readHeld(const Database &db, HeldHistory &held)
{
    if (Status s = db.forEachDraw([&](const DrawRecord &r) {
            if (const std::optional<PackedDraw> p = PackedDraw::pack(r))
                held.packed.push_back(*p);
            else
                held.odd.emplace(r.drawNo, r);
            return Status::success();
        });
        !s)
        return s;
    Status s = forEachPrizes(db, [&](const DrawPrizes &p) {
        if (const std::optional<PackedPrizes> packed = PackedPrizes::pack(p))
            held.packedPrizes.push_back(*packed);
        else
            held.oddPrizes[p.drawNo] = p;
    });
    // Read in draw-number order; sorted again only should a stored number defy that order.
    const auto byDrawNo
        = [](const PackedPrizes &a, const PackedPrizes &b) { return a.drawNo() < b.drawNo(); };
    if (!std::is_sorted(held.packedPrizes.begin(), held.packedPrizes.end(), byDrawNo))
        std::stable_sort(held.packedPrizes.begin(), held.packedPrizes.end(), byDrawNo);
    return s;
}

// What the merge writes for one given draw: the draw and, when it changes, its payout.
struct DrawWrite
{
    DrawSource::Change change = DrawSource::Change::Added;
    DrawRecord draw;
    std::optional<DrawPrizes> prizes;
};

// A held draw that the given one agrees with: filled where the given one knows more.
std::optional<DrawWrite> planAgreeing(const DrawRecord &held,
    const std::optional<DrawPrizes> &heldPrizes, const IncomingDraw &given, MergeReport &report)
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
        return std::nullopt;
    }
    ++report.filled;
    return DrawWrite{DrawSource::Change::Filled, std::move(merged.draw),
        prizesChanged ? merged.prizes : std::nullopt};
}

// Decides one given draw against the held history and counts it in the report (its conflict
// listed when listConflicts); nothing to write when the held draw stays as it is.
std::optional<DrawWrite> planDraw(const HeldHistory &held, const IncomingDraw &given,
    MergeMode mode, MergeReport &report, bool listConflicts)
{
    const int no = given.draw.drawNo;
    const std::optional<DrawRecord> heldDraw = held.find(no);
    if (!heldDraw) {
        ++report.added;
        return DrawWrite{DrawSource::Change::Added, given.draw, given.prizes};
    }
    const std::optional<DrawPrizes> heldPrizes = held.prizesOf(no);
    DrawConflict::Kind kind;
    const std::string why = disagreement(*heldDraw, heldPrizes, given.draw, given.prizes, &kind);
    if (why.empty())
        return planAgreeing(*heldDraw, heldPrizes, given, report);
    if (listConflicts)
        report.conflicts.push_back({no, why + sourceNote(given), kind, *heldDraw, given.draw});
    if (mode == MergeMode::Add)
        return std::nullopt;
    ++report.replaced;
    DrawWrite write{DrawSource::Change::Replaced, given.draw, given.prizes};
    if (write.draw.date.empty())
        write.draw.date = heldDraw->date;
    // Without a payout of its own the given draw keeps the one held for this draw number.
    if (!write.prizes)
        write.prizes = heldPrizes;
    return write;
}

Status writeDraw(Database &db, const DrawWrite &w, const IncomingDraw &given)
{
    if (Status s = db.storeDraw(w.draw); !s)
        return s;
    if (w.prizes)
        if (Status s = writePrizes(db, *w.prizes); !s)
            return s;
    for (const auto &source : given.sources)
        if (Status s = recordSource(db, w.draw.drawNo, *source, w.change); !s)
            return s;
    return Status::success();
}

// Writes the merge inside the caller's transaction, each draw decided again as it was planned,
// so that the batch is never copied into a list of writes.
Status applyMerge(Database &db, const HeldHistory &held, const IncomingHistory &in, MergeMode mode,
    const std::vector<int> &removals)
{
    if (Status s = createOwnTables(db); !s)
        return s;
    for (int no : removals) {
        if (Status s = db.removeDraw(no); !s)
            return s;
        if (Status s = deletePrizes(db, no); !s)
            return s;
    }
    MergeReport counted;
    Status s = in.forEach([&](const IncomingDraw &given) {
        const std::optional<DrawWrite> w = planDraw(held, given, mode, counted, false);
        return w ? writeDraw(db, *w, given) : Status::success();
    });
    return s;
}

const DrawPrizes *prizesOf(const std::deque<DrawPrizes> &sorted, int drawNo)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), drawNo,
        [](const DrawPrizes &p, int no) { return p.drawNo < no; });
    return it != sorted.end() && it->drawNo == drawNo ? &*it : nullptr;
}

std::optional<DrawPrizes> optionalOf(const DrawPrizes *p)
{
    return p ? std::optional<DrawPrizes>(*p) : std::nullopt;
}

bool byDrawNo(const PackedDraw &a, const PackedDraw &b) { return a.drawNo() < b.drawNo(); }

} // namespace

Status mergeHistory(Database &db, const IncomingHistory &in, MergeMode mode, MergeReport &report)
{
    report = MergeReport{};
    // The write lock is taken before the held draws are read: a draw another program adds
    // meanwhile waits for this merge, or is seen by it and decided like any other.
    Transaction tx(db);
    if (!tx.begun())
        return tx.begun();
    HeldHistory held;
    if (Status s = readHeld(db, held); !s)
        return s;
    MergeReport planned;
    in.forEach([&](const IncomingDraw &given) {
        planDraw(held, given, mode, planned, true);
        return Status::success();
    });
    std::vector<int> removals;
    if (mode == MergeMode::Replace) {
        removals = held.missingFrom(in);
        planned.removed = static_cast<int>(removals.size());
    }
    if (mode == MergeMode::Add && !planned.conflicts.empty()) {
        report.conflicts = std::move(planned.conflicts);
        return Status::failure(Fault{
            .kind = FaultKind::DrawConflicts, .value = std::to_string(report.conflicts.size())});
    }
    Status s = applyMerge(db, held, in, mode, removals);
    if (s)
        s = tx.commit();
    if (!s) {
        report.conflicts = std::move(planned.conflicts);
        return s;
    }
    report = std::move(planned);
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

struct IncomingHistory::PackedFile
{
    std::vector<PackedDraw> draws;
    std::deque<DrawPrizes> prizes;

    Status take(const DrawRecord &draw, const DrawPrizes *payout)
    {
        const std::optional<PackedDraw> packed = PackedDraw::pack(draw);
        if (!packed)
            return Status::failure(Fault{.kind = FaultKind::DrawNotFromFile, .draw = draw.drawNo});
        draws.push_back(*packed);
        if (payout)
            prizes.push_back(*payout);
        return Status::success();
    }
};

Status IncomingHistory::add(const HistoryFile &file, const DrawSource &source)
{
    PackedFile packed;
    for (const DrawRecord &r : file.draws) {
        const auto it = file.prizes.find(r.drawNo);
        if (Status s = packed.take(r, it == file.prizes.end() ? nullptr : &it->second); !s)
            return s;
    }
    return addPacked(packed, source);
}

Status IncomingHistory::addFile(const fs::path &path, const DrawSource &source)
{
    PackedFile packed;
    HistoryLayout layout = HistoryLayout::Canonical;
    if (Status s = readHistoryFile(path, layout,
            [&](const DrawRecord &d, const DrawPrizes *p) { return packed.take(d, p); });
        !s)
        return s;
    if (Status s = addPacked(packed, source); !s)
        return inFile(s, path, false);
    return Status::success();
}

namespace {

// A file given whole may name a draw twice: its accounts become one, as in a batch.
void combineRepeats(std::vector<PackedDraw> &draws, std::deque<DrawPrizes> &prizes)
{
    auto out = draws.begin();
    for (auto it = draws.begin(); it != draws.end();) {
        const int no = it->drawNo();
        const auto end
            = std::find_if(it, draws.end(), [no](const PackedDraw &p) { return p.drawNo() != no; });
        IncomingDraw one{it->unpack(), std::nullopt, {}};
        for (auto next = std::next(it); next != end; ++next)
            combine(one, next->unpack(), std::nullopt);
        *out++ = PackedDraw::pack(one.draw).value_or(*it);
        it = end;
    }
    draws.erase(out, draws.end());
    prizes.erase(std::unique(prizes.begin(), prizes.end(),
                     [](const DrawPrizes &a, const DrawPrizes &b) { return a.drawNo == b.drawNo; }),
        prizes.end());
}

} // namespace

Status IncomingHistory::addPacked(PackedFile &file, const DrawSource &source)
{
    // Files are mostly in order already; sorting them anyway would take a buffer as large.
    if (!std::is_sorted(file.draws.begin(), file.draws.end(), byDrawNo))
        std::stable_sort(file.draws.begin(), file.draws.end(), byDrawNo);
    const auto byPrizeDrawNo
        = [](const DrawPrizes &a, const DrawPrizes &b) { return a.drawNo < b.drawNo; };
    if (!std::is_sorted(file.prizes.begin(), file.prizes.end(), byPrizeDrawNo))
        std::sort(file.prizes.begin(), file.prizes.end(), byPrizeDrawNo);
    combineRepeats(file.draws, file.prizes);
    for (const PackedDraw &p : file.draws) {
        if (!contains(p.drawNo()))
            continue;
        const IncomingDraw earlier = *find(p.drawNo());
        const std::string why = disagreement(earlier.draw, earlier.prizes, p.unpack(),
            optionalOf(prizesOf(file.prizes, p.drawNo())));
        if (!why.empty())
            return Status::failure(Fault{.kind = FaultKind::DrawDisagrees,
                .value
                = earlier.sources.empty() ? "an earlier file" : earlier.sources.front()->origin(),
                .draw = p.drawNo(),
                .detail = why});
    }
    const auto index = static_cast<std::uint32_t>(m_files.size());
    m_files.push_back(std::make_shared<const DrawSource>(source));
    const auto before = static_cast<std::ptrdiff_t>(m_drawFiles.size());
    for (const PackedDraw &p : file.draws)
        m_drawFiles.emplace_back(p.drawNo(), index);
    std::inplace_merge(m_drawFiles.begin(), m_drawFiles.begin() + before, m_drawFiles.end());
    if (m_draws.empty()) {
        m_draws = std::move(file.draws);
        m_prizes = std::move(file.prizes);
        return Status::success();
    }
    mergeIn(file);
    return Status::success();
}

void IncomingHistory::mergeIn(const PackedFile &file)
{
    std::vector<PackedDraw> draws;
    draws.reserve(m_draws.size() + file.draws.size());
    std::deque<DrawPrizes> prizes;
    auto take = [&](const PackedDraw &p, const DrawPrizes *payout) {
        draws.push_back(p);
        if (payout)
            prizes.push_back(*payout);
    };
    auto a = m_draws.begin();
    auto b = file.draws.begin();
    while (a != m_draws.end() || b != file.draws.end()) {
        if (b == file.draws.end() || (a != m_draws.end() && a->drawNo() < b->drawNo())) {
            take(*a, prizesOf(m_prizes, a->drawNo()));
            ++a;
        } else if (a == m_draws.end() || b->drawNo() < a->drawNo()) {
            take(*b, prizesOf(file.prizes, b->drawNo()));
            ++b;
        } else {
            IncomingDraw one{a->unpack(), optionalOf(prizesOf(m_prizes, a->drawNo())), {}};
            combine(one, b->unpack(), optionalOf(prizesOf(file.prizes, b->drawNo())));
            take(PackedDraw::pack(one.draw).value_or(*a), one.prizes ? &*one.prizes : nullptr);
            ++a;
            ++b;
        }
    }
    m_draws = std::move(draws);
    m_prizes = std::move(prizes);
}

bool IncomingHistory::contains(int drawNo) const
{
    const auto it = std::lower_bound(m_draws.begin(), m_draws.end(), drawNo,
        [](const PackedDraw &p, int no) { return p.drawNo() < no; });
    return it != m_draws.end() && it->drawNo() == drawNo;
}

std::optional<IncomingDraw> IncomingHistory::find(int drawNo) const
{
    const auto it = std::lower_bound(m_draws.begin(), m_draws.end(), drawNo,
        [](const PackedDraw &p, int no) { return p.drawNo() < no; });
    if (it == m_draws.end() || it->drawNo() != drawNo)
        return std::nullopt;
    auto prize
        = static_cast<std::size_t>(std::lower_bound(m_prizes.begin(), m_prizes.end(), drawNo,
                                       [](const DrawPrizes &p, int no) { return p.drawNo < no; })
            - m_prizes.begin());
    auto source = static_cast<std::size_t>(
        std::lower_bound(m_drawFiles.begin(), m_drawFiles.end(), std::make_pair(drawNo, 0u))
        - m_drawFiles.begin());
    return unpacked(static_cast<std::size_t>(it - m_draws.begin()), prize, source);
}

IncomingDraw IncomingHistory::unpacked(std::size_t i, std::size_t &prize, std::size_t &source) const
{
    IncomingDraw d;
    d.draw = m_draws[i].unpack();
    const int no = d.draw.drawNo;
    while (prize < m_prizes.size() && m_prizes[prize].drawNo < no)
        ++prize;
    if (prize < m_prizes.size() && m_prizes[prize].drawNo == no)
        d.prizes = m_prizes[prize];
    while (source < m_drawFiles.size() && m_drawFiles[source].first < no)
        ++source;
    for (; source < m_drawFiles.size() && m_drawFiles[source].first == no; ++source)
        d.sources.push_back(m_files[m_drawFiles[source].second]);
    return d;
}

Status IncomingHistory::forEach(const std::function<Status(const IncomingDraw &)> &visit) const
{
    std::size_t prize = 0, source = 0;
    for (std::size_t i = 0; i < m_draws.size(); ++i)
        if (Status s = visit(unpacked(i, prize, source)); !s)
            return s;
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
            return Status::failure(Fault{.kind = FaultKind::ImportCancelled});
        }
        if (refused)
            *refused = path;
        if (Status s = batch.addFile(path, DrawSource::from(DrawSource::Kind::File, path.string()));
            !s)
            return s;
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
