#include "RecordsFixture.h"
#include "records/Fields.h"
#include "records/Plu.h"

using namespace ecr;
using namespace ecr::records;

namespace {

PluRecord tea() {
    PluRecord r;
    r.sid = 5;
    r.id = "019";
    r.name = "Tea";
    r.depart = 3;
    r.price = 7;
    r.memberprice = 6.5;
    r.averagePrice = 4.25;
    r.safestock = -2.5;
    r.stockvalue = 10.125;
    r.a0 = 1;
    return r;
}

} // namespace

TEST_F(RecordsFixture, PluRecordBytesExactly) {
    Bytes rec(64, 0xFF);
    ASSERT_TRUE(EncodePlu(tea(), rec, 2));
    const Bytes expected = {
        0x00, 0x00, 0x00, 0x00, 0x2A, 0x01, 0x00, 0x00, // code 019, right-aligned nibbles
        0xBC, 0x02, 0x00, 0x00,                         // price 7.00
        0x8A, 0x02, 0x00, 0x00,                         // member price 6.50
        0x3B, 0xF6, 0xFF, 0xFF,                         // safestock -2.500, one's complement
        0x8D, 0x27, 0x00, 0x00,                         // stock slot 1: 10.125
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // slots 2..4 blank
        0xA9, 0x01, 0x00, 0x00,                         // average price 4.25
        'T', 'e', 'a', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        0xFE, 0x03, 0xFF, 0xFF};
    EXPECT_EQ(rec, expected);
    EXPECT_EQ(*DecodePlu(rec, 0, 5, 2), tea());
}

TEST_F(RecordsFixture, PluBlankCodesGiveNoRecord) {
    Bytes rec(64, 0xFF);
    TextToBytes("Named", ByteSpan(rec).subspan(40, 20));
    EXPECT_FALSE(DecodePlu(rec, 0, 0, 2));
    rec[0] = rec[1] = rec[2] = rec[3] = 0x00; // first word set, second still blank
    EXPECT_FALSE(DecodePlu(rec, 0, 0, 2));
    rec[4] = rec[5] = rec[6] = rec[7] = 0x00; // both words zero: no digits at all
    EXPECT_FALSE(DecodePlu(rec, 0, 0, 2));
    rec[4] = 0x02; // "1"
    auto r = DecodePlu(rec, 2, 9, 2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->id, "1");
    EXPECT_EQ(r->sid, 209);
    EXPECT_EQ(r->name, "Named");
}

TEST_F(RecordsFixture, PluStockIsTheNewestWrittenSlot) {
    Bytes rec(64, 0xFF);
    ASSERT_TRUE(EncodePlu(tea(), rec, 2));
    auto stockOf = [&](const Bytes& r) { return DecodePlu(r, 0, 0, 2)->stockvalue; };
    NumberToBytes(5.0, ByteSpan(rec).subspan(20, 4), 3, true);
    NumberToBytes(3.0, ByteSpan(rec).subspan(24, 4), 3, true);
    EXPECT_DOUBLE_EQ(stockOf(rec), 3.0); // 28 and 32 blank
    NumberToBytes(-1.5, ByteSpan(rec).subspan(32, 4), 3, true);
    EXPECT_DOUBLE_EQ(stockOf(rec), -1.5); // 28 blank, 32 is newer
    for (int off : kPluStockSlots) std::fill_n(rec.begin() + off, 4, 0xFF);
    EXPECT_DOUBLE_EQ(stockOf(rec), 0.0);
}

TEST_F(RecordsFixture, PluFlagByte) {
    Bytes rec(64, 0xFF);
    PluRecord r = tea();
    r.a0 = 0;
    EncodePlu(r, rec, 2);
    EXPECT_EQ(rec[60], 0xFF);
    EXPECT_EQ(DecodePlu(rec, 0, 0, 2)->a0, 0);
    rec[60] = 0x00;
    EXPECT_EQ(DecodePlu(rec, 0, 0, 2)->a0, 0);
    rec[60] = 0xFE;
    EXPECT_EQ(DecodePlu(rec, 0, 0, 2)->a0, 1);
}

