#include "store/schema.h"

#include "store/database.h"

#include <string>

namespace loto6 {

namespace {

constexpr const char *DrawsTableSql = "CREATE TABLE 結果マスタ ("
                                      "回数 INTEGER PRIMARY KEY, 抽選日 TEXT, "
                                      "第1数字 INTEGER, 第2数字 INTEGER, 第3数字 INTEGER, "
                                      "第4数字 INTEGER, 第5数字 INTEGER, 第6数字 INTEGER, "
                                      "ボーナス数字 INTEGER);";

constexpr const char *OwnTablesSql
    = "CREATE TABLE IF NOT EXISTS 払戻金 (回数 INTEGER PRIMARY KEY, "
      "口数1 INTEGER NOT NULL, 賞金1 INTEGER, 口数2 INTEGER NOT NULL, 賞金2 INTEGER, "
      "口数3 INTEGER NOT NULL, 賞金3 INTEGER, 口数4 INTEGER NOT NULL, 賞金4 INTEGER, "
      "口数5 INTEGER NOT NULL, 賞金5 INTEGER, キャリーオーバー INTEGER, "
      "販売実績額 INTEGER);"
      "CREATE TABLE IF NOT EXISTS 取得元 (番号 INTEGER PRIMARY KEY, "
      "回数 INTEGER NOT NULL, 種類 TEXT NOT NULL, 名前 TEXT NOT NULL, 内容 TEXT NOT NULL, "
      "日時 TEXT NOT NULL);"
      "CREATE INDEX IF NOT EXISTS 取得元_回数 ON 取得元 (回数);";

constexpr const char *TicketTablesSql = R"(
CREATE TABLE IF NOT EXISTS 予想記録 (
    番号 INTEGER PRIMARY KEY AUTOINCREMENT,
    記録日時 TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
    基準回 INTEGER NOT NULL, 反映シフト INTEGER NOT NULL, 設定 TEXT NOT NULL,
    履歴ハッシュ TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS 購入番号 (
    番号 INTEGER PRIMARY KEY AUTOINCREMENT,
    数字1 INTEGER NOT NULL, 数字2 INTEGER NOT NULL, 数字3 INTEGER NOT NULL,
    数字4 INTEGER NOT NULL, 数字5 INTEGER NOT NULL, 数字6 INTEGER NOT NULL,
    開始回 INTEGER NOT NULL, 継続回数 INTEGER NOT NULL, 口数 INTEGER NOT NULL,
    メモ TEXT NOT NULL DEFAULT '', 入手 TEXT NOT NULL,
    登録日時 TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
    予想記録 INTEGER);
CREATE TRIGGER IF NOT EXISTS 予想記録の変更禁止 BEFORE UPDATE ON 予想記録
BEGIN SELECT RAISE(ABORT, 'a recorded prediction cannot be edited, only deleted'); END;
CREATE TRIGGER IF NOT EXISTS 記録済み購入番号の変更禁止 BEFORE UPDATE ON 購入番号
WHEN OLD.予想記録 IS NOT NULL
BEGIN SELECT RAISE(ABORT, 'a recorded prediction cannot be edited, only deleted'); END;
)";

constexpr const char *EstimateTableSql
    = "CREATE TABLE IF NOT EXISTS 人気度推定 (種類 TEXT NOT NULL, 鍵 TEXT NOT NULL, "
      "内容 BLOB NOT NULL, 作成日時 TEXT NOT NULL DEFAULT (datetime('now', 'localtime')), "
      "PRIMARY KEY (種類, 鍵));";

// Runs the statements; on failure, `which` tables could not be made, SQLite's words its cause.
Status execSchema(Database &db, const std::string &sql, const char *which)
{
    if (Status s = db.runScript(sql); !s)
        return causedBy(Fault{.kind = FaultKind::TablesNotCreated, .field = which}, s);
    return Status::success();
}

} // namespace

const char *const HistoryViewSql
    = "CREATE VIEW 全データ選択クエリ AS SELECT 回数, 第1数字, 第2数字, 第3数字, 第4数字, "
      "第5数字, 第6数字, ボーナス数字 FROM 結果マスタ";

Status createHistorySchema(Database &db)
{
    if (Status s = execSchema(db, std::string(DrawsTableSql) + HistoryViewSql + ";", "tables"); !s)
        return s;
    return createOwnTables(db);
}

Status createOwnTables(Database &db)
{
    return execSchema(db, OwnTablesSql, "payout and source tables");
}

Status createTicketTables(Database &db)
{
    // Through the database, so that a lock held by another program is named as such.
    if (Status s = db.exec(TicketTablesSql); !s)
        return causedBy(Fault{.kind = FaultKind::TablesNotCreated, .field = "ticket tables"}, s);
    return Status::success();
}

Status createEstimateTable(Database &db)
{
    if (Status s = db.exec(EstimateTableSql); !s)
        return causedBy(Fault{.kind = FaultKind::TablesNotCreated, .field = "estimate table"}, s);
    return Status::success();
}

} // namespace loto6
