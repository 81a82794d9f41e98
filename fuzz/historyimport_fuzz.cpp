// Any bytes as a history file of any layout: what is accepted holds only valid draws, goes
// into an import batch, and comes back unchanged through the program's own CSV.
#include "fuzzcheck.h"

#include "store/csvhistory.h"
#include "store/historyfile.h"
#include "store/historyimport.h"

#include <set>
#include <sstream>

using namespace loto6;

namespace {

void checkRoundTrip(const std::vector<DrawRecord> &draws)
{
    std::ostringstream csv;
    exportCsv(csv, draws);
    HistoryFile again;
    const Status s = readHistoryBytes(csv.str(), again);
    FUZZ_CHECK(s.ok(), s.message());
    FUZZ_CHECK(again.layout == HistoryLayout::Canonical, csv.str());
    FUZZ_CHECK(again.draws.size() == draws.size(), csv.str());
    for (std::size_t i = 0; i < draws.size(); ++i) {
        FUZZ_CHECK(again.draws[i].drawNo == draws[i].drawNo, csv.str());
        FUZZ_CHECK(again.draws[i].date == draws[i].date, csv.str());
        FUZZ_CHECK(again.draws[i].fields == draws[i].fields, csv.str());
    }
}

void checkFile(const HistoryFile &file)
{
    std::set<int> seen;
    for (const DrawRecord &d : file.draws) {
        fuzz::checkAcceptedDraw(d);
        FUZZ_CHECK(seen.insert(d.drawNo).second, "draw " + std::to_string(d.drawNo) + " twice");
    }
    for (const auto &[no, prizes] : file.prizes) {
        FUZZ_CHECK(seen.count(no) == 1, "payout of draw " + std::to_string(no) + " without it");
        FUZZ_CHECK(prizes.drawNo == no, "payout keyed " + std::to_string(no));
        for (const TierPayout &t : prizes.tiers)
            FUZZ_CHECK(t.winners >= 0 && (!t.prize || *t.prize >= 0), "negative payout");
    }
    IncomingHistory batch;
    const Status added = batch.add(file, DrawSource::from(DrawSource::Kind::File, "fuzz"));
    FUZZ_CHECK(added.ok(), added.message());
    FUZZ_CHECK(batch.size() == file.draws.size(), "batch size");
    checkRoundTrip(file.draws);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view bytes = fuzz::asText(data, size);
    HistoryFile file;
    const Status s = readHistoryBytes(bytes, file);
    if (s.ok())
        checkFile(file);
    else
        FUZZ_CHECK(s.message().find('\n') == std::string::npos
                && s.message().find('\x1b') == std::string::npos,
            s.message());
    return 0;
}
