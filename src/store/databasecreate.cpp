#include "store/database.h"

#include "store/atomicfile.h"
#include "store/historyimport.h"
#include "store/paths.h"
#include "store/schema.h"
#include "store/textcodec.h"

#include <system_error>

namespace loto6 {

namespace fs = std::filesystem;

namespace {

// The bundled history and, beside it, the bundled payouts of the draws they cover.
Status readSeed(const fs::path &seedCsv, IncomingHistory &seed)
{
    HistoryFile history;
    if (Status s = readHistoryFile(seedCsv, history); !s)
        return s;
    if (Status s = seed.add(
            history, DrawSource::from(DrawSource::Kind::Bundled, seedCsv.filename().string()));
        !s)
        return s;
    const fs::path prizesCsv = seedCsv.parent_path() / BundledPrizesFileName;
    std::error_code ec;
    if (!fs::exists(prizesCsv, ec))
        return Status::success();
    HistoryFile prizes;
    if (Status s = readHistoryFile(prizesCsv, prizes); !s)
        return s;
    return seed.add(prizes, DrawSource::from(DrawSource::Kind::Bundled, BundledPrizesFileName));
}

} // namespace

Status Database::openOrCreate(const fs::path &file, const fs::path &seedCsv)
{
    std::error_code ec;
    if (file.empty() || fs::exists(file, ec) || fs::is_symlink(file, ec))
        return open(file);

    IncomingHistory seed;
    if (Status s = readSeed(seedCsv, seed); !s)
        return causedBy(Fault{.kind = FaultKind::NotCreatedFromBundle, .file = file.string()}, s);

    // Build the new database under a temporary name and move it into place only when whole.
    const fs::path tmp = temporarySibling(file);
    {
        Database fresh;
        if (Status s = fresh.openNew(tmp); !s) {
            fs::remove(tmp, ec);
            return Status::failure(Fault{.kind = FaultKind::DatabaseNotCreated,
                .file = file.string(),
                .detail = s.fault().detail});
        }
        Status s = createHistorySchema(fresh);
        MergeReport report;
        if (s)
            s = mergeHistory(fresh, seed, MergeMode::Replace, report);
        fresh.close();
        if (!s) {
            fs::remove(tmp, ec);
            return causedBy(Fault{.kind = FaultKind::DatabaseNotCreated, .file = file.string()}, s);
        }
    }
    if (Status s = syncFile(tmp); !s) {
        fs::remove(tmp, ec);
        return s;
    }
    fs::rename(tmp, file, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return causedBy(Fault{.kind = FaultKind::DatabaseNotCreated, .file = file.string()},
            Status::failure(Fault{.kind = FaultKind::SqliteFailed, .detail = ec.message()}));
    }
    return open(file);
}

Status Database::create(const fs::path &file)
{
    if (Status s = openNew(file); !s)
        return causedBy(Fault{.kind = FaultKind::DatabaseNotCreated, .file = file.string()}, s);
    Status s = createHistorySchema(*this);
    close();
    if (!s)
        return causedBy(Fault{.kind = FaultKind::DatabaseNotCreated, .file = file.string()}, s);
    return open(file);
}

} // namespace loto6
