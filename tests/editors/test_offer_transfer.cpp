// Members, promotions and bundles between their forms and the simulated
// register on a pseudo-terminal: each form reads and writes its own pages,
// and the demo pages come back unchanged.
#include "SimLinkFixture.h"
#include "editors/BundleForm.h"
#include "editors/MemberForm.h"
#include "editors/PromotionForm.h"
#include "sim/DemoRecords.h"

using namespace ecr;
using namespace ecr::editors;
namespace kind = ecr::records::kind;

namespace {
struct OfferTransferTest : SimLinkFixture {};
} // namespace

TEST_F(OfferTransferTest, EachFormReadsAndWritesItsPagesUnchanged) {
    const struct {
        const char* table;
        void (*fill)(sim::RegisterMemory&);
        std::function<std::unique_ptr<ui::TableListForm>()> open;
        int base, pages, rows;
    } cases[] = {
        {"member", sim::FillDemoMembers, [] { return std::make_unique<MemberForm>(); }, kind::Member, 32, 6},
        {"promotion", sim::FillDemoPromotions, [] { return std::make_unique<PromotionForm>(); }, kind::Promotion, 8,
         4},
        {"bundle", sim::FillDemoBundles, [] { return std::make_unique<BundleForm>(); }, kind::Bundle, 16, 3},
    };
    // What the member table held before is replaced by the register's members.
    db->execute("INSERT INTO member(userid, username, score, addr, sid) VALUES('1', 'Stale', 0, 0, 7)");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        c.fill(memory);
        const Bytes demo = memory.read(c.base);
        const int beyond = reg.requests(c.base + c.pages); // the next kind's first page
        std::unique_ptr<ui::TableListForm> f = c.open();
        f->show();
        auto transfer = [&](const char* button, const char* done, int times) {
            const qsizetype mark = prompter.shown.size();
            click(f.get(), button);
            ASSERT_TRUE(runUntil([&] { return messagesSince(mark).contains(done); })) << button;
            // Each page of the kind once more, none beyond.
            for (int a = c.base; a < c.base + c.pages; ++a) EXPECT_EQ(reg.requests(a), times) << a;
            EXPECT_EQ(reg.requests(c.base + c.pages), beyond);
        };
        transfer("cmdUpload", "S111235", 1);
        EXPECT_EQ(db->scalar("SELECT count(*) FROM " + std::string(c.table)).toInt(), c.rows);
        EXPECT_EQ(listOf(f.get())->topLevelItemCount(), c.rows); // read again after the upload

        memory.write(c.base, Bytes(records::kPageSize, 0));
        memory.write(c.base + 1, Bytes(records::kPageSize, 0));
        transfer("cmdDownload", "S111118", 2);
        EXPECT_EQ(memory.read(c.base), demo);
        EXPECT_EQ(memory.read(c.base + 1), Bytes(records::kPageSize, 0xFF)); // no records: written blank
    }
}
