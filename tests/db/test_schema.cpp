#include "TempDir.h"
#include "db/Schema.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

using namespace ecr::db;

namespace {

struct SchemaTest : ::testing::Test {
    TempDir dir;
    bool created = false;
    std::unique_ptr<Database> db = OpenOrCreate(dir.file("sub/ecr.db"), &created);
};

} // namespace

TEST_F(SchemaTest, MissingTablesAreNamedInSchemaOrder) {
    ASSERT_TRUE(created);
    EXPECT_TRUE(MissingTables(*db).empty());
    db->executeScript("DROP TABLE params; DROP TABLE info;");
    EXPECT_EQ(MissingTables(*db), (std::vector<std::string>{"info", "params"}));
    // Table names compare without case, as SQLite compares them.
    db->executeScript("CREATE TABLE INFO(lang INTEGER);");
    EXPECT_EQ(MissingTables(*db), std::vector<std::string>{"params"});
}

// What the bill counts and the best-seller ranking select. (The reports'
// figures over the period in rpt_time are checked in the report tests.)
TEST_F(SchemaTest, StoredQueriesAgreeOnTheLinesTheyCount) {
    db->executeScript(
        "INSERT INTO cashier(id,name) VALUES(1,'Ann'),(2,'Bob');"
        "INSERT INTO plu(id,name,sid) VALUES('5','Five',0),('6','Six',1);"
        "INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable) VALUES"
        // bill 1: lines at two different minutes
        "(1,'5',10,1,'2009-10-07 09:00:00',0,1,1,0),(1,'6',4,1,'2009-10-07 09:01:30',0,1,1,0),"
        "(1,'',14,0,'2009-10-07 09:01:30',32,0,1,0),"
        // bill 2: a bundle sold 9 times and a PLU code missing from the file
        "(2,'501',90,9,'2009-10-07 10:00:00',0,0,2,0),(2,'77',8,8,'2009-10-07 10:00:00',0,1,2,0),"
        // bill 3: only a line of a code no report reads
        "(3,'5',1,1,'2009-10-07 11:00:00',12,1,2,0),"
        // bill 4 again the next day
        "(4,'5',1,1,'2009-10-08 09:00:00',0,1,1,0);"
        "INSERT INTO rpt_time(starttime,endtime) VALUES('2009-10-07 00:00:00','2009-10-07 23:59:59');");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM q_plurecord").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM q_plurecord_cashier").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM q_plurecord_cashier WHERE cashier=2").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM q_plurecord_old").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT group_concat(pluid) FROM q_plu25_plurecord_top25").toText(), "5,6");

    // Over two days a bill number the register started again counts again.
    db->executeScript("UPDATE plurecord SET billnumber=1 WHERE billnumber=4;"
                      "UPDATE rpt_time SET endtime='2009-10-08 23:59:59';");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM q_plurecord_old").toInt(), 3);
}

TEST_F(SchemaTest, OpeningAnOlderFileReplacesItsStoredQueries) {
    db->executeScript("DROP VIEW q_plu25_plurecord_top25;"
                      "CREATE VIEW q_plu25_plurecord_top25 AS SELECT pluid, 0 AS salequantity FROM plurecord;");
    db.reset();
    db = OpenOrCreate(dir.file("sub/ecr.db"));
    const std::string sql = db->scalar("SELECT sql FROM sqlite_schema WHERE name='q_plu25_plurecord_top25'").toText();
    EXPECT_NE(sql.find("JOIN plu u"), std::string::npos) << sql;
    // An up-to-date file is left alone.
    const auto before = db->scalar("PRAGMA schema_version").toInt();
    RefreshStoredQueries(*db);
    EXPECT_EQ(db->scalar("PRAGMA schema_version").toInt(), before);
}

