#include "TempDir.h"
#include "db/Schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <fstream>
#include <sstream>

using namespace ecr::db;

namespace {

std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Tables and columns as the program spells them (plus info.portname and
// info.codepage, the serial device by name and the register code page).
const std::map<std::string, std::string> kExpected = {
    {"info", "lang port rate oem keyboard ecrtype ver passwd portname codepage"},
    {"msglist", "msgid Simplified Traditional English French Vietnam Thailand Farsi"},
    {"buttontext", "keytype keycode Chn_Content Eng_Content French_content Vietnam_content farsi_content thailand_content"},
    {"params",
     "Language MachineNumber PassWordEn CashierTotal SaleTotal ManagerPwd NoteHeadEn NoteEndEn NotePrint "
     "NoteHead1 NoteHead2 NoteHead3 NoteHead4 NoteHead5 NoteHead6 NoteHead7 NoteHead8 NoteHead9 "
     "NoteEnd1 NoteEnd2 NoteEnd3 NoteEnd4 NoteEnd5 NoteEnd6 NoteEnd7 NoteEnd8 NoteEnd9 "
     "UserNameAndAddress1 UserNameAndAddress2 UserNameAndAddress3 UserNameAndAddress4 UserNameAndAddress5 "
     "UserNameAndAddress6 ModeSelect0 ModeSelect1 ModeSelect2 PointEn PayWay3NativeCurrency PayWay3ForeignCurrency "
     "PayWay4NativeCurrency PayWay4ForeignCurrency PayWay5NativeCurrency PayWay5ForeignCurrency "
     "PayWay6NativeCurrency PayWay6ForeignCurrency Price3 Price4 Price5 Price6 RoundingMethod RoundPosition "
     "PrintDensity InStoreCode ServiceChargeEn ServiceChargeValue Taste1 Taste2 Taste3 Taste4 Taste5 Taste6 "
     "Taste7 Taste8 UART_BPS RegNo OtherSetting LocalCurrencyAbbr FiscalInfo TaxItem TaxDefaultValue PortA PortB "
     "TaxPrintEn MemberScoreRule Discount1Name Discount2Name ServiceCharge1Name ServiceCharge2Name"},
    {"params_all", "param_str"},
    {"cashier", "id name passwd a0 a1 a2 a3 a7 a8 a9 a10 a11 a12 a13 a14 a15 a16"},
    {"depart", "id name price discounten tax addr KitchenEn"},
    {"hotkey", "keyaddress content content2 function"},
    {"plu", "id name depart price safestock stockvalue a0 memberprice AveragePrice sid"},
    {"member", "userid username useraddress tel score addr sid"},
    {"bundle",
     "bundlenumber bundlename price address sid plu0number plu0quantity plu1number plu1quantity plu2number "
     "plu2quantity plu3number plu3quantity plu4number plu4quantity plu5number plu5quantity plu6number plu6quantity "
     "plu7number plu7quantity plu8number plu8quantity plu9number plu9quantity"},
    {"promotion", "address promotionname pluid sdate edate quantity discountprice PresentPluId PresentQuantity"},
    {"flashcash", "type total"},
    {"fiscal", "fyear fday saleprice refundprice taxprice bill refundnum mdate"},
    {"plurecord",
     "billnumber pluid pluname unitprice price quantity time operation depart departname taxvalue cashier "
     "opentable sid"},
    {"plurecordfat", "fat1 fat2"},
    {"rpt_time", "starttime endtime"},
    {"rpt_top25plu", "pluid pluname saleprice salequantity returnprice returnquantity grossprofits"},
};

const std::map<std::string, std::string> kViews = {
    {"q_plurecord", "billnumber"},
    {"q_plurecord_old", "billnumber"},
    {"q_plu25_plurecord_top25", "pluid"},
    {"q_plurecord_cashier", "cashier"},
    {"rpt_cashier_summary1", "cashier pricetotal quantitytotal"},
    {"rpt_cashier_summary2", "cashier pricetotal quantitytotal"},
};

struct SchemaTest : ::testing::Test {
    TempDir dir;
    bool created = false;
    std::unique_ptr<Database> db = OpenOrCreate(dir.file("sub/ecr.db"), &created);
};

} // namespace

TEST_F(SchemaTest, TablesAndColumnsExactlyAsSpelled) {
    ASSERT_TRUE(created);
    std::set<std::string> tables;
    for (auto& r : db->query("SELECT name FROM sqlite_schema WHERE type='table'").rows) tables.insert(r[0].toText());
    std::set<std::string> expectedTables;
    for (auto& [t, _] : kExpected) expectedTables.insert(t);
    EXPECT_EQ(tables, expectedTables);
    for (auto& [table, cols] : kExpected) EXPECT_EQ(db->columns(table), split(cols)) << table;
}

TEST_F(SchemaTest, StoredQueriesReadThePeriodFromRptTime) {
    for (auto& [view, cols] : kViews) {
        auto have = db->columns(view);
        std::set<std::string> haveLower;
        for (auto& c : have) haveLower.insert(lower(c));
        for (auto& c : split(cols)) EXPECT_TRUE(haveLower.count(c)) << view << " lacks " << c;
    }
    db->executeScript(
        "INSERT INTO cashier(id,name) VALUES(1,'Ann'),(2,'Bob');"
        "INSERT INTO plu(id,name,sid) VALUES('5','Five',0),('6','Six',1);"
        "INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,cashier,opentable) VALUES"
        "(1,'5',10,1,'2009-10-07 09:00:00',0,1,0),(1,'6',4,2,'2009-10-07 09:00:00',0,1,0),"
        "(2,'5',-10,-1,'2009-10-07 23:59:59',8,2,0),(3,'5',99,1,'2009-10-08 00:00:00',0,1,0),"
        "(0,'5',50,1,'2009-10-07 10:00:00',0,1,0),(4,'5',50,1,'2009-10-07 10:00:00',0,1,1);"
        "INSERT INTO rpt_time(starttime,endtime) VALUES('2009-10-07 00:00:00','2009-10-07 23:59:59');");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM q_plurecord").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM q_plurecord_cashier WHERE cashier=1").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT group_concat(pluid) FROM q_plu25_plurecord_top25").toText(), "6,5");
    auto r = db->query("SELECT a.cashier, a.pricetotal, b.pricetotal, b.quantitytotal FROM rpt_cashier_summary1 a "
                       "LEFT JOIN rpt_cashier_summary2 b ON a.cashier=b.cashier ORDER BY a.cashier");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_DOUBLE_EQ(r.at(0, 1).toDouble(), 14);
    EXPECT_DOUBLE_EQ(r.at(1, 2).toDouble(), -10);
    EXPECT_DOUBLE_EQ(r.at(1, 3).toDouble(), -1);
}

// What the bill counts and the best-seller ranking select.
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
