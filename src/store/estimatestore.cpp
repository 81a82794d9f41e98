#include "store/estimatestore.h"

#include "store/database.h"
#include "store/schema.h"

namespace loto6 {

std::optional<std::string> readStoredEstimate(
    const Database &db, std::string_view kind, std::string_view key)
{
    SqlStatement st = db.prepare("SELECT 内容 FROM 人気度推定 WHERE 種類 = ?1 AND 鍵 = ?2");
    if (!st.ok())
        return std::nullopt; // no table yet, or one this program did not make
    st.bind(1, kind);
    st.bind(2, key);
    if (!st.next())
        return std::nullopt;
    return std::string(st.blob(0));
}

Status storeEstimate(
    Database &db, std::string_view kind, std::string_view key, std::string_view blob, int keep)
{
    if (db.isReadOnly())
        return Status::failure(Fault{.kind = FaultKind::SqliteFailed, .detail = "read-only"});
    Transaction t(db);
    if (!t.begun())
        return t.begun();
    if (Status s = createEstimateTable(db); !s)
        return s;
    SqlStatement put
        = db.prepare("INSERT OR REPLACE INTO 人気度推定 (種類, 鍵, 内容) VALUES (?1, ?2, ?3)");
    put.bind(1, kind);
    put.bind(2, key);
    put.bindBlob(3, blob);
    if (!put.run())
        return Status::failure(db.failure());
    SqlStatement prune = db.prepare(
        "DELETE FROM 人気度推定 WHERE 種類 = ?1 AND rowid NOT IN (SELECT rowid FROM 人気度推定 "
        "WHERE 種類 = ?1 ORDER BY rowid DESC LIMIT ?2)");
    prune.bind(1, kind);
    prune.bind(2, static_cast<long long>(keep));
    if (!prune.run())
        return Status::failure(db.failure());
    return t.commit();
}

} // namespace loto6
