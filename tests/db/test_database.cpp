#include "TempDir.h"
#include "db/Database.h"
#include "db/SqlFunctions.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace ecr::db;

namespace {
struct DbTest : ::testing::Test {
    TempDir dir;
    std::unique_ptr<Database> db = Database::open(dir.file("t.db"));
    void SetUp() override {
        db->executeScript("CREATE TABLE t (id INTEGER, name TEXT, price REAL, time TEXT)");
    }
};
} // namespace

TEST_F(DbTest, NullDiffersFromEmptyText) {
    db->execute("INSERT INTO t(id, name) VALUES(1, NULL)");
    db->execute("INSERT INTO t(id, name) VALUES(2, '')");
    auto rows = db->query("SELECT name FROM t ORDER BY id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows.at(0, "name").isNull());
    EXPECT_FALSE(rows.at(1, "NAME").isNull());
    EXPECT_EQ(rows.at(1, 0).toText(), "");
    EXPECT_TRUE(db->scalar("SELECT name FROM t WHERE id = 99").isNull());
}

TEST_F(DbTest, ApostrophesAndChineseRoundTripThroughBoundValues) {
    const std::string tricky = "O'Brien's \"best\" 可口可乐'; DROP TABLE t; --";
    db->execute("INSERT INTO t(id, name) VALUES(?, ?)", {1, tricky});
    EXPECT_EQ(db->scalar("SELECT name FROM t WHERE name = ?", {tricky}).toText(), tricky);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM t WHERE name LIKE ?", {"%'s%"}).toInt(), 1);
    EXPECT_EQ(db->tables(), (std::vector<std::string>{"t"}));
}

TEST_F(DbTest, PagingThirtyRowsWithPageCount) {
    Transaction tx(*db);
    for (int i = 1; i <= 65; ++i) db->execute("INSERT INTO t(id) VALUES(?)", {i});
    tx.commit();
    auto p = db->queryPage("SELECT id FROM t ORDER BY id", {}, 3);
    EXPECT_EQ(p.pageCount, 3);
    EXPECT_EQ(p.page, 3);
    EXPECT_EQ(p.total, 65);
    ASSERT_EQ(p.rows.size(), 5u);
    EXPECT_EQ(p.rows.at(0, 0).toInt(), 61);
    auto first = db->queryPage("SELECT id FROM t WHERE id > ? ORDER BY id", {30}, 0);
    EXPECT_EQ(first.page, 1); // clamped
    EXPECT_EQ(first.pageCount, 2);
    EXPECT_EQ(first.rows.at(0, 0).toInt(), 31);
    auto beyond = db->queryPage("SELECT id FROM t ORDER BY id", {}, 99);
    EXPECT_EQ(beyond.page, 3);
    auto none = db->queryPage("SELECT id FROM t WHERE id < 0", {}, 1);
    EXPECT_EQ(none.pageCount, 0);
    EXPECT_TRUE(none.rows.empty());
}

TEST_F(DbTest, FailingStatementGivesNumberAndText) {
    try {
        db->execute("INSERT INTO no_such_table VALUES(1)");
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), 1); // SQLITE_ERROR
        EXPECT_NE(std::string(e.what()).find("no_such_table"), std::string::npos);
    }
    db->executeScript("CREATE UNIQUE INDEX tid ON t(id)");
    db->execute("INSERT INTO t(id) VALUES(1)");
    try {
        db->execute("INSERT INTO t(id) VALUES(1)");
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), 2067); // SQLITE_CONSTRAINT_UNIQUE
        EXPECT_NE(std::string(e.what()).find("UNIQUE"), std::string::npos);
    }
    EXPECT_THROW(db->execute("INSERT INTO t(id) VALUES(?)", {}), DbError); // value count
}

TEST_F(DbTest, RollbackLeavesTableAsItWasAndNests) {
    db->execute("INSERT INTO t(id) VALUES(1)");
    {
        Transaction tx(*db);
        db->execute("DELETE FROM t");
        db->execute("INSERT INTO t(id) VALUES(2)");
        // left without commit
    }
    EXPECT_EQ(db->scalar("SELECT group_concat(id) FROM t").toText(), "1");
    {
        Transaction outer(*db);
        db->execute("INSERT INTO t(id) VALUES(3)");
        {
            Transaction inner(*db);
            db->execute("INSERT INTO t(id) VALUES(4)");
        }
        outer.commit();
    }
    EXPECT_EQ(db->scalar("SELECT group_concat(id) FROM (SELECT id FROM t ORDER BY id)").toText(), "1,3");
    EXPECT_EQ(db->transactionDepth(), 0);
    EXPECT_THROW(db->commit(), DbError);
}

TEST_F(DbTest, SqlFunctions) {
    db->execute("INSERT INTO t(id, name, price, time) VALUES(12, '12', 3.14159, '2009-10-07 09:05:00')");
    auto r = db->query("SELECT format(id,'00000'), format(name,'00000'), format(price,'0.00'), format(price,'0.000'),"
                       " format(time,'yyyy-mm-dd'), format(time,'yyyymmddhhmm'), cstr(year(time)) || format(month(time),'00'),"
                       " day(time), format(5,'0'), format(7,'00'), format(123,'0000'), cstr(price), format('abc','00000') FROM t");
    const auto& row = r.rows.at(0);
    EXPECT_EQ(row[0].toText(), "00012");
    EXPECT_EQ(row[1].toText(), "00012");
    EXPECT_EQ(row[2].toText(), "3.14");
    EXPECT_EQ(row[3].toText(), "3.142");
    EXPECT_EQ(row[4].toText(), "2009-10-07");
    EXPECT_EQ(row[5].toText(), "200910070905");
    EXPECT_EQ(row[6].toText(), "200910");
    EXPECT_EQ(row[7].toInt(), 7);
    EXPECT_EQ(row[8].toText(), "5");
    EXPECT_EQ(row[9].toText(), "07");
    EXPECT_EQ(row[10].toText(), "0123");
    EXPECT_EQ(row[11].toText(), "3.14159");
    EXPECT_EQ(row[12].toText(), "abc");
    EXPECT_TRUE(db->scalar("SELECT year(NULL)").isNull());
    EXPECT_EQ(FormatValue("", true, -0.004, "0.00"), "0.00");
    EXPECT_EQ(FormatValue("", true, 2.345, "0.00"), "2.35");
}

TEST(Database, NewFileAndItsJournalAreOwnerOnlyWhateverTheUmask) {
    TempDir dir;
    const ::mode_t old = ::umask(022);
    auto db = Database::open(dir.file("ecr.db"));
    db->executeScript("CREATE TABLE t(x); INSERT INTO t VALUES(1);");
    ::umask(old);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        struct stat st {};
        ASSERT_EQ(::stat((dir.file("ecr.db") + suffix).c_str(), &st), 0) << suffix;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << suffix;
    }
}

TEST(Database, OpenFailureReportsPath) {
    try {
        Database::open("/nonexistent-dir/x/y.db", true);
        FAIL() << "opened";
    } catch (const DbError& e) {
        EXPECT_EQ(e.code(), 14); // SQLITE_CANTOPEN
        EXPECT_NE(std::string(e.what()).find("/nonexistent-dir/x/y.db"), std::string::npos);
    }
}
