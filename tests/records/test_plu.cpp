#include "SampleRecords.h"
#include "app/GlobalFunc.h"
#include <gtest/gtest.h>
#include "records/Fields.h"
#include "records/Plu.h"

using namespace ecr;
using namespace ecr::records;

using namespace ecr::records::samples;

TEST(PluCodec, PluRecordBytesExactly) {
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

TEST(PluCodec, PluBlankCodesGiveNoRecord) {
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

TEST(PluCodec, PluStockIsTheNewestWrittenSlot) {
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

TEST(PluCodec, PluFlagByte) {
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

