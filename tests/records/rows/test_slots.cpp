// Slot allocation inside the kind's pages, and the slots a page holds.
#include "RowsFixture.h"
#include "records/rows/RowMessages.h"
#include "records/rows/Slots.h"

#include <optional>

using namespace ecr;
using namespace ecr::rows;

namespace {

struct SlotCase {
    const char* what;
    const SlotRule& rule;
    int keyboard;
    std::vector<long long> taken;
    std::optional<long long> next;
};

} // namespace

TEST_F(RowsFixture, NextSlotAfterTheHighestElseTheLowestFreeElseNone) {
    // PLU pages: 160 of 64 records, 64 pages with keyboard 0.
    std::vector<long long> fullKb0;
    for (long long p = 0; p < 64; ++p)
        for (long long i = 0; i < 64; ++i) fullKb0.push_back(p * 100 + i);
    std::vector<long long> gapKb0 = fullKb0;
    gapKb0.erase(gapKb0.begin() + 70); // 106 is free
    const SlotCase cases[] = {
        {"empty table", PluSlots(), 1, {}, 0},
        {"after the highest", PluSlots(), 1, {0, 1, 2}, 3},
        {"gaps below are not reused", PluSlots(), 1, {0, 7}, 8},
        {"last of a page goes to the next page", PluSlots(), 1, {63}, 100},
        {"6363 with keyboard 1 goes on", PluSlots(), 1, {6363}, 6400},
        {"6363 with keyboard 0: the lowest free", PluSlots(), 0, {0, 1, 6363}, 2},
        {"a row outside the pages: the lowest free", PluSlots(), 0, {0, 6400}, 1},
        {"every page full with keyboard 0", PluSlots(), 0, fullKb0, std::nullopt},
        {"full but one", PluSlots(), 0, gapKb0, 106},
        {"last PLU slot with keyboard 1", PluSlots(), 1, {15963}, 0},
        {"members: 32 a page", MemberSlots(), 1, {31}, 100},
        {"members: last page", MemberSlots(), 1, {3131}, 0},
        {"promotions: 32 a page handed out", PromotionSlots(), 1, {31}, 100},
        {"promotions: 8 pages", PromotionSlots(), 1, {0, 731}, 1},
        {"bundles: 16 a page", BundleSlots(), 1, {15}, 100},
        {"bundles: 16 pages", BundleSlots(), 1, {1515}, 0},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(c.what);
        db->execute(std::string("DELETE FROM ") + c.rule.table);
        db::Transaction tx(*db);
        int n = 0;
        const std::string table = c.rule.table;
        const std::string code = table == "plu" ? "id" : table == "member" ? "userid" : table == "bundle" ? "bundlenumber" : "pluid";
        for (long long s : c.taken)
            db->execute("INSERT INTO " + table + "(" + code + "," + c.rule.column + ") VALUES(?,?)",
                        {std::to_string(++n), s});
        tx.commit();
        EXPECT_EQ(NextSlot(*db, c.rule, c.keyboard), c.next);
    }
}

TEST_F(RowsFixture, ReservedSlotsCountAsTaken) {
    db->execute("INSERT INTO plu(id,sid) VALUES('1',0)");
    EXPECT_EQ(NextSlot(*db, PluSlots(), 1, {1, 2}), 3);
    db->execute("INSERT INTO plu(id,sid) VALUES('2',15963)");
    EXPECT_EQ(NextSlot(*db, PluSlots(), 1, {1, 2}), 3); // the lowest free
}

TEST(Slots, APageHoldsItsRecordsOnly) {
    const struct {
        long long slot;
        int stride, perPage, pages;
        bool inside;
    } cases[] = {
        {0, 100, 64, 64, true},     {6363, 100, 64, 64, true},   {6364, 100, 64, 64, false},
        {6400, 100, 64, 64, false}, {6400, 100, 64, 160, true},  {170, 100, 64, 160, false},
        {-1, 100, 64, 160, false},  {127, 1000, 128, 768, true}, {128, 1000, 128, 768, false},
        {3131, 100, 32, 32, true},  {3200, 100, 32, 32, false},
    };
    for (const auto& c : cases) {
        const auto p = CheckSlot(c.slot, c.stride, c.perPage, c.pages);
        EXPECT_EQ(!p, c.inside) << c.slot;
        if (p) {
            EXPECT_EQ(*p, (records::LimitProblem{msg::SlotOutside,
                                                 {std::to_string(c.slot), std::to_string(c.pages),
                                                  std::to_string(c.perPage)}}));
        }
    }
}
