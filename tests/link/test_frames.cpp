#include "link/Frames.h"

#include <gtest/gtest.h>

using namespace ecr;
using namespace ecr::link;

TEST(Frames, ReadRequestSendsAddressLowByteFirst) {
    EXPECT_EQ(ReadRequestFrame(4192), (Bytes{0xAA, 0xBB, 0x08, 0x60, 0x10}));
    EXPECT_EQ(ReadRequestFrame(0x1234), (Bytes{0xAA, 0xBB, 0x08, 0x34, 0x12}));
}

TEST(Frames, PageWriteOfBlankCashierPage) {
    const Bytes data(4096, 0xFF);
    const Bytes f = PageWriteFrame(4113, data);
    ASSERT_EQ(f.size(), 4102u);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 5), (Bytes{0xAA, 0xBB, 0x09, 0x11, 0x10}));
    EXPECT_EQ(Bytes(f.begin() + 5, f.end() - 1), data);
    EXPECT_EQ(f.back(), 0xDE); // 255 - ((0x11 + 0x10 + 4096 * 0xFF) mod 256)
}

TEST(Frames, ChecksumIsOnesComplementOfTheSum) {
    Bytes data(4096, 0x00);
    EXPECT_EQ(PageChecksum(0, 0, data), 0xFF);
    data[0] = 0x01;
    EXPECT_EQ(PageChecksum(0, 0, data), 0xFE);
    data[4095] = 0xFF; // sum 0x100 wraps to 0
    EXPECT_EQ(PageChecksum(0, 0, data), 0xFF);
    EXPECT_EQ(PageChecksum(0x02, 0x03, Bytes(4096, 0)), 0xFA);
    const Bytes reply = PageFrame(code::Page, 4116, data);
    EXPECT_EQ(reply[2], 0x08);
    EXPECT_EQ(reply.back(), PageChecksum(0x14, 0x10, data));
}

TEST(Frames, PageFrameRefusesShortData) {
    EXPECT_THROW(PageWriteFrame(4113, Bytes(4095, 0)), std::invalid_argument);
}

TEST(Frames, ClockFrameAndItsChecksum) {
    const Bytes f = ClockFrame({2009, 10, 17, 9, 5});
    EXPECT_EQ(f, (Bytes{0xAA, 0xBB, 0x0B, 0xD9, 0x07, 0x0A, 0x11, 0x09, 0x05, 0xF6}));
    ClockTime t;
    ASSERT_TRUE(ParseClockFrame(f, t));
    EXPECT_EQ(t, (ClockTime{2009, 10, 17, 9, 5}));
    Bytes bad = f;
    bad[9] ^= 1;
    EXPECT_FALSE(ParseClockFrame(bad, t));
    EXPECT_FALSE(ParseClockFrame(ByteView(f).first(9), t));
    // The sum wraps: 2047-12-31 23:59 -> FF 07 0C 1F 17 3B, sum 0x183.
    EXPECT_EQ(ClockFrame({2047, 12, 31, 23, 59}).back(), 255 - 0x83);
}

TEST(Frames, ResultFrames) {
    EXPECT_EQ(ResultFrame(code::Ok), (Bytes{0xAA, 0xBB, 0x02}));
    EXPECT_EQ(ResultFrame(code::ResultA), (Bytes{0xAA, 0xBB, 0x0A}));
}
