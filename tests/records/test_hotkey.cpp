#include "app/GlobalFunc.h"
#include <gtest/gtest.h>
#include "records/Hotkey.h"

using namespace ecr;
using namespace ecr::records;

TEST(KeyCodec, KeyRecordBytesExactly) {
    Bytes rec(10, 0xFF);
    ASSERT_TRUE(EncodeKey({17, 1234, -2, "P"}, rec));
    EXPECT_EQ(rec, (Bytes{0xD2, 0x04, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 0x50, 0x00}));
    EXPECT_EQ(DecodeKey(rec, 17), (KeyRecord{17, 1234, -2, "P"}));
}

TEST(KeyCodec, KeyWithoutFunctionIsNotWritten) {
    Bytes rec(10, 0xFF);
    EXPECT_FALSE(EncodeKey({3, 5, 6, ""}, rec));
    EXPECT_EQ(rec, Bytes(10, 0xFF));
}

TEST(KeyCodec, KeyFunctionDropsNulAndPadding) {
    Bytes rec(10, 0xFF);
    rec[8] = 0x00;
    rec[9] = 'C';
    EXPECT_EQ(DecodeKey(rec, 0).function, "C");
    rec[8] = 'C';
    rec[9] = 0xFF;
    EXPECT_EQ(DecodeKey(rec, 0).function, "C");
}