// A file made before some texts existed gets them on opening; a text the
// user changed stays changed.
TEST_F(SchemaTest, OpeningAnOlderFileAddsTheTextsItLacks) {
    const std::string english = db->scalar("SELECT English FROM msglist WHERE msgid = 120201").toText();
    ASSERT_FALSE(english.empty());
    const long long all = db->scalar("SELECT count(*) FROM msglist").toInt();
    db->executeScript("DELETE FROM msglist WHERE msgid >= 120200;"
                      "UPDATE msglist SET English = 'Our own save' WHERE msgid = 111009;");
    db.reset();
    db = OpenOrCreate(dir.file("sub/ecr.db"));
    EXPECT_EQ(db->scalar("SELECT English FROM msglist WHERE msgid = 120201").toText(), english);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM msglist").toInt(), all);
    EXPECT_EQ(db->scalar("SELECT English FROM msglist WHERE msgid = 111009").toText(), "Our own save");
    // Nothing is written when every text is there.
    const auto changes = db->scalar("SELECT total_changes()").toInt();
    AddMissingTexts(*db);
    EXPECT_EQ(db->scalar("SELECT total_changes()").toInt(), changes);
}

TEST_F(SchemaTest, SeedRowsAndReopenKeepsData) {
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plurecordfat").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 0);
    db->execute("INSERT INTO plu(id, name, sid) VALUES('1', 'x', 0)");
    db.reset();
    bool again = true;
    auto db2 = OpenOrCreate(dir.file("sub/ecr.db"), &again);
    EXPECT_FALSE(again);
    EXPECT_EQ(db2->scalar("SELECT count(*) FROM plu").toInt(), 1);
    EXPECT_EQ(db2->scalar("SELECT count(*) FROM plurecordfat").toInt(), 1);
}

TEST(Schema, TsvParsing) {
    auto rows = ParseTsv("a\tb\tc\r\n1\tline\\none\t\n\n2\tx\\ty\tz\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "line\none", ""}));
    EXPECT_EQ(rows[2][1], "x\ty");
}

TEST(Schema, NotADatabaseFileIsRefused) {
    TempDir dir;
    {
        std::ofstream f(dir.file("junk.db"));
        f << "this is not a database file, just some text long enough to matter";
    }
    EXPECT_THROW(OpenOrCreate(dir.file("junk.db")), DbError);
}

// A file made before an index existed gets it on opening; one whose rows
// break a unique index still opens, without that index.
TEST_F(SchemaTest, OpeningAnOlderFileAddsTheIndexesItLacks) {
    auto indexes = [&] {
        std::set<std::string> names;
        for (const auto& r : db->query("SELECT name FROM sqlite_schema WHERE type='index' AND sql IS NOT NULL").rows)
            names.insert(r[0].toText());
        return names;
    };
    const std::set<std::string> all = indexes();
    ASSERT_TRUE(all.count("plurecord_month_bill"));
    db->executeScript("DROP INDEX plurecord_month_bill; DROP INDEX plu_id;"
                      "INSERT INTO plu(id, name) VALUES('7', 'a'), ('7', 'b');");
    db.reset();
    db = OpenOrCreate(dir.file("sub/ecr.db"));
    std::set<std::string> expected = all;
    expected.erase("plu_id");
    EXPECT_EQ(indexes(), expected);
    // The month index answers the journal viewer's bill pages alone.
    const auto plan = db->query("EXPLAIN QUERY PLAN SELECT billnumber, sum(price) FROM plurecord "
                                "WHERE substr(time,1,7)=? GROUP BY billnumber, time, cashier",
                                {"2009-10"});
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_NE(plan.rows[0][3].toText().find("COVERING INDEX plurecord_month_bill"), std::string::npos);
    // Nothing is written when every index is there.
    const auto before = db->scalar("PRAGMA schema_version").toInt();
    db->execute("DELETE FROM plu");
    AddMissingIndexes(*db);
    EXPECT_EQ(db->scalar("PRAGMA schema_version").toInt(), before + 1); // plu_id, now possible
    AddMissingIndexes(*db);
    EXPECT_EQ(db->scalar("PRAGMA schema_version").toInt(), before + 1);
}
