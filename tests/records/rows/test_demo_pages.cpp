// The demo register's record pages, read through the program's own parsers.
#include "TempDir.h"
#include "db/Schema.h"
#include "records/Journal.h"
#include "records/PageKinds.h"
#include "records/rows/PageRegistry.h"
#include "sim/Demo.h"
#include "sim/DemoRecords.h"

#include <gtest/gtest.h>

using namespace ecr;
using namespace ecr::records;
using ecr::sim::RegisterMemory;

namespace {

struct DemoPages : ::testing::Test {
    TempDir dir;
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dir.file("ecr.db"));
    AppState state;
    rows::PageContext ctx{*db, state};
    RegisterMemory mem;
    void SetUp() override {
        state.storeParameters = true;
        state.dataVersion = 322;
        ecr::sim::FillDemo(mem);
    }
    void store(int kind, int pageIndex = 0) {
        const auto r = rows::StoreReceivedPage(rows::DatabaseKinds(), ctx, kind, mem.read(kind + pageIndex), pageIndex);
        ASSERT_EQ(r.error, "");
        EXPECT_TRUE(r.skipped.empty());
    }
    std::string text(const std::string& sql) { return db->scalar(sql).toText(); }
};

} // namespace

TEST_F(DemoPages, ProgrammingPagesReadAndGoBackUnchanged) {
    for (int k : {kind::Params, kind::Keyboard, kind::Member, kind::Bundle, kind::Promotion}) {
        SCOPED_TRACE(k);
        store(k);
        EXPECT_EQ(rows::BuildPage(rows::DatabaseKinds(), ctx, k, 0), mem.read(k));
    }
    EXPECT_EQ(text("SELECT NoteHead1 || '|' || NoteEnd2 || '|' || PointEn || '|' || ServiceCharge2Name FROM params"),
              "CORNER SHOP|欢迎再次光临|2|Delivery");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM hotkey WHERE function<>''").toInt(), 28);
    EXPECT_EQ(text("SELECT group_concat(username, ',') FROM member"),
              "Li Wei,Maria O'Brien,Tom Schulz,Nguyen Van An,Fatima Haddad,张伟");
    EXPECT_EQ(text("SELECT bundlename || ':' || plu2number FROM bundle WHERE bundlenumber='502'"),
              "Lunch menu:6901234567908");
    EXPECT_EQ(text("SELECT sdate || '|' || PresentPluId FROM promotion WHERE address=2"),
              "2009-10-01 07:00:00|2000002");
}

TEST_F(DemoPages, PlusWithNewerStockSlots) {
    store(kind::Plu, 0);
    store(kind::Plu, 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plu").toInt(), 100);
    EXPECT_EQ(text("SELECT name || '|' || stockvalue || '|' || sid FROM plu WHERE id='6901234567908'"),
              "Cola 0.33l|18.0|1");
    EXPECT_EQ(text("SELECT max(sid) FROM plu"), "135");
}

TEST_F(DemoPages, FiscalDaysFlashCashAndJournal) {
    for (int p = 0; p < 16; ++p)
        store(kind::Fiscal, p);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM fiscal").toInt(), 31 + 28 + 31 + 30 + 15);
    EXPECT_EQ(text("SELECT min(mdate) || '|' || max(mdate) FROM fiscal"), "2009-01-01 00:00:00|2009-05-15 00:00:00");
    store(kind::FlashCash);
    EXPECT_EQ(text("SELECT group_concat(total, ',') FROM (SELECT total FROM flashcash ORDER BY type)"),
              "1024.75,455.1,64.8,200.0,0.0,45.0,0.0,15.5,2650.9,0.0,8.2,99.99");
    store(kind::JournalFat, 0);
    store(kind::JournalFat, 1);
    const JournalPageTable journal = rows::LoadJournalPageTable(*db);
    for (std::size_t k = 0; k < std::size(ecr::sim::kDemoJournalEntries); ++k)
        EXPECT_EQ(journal.entries[k], ecr::sim::kDemoJournalEntries[k]);
    EXPECT_EQ(journal.entries[5], -1);
    store(kind::Journal, 0);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plurecord").toInt(), 48);
    store(kind::Journal, 3);
    EXPECT_TRUE(ctx.endOfData);
}
