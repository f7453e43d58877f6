#include "RowsFixture.h"
#include "records/Bundle.h"
#include "records/Fields.h"
#include "records/Member.h"
#include "records/Promotion.h"

using namespace ecr;
using namespace ecr::records;

TEST_F(RowsFixture, MemberPagesInsertOnlyAndSlotsRoundTrip) {
    db->execute("INSERT INTO member(userid,username,useraddress,tel,score,addr,sid) VALUES"
                "('88','A''s','','',10,0,100),('7','B','x','y',0,1,131),('9','late','','',0,0,132)");
    const Bytes page = build(kind::Member, 1);
    EXPECT_EQ(page[0], 0x00);
    EXPECT_EQ(page[4], 0x99);
    EXPECT_EQ(page[31 * 128 + 4], 0x08);
    EXPECT_TRUE(IsBlankBytes(ByteView(page).subspan(128, 30 * 128)));
    db->execute("DELETE FROM member");
    ASSERT_EQ(store(kind::Member, page, 1), "");
    EXPECT_EQ(text("SELECT group_concat(userid || ':' || username || ':' || sid, ' ') FROM member"),
              "88:A's:100 7:B:131");
    EXPECT_EQ(build(kind::Member, 1), page);
    // The parser never deletes: the same page again doubles the rows.
    ASSERT_EQ(store(kind::Member, page, 1), "");
    EXPECT_EQ(count("member"), 4);
}

TEST_F(RowsFixture, MemberBlankCodeGivesNoRow) {
    Bytes page = blankPage();
    TextToBytes("Nobody", ByteSpan(page).subspan(14, 32));
    ASSERT_EQ(store(kind::Member, page, 0), "");
    EXPECT_EQ(count("member"), 0);
}

TEST_F(RowsFixture, BundleBlankItemSlotsAndReceivedAddress) {
    Bytes rec(256, 0xFF);
    WriteCode("12", ByteSpan(rec).subspan(0, 8));
    WriteCode("4711", ByteSpan(rec).subspan(8, 8));
    NumberToBytes(1, ByteSpan(rec).subspan(16, 4), 3, false);
    NumberToBytes(9, ByteSpan(rec).subspan(132, 2), 0, false); // the register's number is not kept
    Bytes page = blankPage();
    std::copy(rec.begin(), rec.end(), page.begin() + 3 * 256);
    ASSERT_EQ(store(kind::Bundle, page, 2), "");
    // Blank item places read as empty codes and quantity 0.
    EXPECT_EQ(text("SELECT count(*)||'|'||bundlenumber||'|'||bundlename||'|'||address||'|'||sid||'|'||plu0number||'|'||"
                   "plu0quantity||'|'||plu1number||'|'||plu1quantity||'|'||plu9number FROM bundle"),
              "1|12||0|203|4711|1.0||0.0|");
}

TEST_F(RowsFixture, BundlePageRoundTrips) {
    db->execute("INSERT INTO bundle(bundlenumber,bundlename,price,address,sid,plu0number,plu0quantity,plu1number,"
                "plu1quantity,plu9number,plu9quantity) VALUES('1','Set one',9.99,0,300,'4711',1,'19',2.25,'2000001',2.5),"
                "('2','Set two',-1,0,315,'',0,'',0,'',0),('3','past the page',1,0,316,'',0,'',0,'',0)");
    const Bytes page = build(kind::Bundle, 3);
    EXPECT_EQ(page[15 * 256 + 4], 0x03);
    db->execute("DELETE FROM bundle");
    ASSERT_EQ(store(kind::Bundle, page, 3), "");
    EXPECT_EQ(text("SELECT group_concat(bundlenumber || ':' || sid || ':' || price, ' ') FROM bundle"),
              "1:300:9.99 2:315:-1.0");
    EXPECT_EQ(text("SELECT plu1quantity || ' ' || plu9number || ' ' || plu9quantity FROM bundle WHERE sid=300"),
              "2.25 2000001 2.5");
    EXPECT_EQ(build(kind::Bundle, 3), page);
}

