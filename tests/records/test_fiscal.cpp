#include "SampleRecords.h"
#include "app/GlobalFunc.h"
#include <gtest/gtest.h>
#include "records/Fiscal.h"

using namespace ecr;
using namespace ecr::records;

using namespace ecr::records::samples;

TEST(FiscalCodec, FiscalRecordFieldsAndDaySlots) {
    auto r = DecodeFiscal(fiscalRecord(2009), 33); // slot 33: month 2, day 1
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (FiscalRecord{2009, 33, 100, 5, 14.53, 12, 1, "2009-02-01 00:00:00"}));
    EXPECT_EQ(DecodeFiscal(fiscalRecord(2009), 1)->mdate, "2009-01-01 00:00:00");
    EXPECT_EQ(DecodeFiscal(fiscalRecord(2009), 383)->mdate, "2009-12-31 00:00:00");
    EXPECT_EQ(DecodeFiscal(fiscalRecord(2009), 384 + 32 * 11 + 31)->mdate, "2009-12-31 00:00:00");
    // Day 0 of every month, and days the month lacks, give no row.
    for (long long n : {0LL, 32LL, 352LL, 384LL, 32 + 29LL, 32 * 3 + 31LL}) EXPECT_FALSE(DecodeFiscal(fiscalRecord(2009), n)) << n;
    EXPECT_FALSE(DecodeFiscal(fiscalRecord(2009), 32 + 29)); // 29 February 2009
    EXPECT_EQ(DecodeFiscal(fiscalRecord(2008), 32 + 29)->mdate, "2008-02-29 00:00:00");
}

TEST(FiscalCodec, FiscalYearLimits) {
    EXPECT_FALSE(DecodeFiscal(fiscalRecord(0), 1));
    EXPECT_EQ(DecodeFiscal(fiscalRecord(1), 1)->mdate, "0001-01-01 00:00:00");
    EXPECT_TRUE(DecodeFiscal(fiscalRecord(2080), 1));
    EXPECT_FALSE(DecodeFiscal(fiscalRecord(2081), 1));
    Bytes blankYear = fiscalRecord(2009);
    blankYear[18] = blankYear[19] = 0xFF;
    EXPECT_FALSE(DecodeFiscal(blankYear, 1));
}