TEST_F(RecordsFixture, PluPricesScaleByPointEn) {
    db->execute("INSERT INTO plu(id,name,depart,price,safestock,stockvalue,a0,memberprice,AveragePrice,sid) "
                "VALUES('7','Seven',1,7,0,0,0,0,0,0)");
    Bytes page = BuildPage(ctx, kind::Plu, 0); // no params row: 2 decimals
    EXPECT_EQ(Bytes(page.begin() + 8, page.begin() + 12), (Bytes{0xBC, 0x02, 0x00, 0x00}));
    db->execute("INSERT INTO params(PointEn) VALUES(0)");
    page = BuildPage(ctx, kind::Plu, 0);
    EXPECT_EQ(Bytes(page.begin() + 8, page.begin() + 12), (Bytes{0x07, 0x00, 0x00, 0x00}));
    // Received with the same setting, the price comes back as 7.
    ASSERT_EQ(StoreReceivedPage(ctx, kind::Plu, page, 0), "");
    EXPECT_DOUBLE_EQ(db->scalar("SELECT price FROM plu WHERE id='7'").toDouble(), 7.0);
}

TEST_F(RecordsFixture, PluPageSlotsAndRoundTrip) {
    // sid 163 is the last record of page 1; 170 has no place in any page.
    db->execute("INSERT INTO plu(id,name,depart,price,safestock,stockvalue,a0,memberprice,AveragePrice,sid) VALUES"
                "('1001','First',1,1.5,-5,12.25,1,1.25,0.75,100),"
                "('99999999','Last',200,0,0,-3,0,0,0,163),"
                "('555','Nowhere',1,1,0,0,0,0,0,170),"
                "('1234567890123456','Long code',2,9999.99,2,0,0,0,0,101)");
    Bytes page = BuildPage(ctx, kind::Plu, 1);
    EXPECT_EQ(page[63 * 64 + 61], 200);
    EXPECT_EQ(page[2 * 64], 0xFF); // record 2 stays blank
    EXPECT_EQ(BuildPage(ctx, kind::Plu, 0), blankPage());
    db->execute("DELETE FROM plu");
    ASSERT_EQ(StoreReceivedPage(ctx, kind::Plu, page, 1), "");
    EXPECT_EQ(count("plu"), 3);
    auto rows = db->query("SELECT id,name,depart,price,safestock,stockvalue,a0,memberprice,AveragePrice,sid "
                          "FROM plu ORDER BY sid");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows.rows[0][0].toText(), "1001");
    EXPECT_DOUBLE_EQ(rows.rows[0][4].toDouble(), -5.0); // negative minimum stock survives
    EXPECT_DOUBLE_EQ(rows.rows[0][5].toDouble(), 12.25);
    EXPECT_EQ(rows.rows[0][6].toInt(), 1);
    EXPECT_DOUBLE_EQ(rows.rows[0][8].toDouble(), 0.75);
    EXPECT_EQ(rows.rows[1][0].toText(), "1234567890123456");
    EXPECT_DOUBLE_EQ(rows.rows[1][3].toDouble(), 9999.99);
    EXPECT_EQ(rows.rows[1][9].toInt(), 101);
    EXPECT_EQ(rows.rows[2][0].toText(), "99999999");
    EXPECT_DOUBLE_EQ(rows.rows[2][5].toDouble(), -3.0);
    EXPECT_EQ(rows.rows[2][9].toInt(), 163);
    // Page to rows to page keeps every byte.
    EXPECT_EQ(BuildPage(ctx, kind::Plu, 1), page);
}

TEST_F(RecordsFixture, PluReceivedCodeReplacesItsRowWhereverItWas) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('42','old',7),('43','kept',8)");
    Bytes page = blankPage();
    PluRecord r = tea();
    r.id = "42";
    r.name = "new";
    EncodePlu(r, RecordAt(ByteSpan(page), 30, 64), 2);
    ASSERT_EQ(StoreReceivedPage(ctx, kind::Plu, page, 2), "");
    EXPECT_EQ(db->scalar("SELECT name || sid FROM plu WHERE id='42'").toText(), "new230");
    EXPECT_EQ(count("plu"), 2); // a row the register did not send stays
}

TEST_F(RecordsFixture, PluCodeLongerThanSixteenDigitsIsNotSent) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('12345678901234567','too long',0)");
    EXPECT_EQ(BuildPage(ctx, kind::Plu, 0), blankPage());
}
