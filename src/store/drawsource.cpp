#include "store/drawsource.h"

#include "store/database.h"

#include <array>
#include <ctime>

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
    SqlStatement st
        = db.prepare("insert into 取得元 (回数, 種類, 名前, 内容, 日時) values (?, ?, ?, ?, ?)");
    st.bind(1, drawNo);
    st.bind(2, KindCodes[static_cast<std::size_t>(source.kind)]);
    st.bind(3, source.name);
    st.bind(4, ChangeCodes[static_cast<std::size_t>(change)]);
    st.bind(5, nowUtc());
    if (!st.run())
        return Status::failure(
            Fault{.kind = FaultKind::SourceNotRecorded, .draw = drawNo, .detail = db.reason()});
    return Status::success();
}

Status readSources(const Database &db, std::optional<int> drawNo, std::vector<DrawSource> &out)
{
    out.clear();
    SqlStatement st = db.prepare(std::string("select 回数, 種類, 名前, 内容, 日時 from 取得元")
        + (drawNo ? " where 回数 = ?" : "") + " order by 回数, 番号");
    if (!st.ok())
        return Status::success(); // an older database has no such table: nothing recorded
    if (drawNo)
        st.bind(1, *drawNo);
    while (st.next()) {
        DrawSource s;
        s.drawNo = static_cast<int>(st.integer(0));
        s.kind = fromCode(KindCodes, st.text(1), DrawSource::Kind::File);
        s.name = st.text(2);
        s.change = fromCode(ChangeCodes, st.text(3), DrawSource::Change::Added);
        s.when = st.text(4);
        out.push_back(std::move(s));
    }
    if (!st.done())
        return Status::failure(Fault{.kind = FaultKind::SourcesNotRead, .detail = db.reason()});
    return Status::success();
}

} // namespace loto6
