#include "../SampleRecords.h"
#include "RowsFixture.h"
#include "records/Fields.h"
#include "records/Plu.h"

using namespace ecr;
using namespace ecr::records;
using namespace ecr::records::samples;

TEST_F(RowsFixture, PluPricesScaleByPointEn) {
    db->execute("INSERT INTO plu(id,name,depart,price,safestock,stockvalue,a0,memberprice,AveragePrice,sid) "
                "VALUES('7','Seven',1,7,0,0,0,0,0,0)");
    Bytes page = build(kind::Plu, 0); // no params row: 2 decimals
    EXPECT_EQ(Bytes(page.begin() + 8, page.begin() + 12), (Bytes{0xBC, 0x02, 0x00, 0x00}));
    db->execute("INSERT INTO params(PointEn) VALUES(0)");
    page = build(kind::Plu, 0);
    EXPECT_EQ(Bytes(page.begin() + 8, page.begin() + 12), (Bytes{0x07, 0x00, 0x00, 0x00}));
    // Received with the same setting, the price comes back as 7.
    ASSERT_EQ(store(kind::Plu, page, 0), "");
    EXPECT_DOUBLE_EQ(db->scalar("SELECT price FROM plu WHERE id='7'").toDouble(), 7.0);
}

TEST_F(RowsFixture, PluPageSlotsAndRoundTrip) {
    // sid 163 is the last record of page 1; 170 has no place in any page.
    db->execute("INSERT INTO plu(id,name,depart,price,safestock,stockvalue,a0,memberprice,AveragePrice,sid) VALUES"
                "('1001','First',1,1.5,-5,12.25,1,1.25,0.75,100),"
                "('99999999','Last',200,0,0,-3,0,0,0,163),"
                "('555','Nowhere',1,1,0,0,0,0,0,170),"
                "('1234567890123456','Long code',2,9999.99,2,0,0,0,0,101)");
    Bytes page = build(kind::Plu, 1);
    EXPECT_EQ(page[63 * 64 + 61], 200);
    EXPECT_EQ(page[2 * 64], 0xFF); // record 2 stays blank
    EXPECT_EQ(build(kind::Plu, 0), blankPage());
    db->execute("DELETE FROM plu");
    ASSERT_EQ(store(kind::Plu, page, 1), "");
    // Negative minimum stock survives; 170 was not sent.
    EXPECT_EQ(text("SELECT group_concat(id||','||name||','||depart||','||price||','||safestock||','||stockvalue||','||a0"
                   "||','||memberprice||','||AveragePrice||','||sid, ' | ') FROM (SELECT * FROM plu ORDER BY sid)"),
              "1001,First,1,1.5,-5.0,12.25,1,1.25,0.75,100 | "
              "1234567890123456,Long code,2,9999.99,2.0,0.0,0,0.0,0.0,101 | "
              "99999999,Last,200,0.0,0.0,-3.0,0,0.0,0.0,163");
    // Page to rows to page keeps every byte.
    EXPECT_EQ(build(kind::Plu, 1), page);
}

TEST_F(RowsFixture, PluReceivedCodeReplacesItsRowWhereverItWas) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('42','old',7),('43','kept',8)");
    Bytes page = blankPage();
    PluRecord r = tea();
    r.id = "42";
    r.name = "new";
    EncodePlu(r, RecordAt(ByteSpan(page), 30, 64), 2);
    ASSERT_EQ(store(kind::Plu, page, 2), "");
    EXPECT_EQ(text("SELECT name || sid FROM plu WHERE id='42'"), "new230");
    EXPECT_EQ(count("plu"), 2); // a row the register did not send stays
}

TEST_F(RowsFixture, PluCodeLongerThanSixteenDigitsIsNotSent) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('12345678901234567','too long',0)");
    EXPECT_EQ(build(kind::Plu, 0), blankPage());
}
