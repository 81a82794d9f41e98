#include "store/drawsource.h"

#include "store/database.h"

#include <sqlite3.h>

#include <array>
#include <ctime>
#include <memory>

namespace loto6 {

namespace {

constexpr std::array<const char *, 5> KindCodes = {"bundled", "file", "address", "entry", "add"};
constexpr std::array<const char *, 4> ChangeCodes = {"added", "filled", "replaced", "saved"};

template<typename E, std::size_t N>
E fromCode(const std::array<const char *, N> &codes, std::string_view code, E fallback)
{
    for (std::size_t i = 0; i < N; ++i)
        if (code == codes[i])
            return static_cast<E>(i);
    return fallback;
}

std::string nowUtc()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return buf;
}

std::string columnText(sqlite3_stmt *st, int col)
{
    const auto *p = sqlite3_column_text(st, col);
    return p ? reinterpret_cast<const char *>(p) : "";
}

} // namespace

std::string DrawSource::origin() const
{
    switch (kind) {
    case Kind::Bundled:
        return "bundled history" + (name.empty() ? "" : " (" + name + ")");
    case Kind::File:
        return "file " + name;
    case Kind::Address:
        return "address " + name;
    case Kind::EntryWindow:
        return "entry window";
    case Kind::AddCommand:
        return "add command";
    }
    return name;
}

std::string DrawSource::changeText() const
{
    switch (change) {
    case Change::Added:
        return "added";
    case Change::Filled:
        return "date or payout filled";
    case Change::Replaced:
        return "replaced by different numbers";
    case Change::Saved:
        return "saved";
    }
    return {};
}

Status recordSource(Database &db, int drawNo, const DrawSource &source, DrawSource::Change change)
{
    sqlite3_stmt *raw = nullptr;
    sqlite3_prepare_v2(db.handle(),
        "insert into 取得元 (回数, 種類, 名前, 内容, 日時) values (?, ?, ?, ?, ?)", -1, &raw,
        nullptr);
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> st(raw, &sqlite3_finalize);
    const std::string when = nowUtc();
    if (st) {
        sqlite3_bind_int(raw, 1, drawNo);
        sqlite3_bind_text(
            raw, 2, KindCodes[static_cast<std::size_t>(source.kind)], -1, SQLITE_STATIC);
        sqlite3_bind_text(raw, 3, source.name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(raw, 4, ChangeCodes[static_cast<std::size_t>(change)], -1, SQLITE_STATIC);
        sqlite3_bind_text(raw, 5, when.c_str(), -1, SQLITE_TRANSIENT);
    }
    if (!st || sqlite3_step(raw) != SQLITE_DONE)
        return Status::failure(
            Fault{.kind = FaultKind::SourceNotRecorded, .draw = drawNo, .detail = db.reason()});
    return Status::success();
}

Status readSources(const Database &db, std::optional<int> drawNo, std::vector<DrawSource> &out)
{
    out.clear();
    sqlite3_stmt *raw = nullptr;
    const std::string sql = std::string("select 回数, 種類, 名前, 内容, 日時 from 取得元")
        + (drawNo ? " where 回数 = ?" : "") + " order by 回数, 番号";
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        return Status::success(); // an older database has no such table: nothing recorded
    }
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> st(raw, &sqlite3_finalize);
    if (drawNo)
        sqlite3_bind_int(raw, 1, *drawNo);
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        DrawSource s;
        s.drawNo = sqlite3_column_int(raw, 0);
        s.kind = fromCode(KindCodes, columnText(raw, 1), DrawSource::Kind::File);
        s.name = columnText(raw, 2);
        s.change = fromCode(ChangeCodes, columnText(raw, 3), DrawSource::Change::Added);
        s.when = columnText(raw, 4);
        out.push_back(std::move(s));
    }
    if (rc != SQLITE_DONE)
        return Status::failure(Fault{.kind = FaultKind::SourcesNotRead, .detail = db.reason()});
    return Status::success();
}

} // namespace loto6
