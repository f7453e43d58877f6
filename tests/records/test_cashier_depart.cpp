#include "app/GlobalFunc.h"
#include <gtest/gtest.h>
#include "app/ErrorLog.h"
#include "records/Cashier.h"
#include "records/Department.h"

#include <fstream>

using namespace ecr;
using namespace ecr::records;

TEST(CashierDepartCodec, CashierRecordBytesExactly) {
    CashierRecord r;
    r.id = 7;
    r.name = "Ann";
    r.passwd = "123";
    r.rights.fill(1);
    r.rights[0] = 0; // a0 withheld: bit 0
    r.rights[4] = 0; // a7 withheld: bit 7
    Bytes rec(40, 0xFF);
    EncodeCashier(r, rec);
    const Bytes expected = {'A', 'n', 'n', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                            '3', '2', '1', ' ', ' ', ' ', 0xFF, 0xFF, 0x81, 0x00, 0x00, 0x00, 0x07, 0x00,
                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(rec, expected);
    auto back = DecodeCashier(rec, 7);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, r);
}

TEST(CashierDepartCodec, CashierRightsAndBlankRecords) {
    Bytes rec(40, 0xFF);
    EXPECT_FALSE(DecodeCashier(rec, 0)); // blank name, even with rights set below
    rec[28] = 0x00;
    EXPECT_FALSE(DecodeCashier(rec, 0));
    TextToBytes("Bob", ByteSpan(rec).subspan(0, 20));
    rec[28] = 0xFF; // all 0xFF rights read as 0: every right granted
    auto r = DecodeCashier(rec, 3);
    ASSERT_TRUE(r);
    for (int v : r->rights) EXPECT_EQ(v, 1);
    EXPECT_EQ(r->passwd, "");
    // Bits 4..6 and above 16 have no column.
    NumberToBytes(0x70 | (1 << 20), ByteSpan(rec).subspan(28, 4), 0, false);
    r = DecodeCashier(rec, 3);
    for (int v : r->rights) EXPECT_EQ(v, 1);
}

TEST(CashierDepartCodec, DepartmentRecordBytesExactly) {
    DepartRecord d{100, "Drinks", 12.5, 17.0, 0, 100, 2};
    Bytes rec(32, 0xFF);
    EncodeDepart(d, rec);
    const Bytes expected = {'D', 'r', 'i', 'n', 'k', 's', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
                            0xE2, 0x04, 0x00, 0x00, 0xA4, 0x06, 0x00, 0x00, 0x01, 100, 2, 0xFF};
    EXPECT_EQ(rec, expected);
    EXPECT_EQ(*DecodeDepart(rec, 100), d);
    rec[28] = 0xFF;
    EXPECT_EQ(DecodeDepart(rec, 100)->discounten, 0);
    rec[28] = 0x00;
    EXPECT_EQ(DecodeDepart(rec, 100)->discounten, 1);
}

