#include "records/Fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ecr;
using namespace ecr::records;

TEST(Fields, PackedDatesAsStoredText) {
    EXPECT_EQ(PackedToIsoDateTime(0), "2046-01-01 00:00:00"); // the conversion's substitutes
    EXPECT_EQ(PackedToIsoDateTime(DateTextToPacked("200910070905")), "2009-10-07 09:05:00");
    EXPECT_EQ(PackedToIsoDateTime(DateTextToPacked("200802291200")), "2008-02-29 12:00:00");
    EXPECT_FALSE(PackedToIsoDateTime(DateTextToPacked("200902291200")));
    EXPECT_FALSE(PackedToIsoDateTime(DateTextToPacked("200910072400")));
    EXPECT_FALSE(PackedToIsoDateTime(DateTextToPacked("200910070960")));
    EXPECT_FALSE(PackedToIsoDateTime(0xFFFFFFFFu)); // blank field
}

TEST(Fields, StoredDatesPackBack) {
    EXPECT_EQ(StoredDateToPacked("2009-10-07 09:05:00"), DateTextToPacked("200910070905"));
    EXPECT_EQ(StoredDateToPacked("2009-10-07"), DateTextToPacked("200910070000"));
    EXPECT_EQ(StoredDateToPacked("2009-10-7 9:5"), DateTextToPacked("200910070905"));
    EXPECT_EQ(StoredDateToPacked(""), 0u);
}

TEST(Fields, NumbersFromTheDatabaseAlwaysFit) {
    Bytes f(4);
    PutNumber(std::numeric_limits<double>::quiet_NaN(), f, 2, false);
    EXPECT_EQ(f, Bytes(4, 0x00));
    PutNumber(std::numeric_limits<double>::infinity(), f, 2, false);
    EXPECT_EQ(f, Bytes(4, 0x00));
    PutNumber(1e300, f, 2, false); // only its low digits can be kept
    PutNumber(-12.34, f, 2, false);
    EXPECT_EQ(f, (Bytes{0x2E, 0xFB, 0xFF, 0xFF}));
    EXPECT_EQ(PriceDecimals(-1), 0);
    EXPECT_EQ(PriceDecimals(3), 3);
    EXPECT_EQ(PriceDecimals(1000), 9);
}

TEST(Fields, Codes) {
    Bytes f(8, 0xFF);
    ASSERT_TRUE(WriteCode("019", f));
    EXPECT_EQ(f, (Bytes{0, 0, 0, 0, 0x2A, 0x01, 0, 0}));
    EXPECT_EQ(ReadCode(f), "019");
    EXPECT_FALSE(WriteCode("12345678901234567", f));
    EXPECT_EQ(ReadCode(f), "019");
    ASSERT_TRUE(WriteCode("9999999999999999", f)); // high nibbles set: negative words
    EXPECT_EQ(ReadCode(f), "9999999999999999");
}
