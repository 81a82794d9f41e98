#include "testsupport.h"

#include "store/database.h"

#include <gtest/gtest.h>

// Statements made by the database: values in and out by type, steps that tell the end of the
// rows from a failure, and a new database file that never replaces one in place.

using namespace loto6;
using test::TempDir;

namespace {

Database scratch()
{
    Database db;
    EXPECT_TRUE(db.openInMemory());
    EXPECT_TRUE(db.exec("create table t (k integer primary key, v)"));
    return db;
}

} // namespace

TEST(SqlStatement, ValuesKeepTheirTypeAndBytes)
{
    Database db = scratch();
    SqlStatement insert = db.prepare("insert into t (v) values (?)");
    ASSERT_TRUE(insert.ok());
    const std::string text("回数\0後", 10);
    const auto add = [&](auto bindValue) {
        insert.reset();
        bindValue(insert);
        EXPECT_TRUE(insert.run()) << insert.errorMessage();
        return insert.lastInsertId();
    };
    const long long big = add([](SqlStatement &st) { st.bind(1, 4'294'967'301LL); });
    const long long real = add([](SqlStatement &st) { st.bindReal(1, 2.5); });
    const long long words = add([&](SqlStatement &st) { st.bind(1, std::string_view(text)); });
    const long long none = add([](SqlStatement &st) { st.bind(1, std::optional<long long>()); });
    const long long some = add([](SqlStatement &st) { st.bind(1, std::optional<long long>(7)); });
    EXPECT_EQ(std::vector<long long>({big, real, words, none, some}),
        std::vector<long long>({1, 2, 3, 4, 5}));

    // Each row's type, and its value as a whole number the way the history reads a field.
    SqlStatement read = db.prepare("select k, v from t order by k");
    ASSERT_EQ(read.columnCount(), 2);
    EXPECT_EQ(read.columnName(1), "v");
    using T = SqlStatement::Type;
    std::vector<T> types;
    std::vector<std::string> numbers;
    {
        const SqlStatement::ReadLock lock(read);
        while (read.next()) {
            types.push_back(read.type(1));
            std::optional<long long> n;
            bool malformed = false;
            read.wholeNumber(1, n, malformed);
            numbers.push_back(malformed ? "malformed" : n ? std::to_string(*n) : "empty");
        }
    }
    EXPECT_TRUE(read.done());
    EXPECT_EQ(types, std::vector<T>({T::Integer, T::Real, T::Text, T::Null, T::Integer}));
    EXPECT_EQ(
        numbers, std::vector<std::string>({"4294967301", "malformed", "malformed", "empty", "7"}));

    SqlStatement one = db.prepare("select v from t where k = ?");
    const auto row = [&](long long k) {
        one.reset();
        one.bind(1, k);
        EXPECT_TRUE(one.next());
    };
    row(big);
    EXPECT_EQ(one.integer(0), 4'294'967'301LL);
    EXPECT_EQ(one.text(0), "4294967301"); // a number read as text is its digits
    row(real);
    EXPECT_EQ(one.real(0), 2.5);
    row(words);
    EXPECT_EQ(one.text(0), text);
    row(none);
    EXPECT_TRUE(one.isNull(0));
    EXPECT_EQ(one.text(0), "");
}

TEST(SqlStatement, FailuresAreToldFromTheEndOfTheRows)
{
    Database db = scratch();
    ASSERT_TRUE(db.exec("insert into t values (1, 'a'), (2, 'b')"));

    SqlStatement empty = db.prepare("select v from t where k > 5");
    EXPECT_FALSE(empty.next());
    EXPECT_TRUE(empty.done());

    // A row that breaks a constraint is a failure with SQLite's words, not an end of rows.
    SqlStatement twice = db.prepare("insert into t values (1, 'c')");
    EXPECT_FALSE(twice.run());
    EXPECT_FALSE(twice.done());
    EXPECT_NE(twice.errorMessage().find("UNIQUE"), std::string::npos) << twice.errorMessage();

    // A statement that did not prepare binds nothing and never steps to success.
    SqlStatement wrong = db.prepare("select v from nowhere");
    EXPECT_FALSE(wrong.ok());
    EXPECT_NE(wrong.errorMessage().find("nowhere"), std::string::npos) << wrong.errorMessage();
    wrong.bind(1, 5LL);
    EXPECT_FALSE(wrong.next());
    EXPECT_FALSE(wrong.done());
    EXPECT_FALSE(wrong.run());

    SqlStatement removed = db.prepare("delete from t where k >= ?");
    removed.bind(1, 2LL);
    EXPECT_TRUE(removed.run());
    EXPECT_EQ(removed.changes(), 1);
    removed.reset();
    EXPECT_TRUE(removed.run());
    EXPECT_EQ(removed.changes(), 0);

    // A script's failure carries SQLite's own words.
    const Status script = db.runScript("create table t (a)");
    EXPECT_EQ(script.fault().kind, FaultKind::SqliteFailed);
    EXPECT_NE(script.message().find("already exists"), std::string::npos) << script.message();
}

TEST(SqlStatement, ANewDatabaseFileNeverReplacesAHeldOne)
{
    TempDir dir;
    const auto file = dir / "draws.db";
    {
        Database db;
        ASSERT_TRUE(db.create(file));
        ASSERT_TRUE(db.importDraws({test::draw(1, {1, 2, 3, 4, 5, 6, 7})}, false));
        DrawHistory h;
        ASSERT_TRUE(db.loadHistory(h));
        EXPECT_EQ(h.size(), 1u);
    }
    Database again;
    const Status s = again.create(file);
    EXPECT_FALSE(s);
    EXPECT_EQ(s.fault().kind, FaultKind::DatabaseNotCreated);
    EXPECT_FALSE(again.isOpen());
    Database held;
    ASSERT_TRUE(held.open(file));
    std::vector<DrawRecord> draws;
    ASSERT_TRUE(held.readDraws(draws));
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].fields[6], 7);
}
