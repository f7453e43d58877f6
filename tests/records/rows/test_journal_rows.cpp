#include "../SampleRecords.h"
#include "RowsFixture.h"
#include "records/Fields.h"
#include "records/Journal.h"


using namespace ecr;
using namespace ecr::records;
using namespace ecr::records::samples;

TEST_F(RowsFixture, JournalPriceKeepsItsDecimalsBothWays) {
    db->execute("INSERT INTO params(PointEn) VALUES(3)");
    db->execute("INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable,sid) "
                "VALUES(1,'5',12.345,2,'2009-10-07 09:05:00',0,1,1,0,4)");
    Bytes page = build(kind::Journal, 0);
    EXPECT_EQ(Bytes(page.begin() + 4 * 32 + 12, page.begin() + 4 * 32 + 16), (Bytes{0x39, 0x30, 0x00, 0x00}));
    ASSERT_EQ(store(kind::Journal, page, 0), "");
    EXPECT_DOUBLE_EQ(db->scalar("SELECT price FROM plurecord WHERE sid=4").toDouble(), 12.345);
    EXPECT_EQ(count("plurecord"), 1);
}

TEST_F(RowsFixture, JournalLookUpsOfNamesPricesAndTax) {
    state.taxDefault = 6;
    db->execute("INSERT INTO depart(id,name,tax) VALUES(2,'Food',17),(4,'Untaxed',-1)");
    db->execute("INSERT INTO plu(id,name,price,sid) VALUES('12','Rice',3.5,0)");
    db->execute("INSERT INTO bundle(bundlenumber,bundlename,price,sid) VALUES('12','Lunch set',25,0)");
    Bytes page = blankPage();
    auto put = [&](int index, const std::string& code, int depart) {
        JournalRecord r = sale();
        r.pluid = code;
        r.depart = depart;
        EncodeJournal(r, RecordAt(ByteSpan(page), index, 32), 2);
    };
    put(0, "12", 2);            // PLU and department found
    put(1, "12", kBundleDepart); // bundle 12
    put(2, "13", kBundleDepart); // unknown bundle
    put(3, "99", 4);            // negative department tax, unknown PLU
    put(4, "12", 9);            // unknown department
    ASSERT_EQ(store(kind::Journal, page, 0), "");
    EXPECT_FALSE(ctx.endOfData);
    EXPECT_EQ(text("SELECT group_concat(pluname||'|'||unitprice||'|'||depart||'|'||departname||'|'||taxvalue, ' ; ') "
                   "FROM (SELECT * FROM plurecord ORDER BY sid)"),
              "Rice|3.5|2|Food|17.0 ; Lunch set|25.0|0||0.0 ; |0.0|0||0.0 ; |0.0|4|Untaxed|6.0 ; Rice|3.5|9||6.0");
}

TEST_F(RowsFixture, JournalBlankPageEndsTheRun) {
    db->execute("INSERT INTO plurecord(billnumber,sid) VALUES(9,0)");
    ASSERT_EQ(store(kind::Journal, blankPage(), 0), "");
    EXPECT_TRUE(ctx.endOfData);
    EXPECT_EQ(count("plurecord"), 1);
    // A page with some blank records is not the end.
    ctx.endOfData = false;
    Bytes page = blankPage();
    EncodeJournal(sale(), RecordAt(ByteSpan(page), 127, 32), 2);
    ASSERT_EQ(store(kind::Journal2, page, 5), "");
    EXPECT_FALSE(ctx.endOfData);
    EXPECT_EQ(text("SELECT group_concat(sid) FROM plurecord ORDER BY sid"), "0,5127");
}

TEST_F(RowsFixture, JournalSamePageTwiceKeepsOneRowPerSlot) {
    Bytes page = blankPage();
    for (int i = 0; i < 3; ++i) EncodeJournal(sale(), RecordAt(ByteSpan(page), i, 32), 2);
    ASSERT_EQ(store(kind::Journal, page, 1), "");
    ASSERT_EQ(store(kind::Journal, page, 1), "");
    EXPECT_EQ(text("SELECT group_concat(sid) FROM plurecord ORDER BY sid"), "1000,1001,1002");
}

TEST_F(RowsFixture, JournalSecondAreaPagesAreBuiltFromTheirOwnRows) {
    db->execute("INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable,sid) "
                "VALUES(7,'1',1,1,'2009-10-07 09:05:00',0,1,1,0,3000),"
                "(8,'1',1,1,'2009-10-07 09:05:00',0,1,1,0,3127),"
                "(9,'1',1,1,'2009-10-07 09:05:00',0,1,1,0,3128)"); // 128 is past the page
    for (int k : {kind::Journal, kind::Journal2}) {
        const Bytes page = build(k, 3);
        EXPECT_EQ(page[0], 7);
        EXPECT_EQ(page[127 * 32], 8);
        EXPECT_EQ(std::count(page.begin(), page.end(), 0xFF), 4096 - 2 * 28);
    }
    EXPECT_EQ(build(kind::Journal2, 2), blankPage());
}

