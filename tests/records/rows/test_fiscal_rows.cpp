#include "../SampleRecords.h"
#include "RowsFixture.h"
#include "records/Fiscal.h"

using namespace ecr;
using namespace ecr::records;
using namespace ecr::records::samples;

TEST_F(RowsFixture, FiscalRunningNumberComesFromThePage) {
    EXPECT_EQ(FiscalRunningNumber(0, 0), 0);
    EXPECT_EQ(FiscalRunningNumber(3, 5), 389);
    Bytes page = blankPage();
    for (int i : {5, 33, 100, 127}) { // 127 is slot 31 April
        const Bytes rec = fiscalRecord(2009);
        std::copy(rec.begin(), rec.end(), page.begin() + i * 32);
    }
    // Page 3 first, without the pages before it: its record 5 is number 389, 5 January.
    ASSERT_EQ(store(kind::Fiscal, page, 3), "");
    ASSERT_EQ(store(kind::Fiscal, page, 0), "");
    EXPECT_EQ(db->scalar("SELECT group_concat(fday || '=' || substr(mdate,1,10), ' ') FROM "
                         "(SELECT * FROM fiscal ORDER BY fday)")
                  .toText(),
              "5=2009-01-05 33=2009-02-01 100=2009-04-04 389=2009-01-05 417=2009-02-01 484=2009-04-04");
}

TEST_F(RowsFixture, FlashCashTotals) {
    Bytes page = blankPage();
    auto entry = [&](int group, int index, double amount) {
        const std::size_t at = static_cast<std::size_t>(group * 300 + index * 8);
        NumberToBytes(1, ByteSpan(page).subspan(at, 4), 0, false);
        NumberToBytes(amount, ByteSpan(page).subspan(at + 4, 4), 2, false);
    };
    entry(0, 0, 5.00);
    entry(0, 1, 7.50); // entry 2 blank: the total is 7.50, not 12.50
    entry(0, 3, 99);   // after the first blank marker: not looked at
    for (int j = 0; j < 30; ++j) entry(11, j, j + 0.25); // all written: entry 29
    entry(3, 0, -12.34);
    const auto totals = DecodeFlashCash(page);
    EXPECT_DOUBLE_EQ(totals[0], 7.5);
    EXPECT_DOUBLE_EQ(totals[1], 0);
    EXPECT_DOUBLE_EQ(totals[3], -12.34);
    EXPECT_DOUBLE_EQ(totals[11], 29.25);
    db->execute("INSERT INTO flashcash(type,total) VALUES(40,1)");
    ASSERT_EQ(store(kind::FlashCash, page, 0), "");
    EXPECT_EQ(text("SELECT group_concat(type || ':' || total, ' ') FROM (SELECT * FROM flashcash ORDER BY type)"),
              "0:7.5 1:0.0 2:0.0 3:-12.34 4:0.0 5:0.0 6:0.0 7:0.0 8:0.0 9:0.0 10:0.0 11:29.25");
}

TEST_F(RowsFixture, ReadOnlyKindsBuildNothing) {
    db->execute("INSERT INTO fiscal(fyear,fday) VALUES(2009,1)");
    EXPECT_EQ(build(kind::Fiscal, 0), blankPage());
    EXPECT_EQ(build(kind::FlashCash, 0), blankPage());
}
