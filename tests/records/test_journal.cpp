#include "SampleRecords.h"
#include "app/GlobalFunc.h"
#include <gtest/gtest.h>
#include "app/ErrorLog.h"
#include "records/Fields.h"
#include "records/Journal.h"

#include <fstream>
#include <sstream>

using namespace ecr;
using namespace ecr::records;

using namespace ecr::records::samples;

TEST(JournalCodec, JournalRecordBytesExactly) {
    Bytes rec(32, 0xFF);
    ASSERT_TRUE(EncodeJournal(sale(), rec, 2));
    const Bytes expected = {0x2A, 0x00, 0x00, 0x00,                         // bill 42
                            0x00, 0x00, 0x00, 0x00, 0x23, 0x00, 0x00, 0x00, // code 12
                            0xD2, 0x04, 0x00, 0x00,                         // 12.34
                            0xDC, 0x05, 0x00, 0x00,                         // 1.500
                            0x45, 0x3A, 0x9A, 0x7D,                         // 2009-10-7 9:05
                            0x01, 0x02, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(rec, expected);
    EXPECT_EQ(*DecodeJournal(rec, 0, 3, 2), sale());
    EXPECT_EQ(DecodeJournal(rec, 7, 127, 2)->sid, 7127);
    std::fill_n(rec.begin(), 4, 0xFF);
    EXPECT_FALSE(DecodeJournal(rec, 0, 3, 2)); // blank bill number
}