TEST_F(RowsFixture, JournalRowsToPageToRowsAndBack) {
    db->execute("INSERT INTO plu(id,name,price,sid) VALUES('4711','Soap',2.5,0)");
    db->execute("INSERT INTO depart(id,name,tax) VALUES(1,'Shop',5)");
    db->executeScript(
        "INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable,sid) VALUES"
        "(1,'4711',5,2,'2009-12-31 23:59:00',0,1,2,0,2000),"
        "(1,'4711',-2.5,-1,'2009-12-31 23:59:00',8,1,2,0,2001),"
        "(0,'',100,0,'2010-01-01 00:00:00',32,0,2,1,2127);");
    const Bytes page = build(kind::Journal, 2);
    db->execute("DELETE FROM plurecord");
    ASSERT_EQ(store(kind::Journal, page, 2), "");
    EXPECT_EQ(text("SELECT group_concat(billnumber||','||pluid||','||pluname||','||price||','||quantity||','||time||','||"
                   "operation||','||cashier||','||opentable||','||sid, ' | ') FROM (SELECT * FROM plurecord ORDER BY sid)"),
              "1,4711,Soap,5.0,2.0,2009-12-31 23:59:00,0,2,0,2000 | "
              "1,4711,Soap,-2.5,-1.0,2009-12-31 23:59:00,8,2,0,2001 | "
              "0,,,100.0,0.0,2010-01-01 00:00:00,32,2,1,2127");
    EXPECT_EQ(build(kind::Journal, 2), page);
}

TEST_F(RowsFixture, JournalRecordWithoutARealDateIsReportedAndTheRestKept) {
    Bytes page = blankPage();
    EncodeJournal(sale(), RecordAt(ByteSpan(page), 0, 32), 2);
    EncodeJournal(sale(), RecordAt(ByteSpan(page), 1, 32), 2);
    // 2009-2-30 is no day
    NumberToBytes(DateTextToPacked("200902301200"), ByteSpan(page).subspan(32 + 20, 4), 0, false);
    ASSERT_EQ(store(kind::Journal, page, 0), "");
    EXPECT_EQ(text("SELECT group_concat(sid) FROM plurecord"), "0");
    EXPECT_EQ(last.skipped, (std::vector<link::RecordError>{
                                {kind::Journal, 0, 1, "date 2009-2-30 12:0 is not a real date"}}));
    EXPECT_EQ(firstLogLine(), "Location:      GetData_GetPluRecordStruct\r");
}

TEST_F(RowsFixture, JournalAllocationPagesAndTable) {
    // Without stored pages every entry is -1 and nothing but 0xFF is sent.
    const JournalPageTable none = rows::LoadJournalPageTable(*db);
    EXPECT_EQ(std::count(none.entries.begin(), none.entries.end(), -1), 2048);
    EXPECT_EQ(build(kind::JournalFat, 0), blankPage());
    Bytes fat0 = blankPage(), fat1 = blankPage();
    NumberToBytes(2, ByteSpan(fat0).subspan(0, 4), 0, false);
    NumberToBytes(0, ByteSpan(fat0).subspan(4, 4), 0, false);
    NumberToBytes(-2, ByteSpan(fat0).subspan(12, 4), 0, false); // FE FF FF FF is no blank
    NumberToBytes(77, ByteSpan(fat0).subspan(4092, 4), 0, false);
    NumberToBytes(5, ByteSpan(fat1).subspan(8, 4), 0, false);
    ASSERT_EQ(store(kind::JournalFat, fat0, 0), "");
    ASSERT_EQ(store(kind::JournalFat, fat1, 1), "");
    const JournalPageTable journal = rows::LoadJournalPageTable(*db);
    const std::vector<std::pair<int, int>> entries = {{0, 2},   {1, 0},     {2, -1},   {3, -2},
                                                      {1023, 77}, {1024, -1}, {1026, 5}, {2047, -1}};
    for (auto [k, v] : entries) EXPECT_EQ(journal.entries[static_cast<std::size_t>(k)], v) << k;
    EXPECT_EQ(std::count(journal.entries.begin(), journal.entries.end(), -1), 2048 - 5);
    const std::string fat1Text = text("SELECT fat1 FROM plurecordfat");
    EXPECT_EQ(fat1Text.substr(0, 24), "2,0,0,0,0,0,0,0,255,255,");
    EXPECT_EQ(fat1Text.substr(fat1Text.size() - 9), ",77,0,0,0");
    EXPECT_EQ(count("plurecordfat"), 1);
    // Sent back byte for byte.
    EXPECT_EQ(build(kind::JournalFat, 0), fat0);
    EXPECT_EQ(build(kind::JournalFat, 1), fat1);
}
