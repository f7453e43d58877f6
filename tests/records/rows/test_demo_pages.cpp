// The demo register's record pages, read through the program's own parsers.
// (Its fiscal, flash-cash and journal pages are read through the forms in the
// views tests.)
#include "RowsFixture.h"
#include "records/PageKinds.h"
#include "sim/Demo.h"
#include "sim/DemoRecords.h"

using namespace ecr;
using namespace ecr::records;

namespace {

struct DemoPages : RowsFixture {
    ecr::sim::RegisterMemory mem;
    void SetUp() override {
        state.storeParameters = true;
        state.dataVersion = 322;
        ecr::sim::FillDemo(mem);
    }
    void store(int kind, int pageIndex = 0) {
        ASSERT_EQ(RowsFixture::store(kind, mem.read(kind + pageIndex), pageIndex), "");
        EXPECT_TRUE(last.skipped.empty());
    }
};

} // namespace

TEST_F(DemoPages, ProgrammingPagesReadAndGoBackUnchanged) {
    for (int k : {kind::Params, kind::Cashier, kind::Depart, kind::Keyboard, kind::Member, kind::Bundle,
                  kind::Promotion}) {
        SCOPED_TRACE(k);
        store(k);
        EXPECT_EQ(build(k, 0), mem.read(k));
    }
    EXPECT_EQ(text("SELECT count(*) || ' ' || group_concat(name, ',') FROM cashier"),
              "6 Manager,Anna Berg,Ben Okafor,王芳,Chloé Martin,Trainee");
    EXPECT_EQ(text("SELECT count(*) FROM depart"), "12");
    EXPECT_EQ(text("SELECT name || ' ' || price || ' ' || KitchenEn FROM depart WHERE id=9"), "Hot Food 6.8 1");
    EXPECT_EQ(text("SELECT NoteHead1 || '|' || NoteEnd2 || '|' || PointEn || '|' || ServiceCharge2Name FROM params"),
              "CORNER SHOP|欢迎再次光临|2|Delivery");
    EXPECT_EQ(text("SELECT count(*) FROM hotkey WHERE function<>''"), "28");
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
    EXPECT_EQ(count("plu"), 100);
    EXPECT_EQ(text("SELECT name || '|' || stockvalue || '|' || sid FROM plu WHERE id='6901234567908'"),
              "Cola 0.33l|18.0|1");
    EXPECT_EQ(text("SELECT max(sid) FROM plu"), "135");
}