TEST_F(RowsFixture, PromotionPageRoundTripsAndBadDatesAreReportedAndLeftOut) {
    db->execute("INSERT INTO params(PointEn) VALUES(1)");
    db->execute("INSERT INTO promotion(address,promotionname,pluid,sdate,edate,quantity,discountprice,PresentPluId,"
                "PresentQuantity) VALUES(700,'First','12','2009-10-20 00:00:00','2009-10-20 00:00:00',1,2.5,'',0),"
                "(763,'Last','13','2010-01-01 08:30:00','2010-12-31 00:00:00',3,0,'99',1)");
    Bytes page = build(kind::Promotion, 7);
    EXPECT_EQ(Bytes(page.begin() + 20, page.begin() + 24), (Bytes{25, 0, 0, 0}));
    db->execute("DELETE FROM promotion");
    ASSERT_EQ(store(kind::Promotion, page, 7), "");
    EXPECT_EQ(db->scalar("SELECT group_concat(address || ' ' || sdate || ' ' || edate, '|') FROM promotion "
                         "ORDER BY address")
                  .toText(),
              "700 2009-10-20 00:00:00 2009-10-20 00:00:00|763 2010-01-01 08:30:00 2010-12-31 00:00:00");
    EXPECT_EQ(build(kind::Promotion, 7), page);
    // A blank end date and 31 April name no day: those promotions are
    // reported and left out, the others kept.
    std::fill_n(page.begin() + 63 * 64 + 12, 4, 0xFF);
    EncodePromotion({702, "12", "2009-04-31 10:00:00", "2009-05-02 10:00:00", 1, 0, "", 0, "April"},
                    RecordAt(ByteSpan(page), 2, 64), 1);
    db->execute("DELETE FROM promotion");
    ASSERT_EQ(store(kind::Promotion, page, 7), "");
    EXPECT_EQ(text("SELECT group_concat(address) FROM promotion"), "700");
    EXPECT_EQ(last.skipped, (std::vector<link::RecordError>{
                                {kind::Promotion, 7, 2, "start date 2009-4-31 10:0 is not a real date"},
                                {kind::Promotion, 7, 63, "end date 4095-1-31 31:63 is not a real date"}}));
    EXPECT_TRUE(std::filesystem::exists(ErrorLogPath()));
}

TEST_F(RowsFixture, WholeUploadEmptiesTheTableWithItsFirstPage) {
    db->execute("INSERT INTO member(userid,username,sid) VALUES('5','old',0)");
    Bytes page0 = blankPage(), page1 = blankPage();
    EncodeMember({0, "7", "seven", "", "", 0, 0}, RecordAt(ByteSpan(page0), 0, kMemberRecordSize));
    EncodeMember({0, "8", "eight", "", "", 0, 0}, RecordAt(ByteSpan(page1), 0, kMemberRecordSize));
    ctx.replaceTable = true;
    // A page that fails to store leaves the old rows and the request standing.
    db->executeScript("CREATE TRIGGER boom BEFORE INSERT ON member BEGIN SELECT RAISE(ABORT, 'full'); END;");
    EXPECT_EQ(store(kind::Member, page0, 0), "full");
    EXPECT_EQ(text("SELECT group_concat(username) FROM member"), "old");
    EXPECT_TRUE(ctx.replaceTable);
    db->executeScript("DROP TRIGGER boom;");
    ASSERT_EQ(store(kind::Member, page0, 0), "");
    EXPECT_FALSE(ctx.replaceTable);
    ASSERT_EQ(store(kind::Member, page1, 1), "");
    EXPECT_EQ(text("SELECT group_concat(username || sid, ' ') FROM member"), "seven0 eight100");
    // Kinds whose table is never emptied keep their rows.
    db->execute("INSERT INTO plu(id,name,sid) VALUES('1','kept',0)");
    ctx.replaceTable = true;
    ASSERT_EQ(store(kind::Plu, blankPage(), 0), "");
    EXPECT_EQ(count("plu"), 1);
}
