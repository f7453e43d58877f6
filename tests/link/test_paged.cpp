// Paged transfers and the parameter pair. (The journal's allocation table is
// driven through the sales journal form in the views tests.)
#include "EngineFixture.h"
#include "app/Config.h"
#include "link/TransferPlans.h"

#include <map>

using namespace ecr;
using namespace ecr::link;
using namespace ecr::records;
namespace rows = ecr::rows;

namespace {

PagedJob job(Direction d, int base, int first, int last, bool retries) {
    PagedJob j;
    j.direction = d;
    j.base = base;
    j.first = first;
    j.last = last;
    j.retries = retries;
    j.progressTemplate = "Page (x) of the test";
    return j;
}

// An address range with no codec: pages are fetched and not parsed.
constexpr int kTestKind = 4800;

} // namespace

TEST(PageRange, ClampedAsOnTheForms) {
    auto s = ClampPages(0, 999, 32);
    EXPECT_EQ(s.first, 0);
    EXPECT_EQ(s.last, 31);
    EXPECT_TRUE(s.ok);
    s = ClampPages(5, 3, 32);
    EXPECT_FALSE(s.ok);
    s = ClampPages(7, 7, 16);
    EXPECT_EQ(s.first, 6);
    EXPECT_EQ(s.last, 6);
    EXPECT_TRUE(s.ok);
    EXPECT_FALSE(ClampPages(40, 50, 32).ok); // starts past the last page
    EXPECT_FALSE(ClampPages(1, 0, 32).ok);
}

TEST(KindTable, NoTwoKindsShareAPageWhateverTheKeyboard) {
    // The pages each kind reads and writes, as the buttons resolve them.
    for (int keyboard : {0, 1, 2, 3, 4}) {
        std::map<int, std::string> owner;
        for (const KindPlan& plan : KindPlans()) {
            for (Direction d : {Direction::Read, Direction::Write}) {
                if (d == Direction::Read ? !plan.canRead : !plan.canWrite) continue;
                const ResolvedPlan r = Resolve(plan, d, keyboard);
                for (int a = r.base; a < r.base + r.pages; ++a) {
                    auto [it, fresh] = owner.try_emplace(a, std::string(plan.name));
                    EXPECT_TRUE(fresh || it->second == plan.name)
                        << "keyboard " << keyboard << ": page " << a << " of " << plan.name << " belongs to "
                        << it->second;
                }
            }
        }
        // The journal's allocation pages lie in no kind's range.
        for (int a : kAllocationPages) EXPECT_EQ(owner.count(a), 0u) << a;
    }
    // With keyboard 0 the PLUs keep 64 pages and the journal follows them.
    EXPECT_EQ(Resolve(*FindKindPlan("plu"), Direction::Read, 0).pages, 64);
    EXPECT_EQ(Resolve(*FindKindPlan("journal"), Direction::Read, 0).base, 4192 + 64);
    // The second 39-key arrangement is a 39-key register all the same.
    EXPECT_EQ(Resolve(*FindKindPlan("plu"), Direction::Write, 4).pages, 64);
    EXPECT_EQ(Resolve(*FindKindPlan("journal"), Direction::Read, 4).base, 4192 + 64);
    EXPECT_EQ(Resolve(*FindKindPlan("plu"), Direction::Read, 1).pages, 160);
    EXPECT_EQ(Resolve(*FindKindPlan("journal"), Direction::Read, 1).base, 4192 + 160);
    EXPECT_EQ(FindKindPlan("nope"), nullptr);
}

TEST_F(EngineFixture, KindReadinessFollowsThePageIO) {
    // Every kind is ready in each direction its plan has: a missing codec fails here.
    for (const KindPlan& plan : KindPlans()) {
        EXPECT_EQ(KindReady(io, plan, Direction::Read), plan.canRead) << plan.name;
        EXPECT_EQ(KindReady(io, plan, Direction::Write), plan.canWrite) << plan.name;
    }
    const int k = 4999;
    KindPlan p{"test", Shape::Paged, k, true, true};
    EXPECT_FALSE(KindReady(io, p, Direction::Read));
    kinds.add(k, {"t", [](rows::PageContext&, ByteView, int) {}, {}});
    EXPECT_TRUE(KindReady(io, p, Direction::Read));
    EXPECT_FALSE(KindReady(io, p, Direction::Write));
}

TEST_F(EngineFixture, PagedReadRunsTheRangeWithProgress) {
    std::vector<std::pair<int, int>> ranges;
    std::vector<QString> captions;
    QObject::connect(&engine, &TransferEngine::progressRange, [&](int a, int b) { ranges.emplace_back(a, b); });
    QObject::connect(&engine, &TransferEngine::pageStarted, [&](int, const QString& c) { captions.push_back(c); });
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kTestKind, 2, 5, true)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(only().message, LinkMessage{111235});
    EXPECT_EQ(only().page, 6);
    EXPECT_EQ(requested, (std::vector<int>{kTestKind + 2, kTestKind + 3, kTestKind + 4, kTestKind + 5}));
    EXPECT_EQ(pages, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(ranges, (std::vector<std::pair<int, int>>{{2, 5}}));
    EXPECT_EQ(captions.front(), "Page 3 of the test");
    EXPECT_EQ(port.opens, 1); // one port session for the whole run
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(engine.state(), EngineState::Idle);
}

TEST_F(EngineFixture, ThirtyOneAttemptsThenSuccess) {
    rule = [](int page, int attempt, bool) -> std::optional<Answer> {
        if (page == kTestKind + 1 && attempt <= 30) return Answer::silence();
        return std::nullopt;
    };
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kTestKind, 0, 2, true)));
    runFor(31 * kReplyTimeoutMs + 1000);
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(attempts[kTestKind + 1], 31);
    EXPECT_EQ(attempts[kTestKind + 2], 1);
    EXPECT_EQ(failedAttempts.size(), 30u);
    EXPECT_EQ(failedAttempts.back(), (std::pair{2, 30}));
    EXPECT_EQ(port.opens, 31); // reopened before each retry
    EXPECT_EQ(port.closes, 31);
    EXPECT_EQ(clock.nowMs(), 30 * kReplyTimeoutMs);
}

TEST_F(EngineFixture, ErrorRepliesAreRetriedAndTheLastTextShown) {
    rule = [](int page, int attempt, bool) -> std::optional<Answer> {
        if (page != kTestKind) return std::nullopt;
        return Answer::raw(ResultFrame(attempt % 2 ? code::Refused : code::Error));
    };
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kTestKind, 0, 0, true)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Failed);
    EXPECT_EQ(only().message, LinkMessage{111213}); // the 31st attempt's reply
    EXPECT_EQ(attempts[kTestKind], 31);
    EXPECT_EQ(clock.nowMs(), 0);
}

TEST_F(EngineFixture, KindsWithoutRetriesStopAtTheFirstFailure) {
    rule = [](int page, int, bool) -> std::optional<Answer> {
        if (page == 4146) return Answer::raw(ResultFrame(code::ResultA));
        return std::nullopt;
    };
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kind::Member, 0, 31, false)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Failed);
    EXPECT_EQ(only().message, (LinkMessage{0, {}, "result = &HA"}));
    EXPECT_EQ(only().page, 3);
    EXPECT_EQ(attempts[4146], 1);
    EXPECT_EQ(requested.size(), 3u);
    EXPECT_EQ(engine.state(), EngineState::Paused);
}

TEST_F(EngineFixture, StopBetweenPagesStartsNoFurtherRequest) {
    int seen = 0;
    QObject::connect(&engine, &TransferEngine::pageStarted, [&](int page, const QString&) {
        if (++seen == 2) engine.stop();
        (void)page;
    });
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kTestKind, 0, 5, true)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Stopped);
    EXPECT_EQ(only().page, 2);
    EXPECT_EQ(requested, (std::vector<int>{kTestKind}));
}

TEST_F(EngineFixture, ReopenFailureBetweenAttemptsPauses) {
    port.failOpenAfter = 1;
    rule = [](int, int, bool) { return Answer::raw(ResultFrame(code::Error)); };
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kTestKind, 0, 3, true)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::PortError);
    EXPECT_EQ(only().page, 1);
    EXPECT_EQ(engine.state(), EngineState::Paused);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(EngineFixture, ParameterPairIsRetriedWhole) {
    // The write fails twice: each retry runs the read again.
    int writes = 0;
    rule = [&writes](int, int, bool write) -> std::optional<Answer> {
        if (write && ++writes <= 2) return Answer::raw(ResultFrame(code::Error));
        return std::nullopt;
    };
    ASSERT_TRUE(engine.downloadParams());
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(attempts[4112], 6); // read, write x3
    EXPECT_EQ(failedAttempts.size(), 2u);
}

TEST(JournalTable, UsedFromVersion100320To100400) {
    EXPECT_FALSE(UsesAllocationTable(100319));
    EXPECT_TRUE(UsesAllocationTable(100320));
    EXPECT_TRUE(UsesAllocationTable(100400));
    EXPECT_FALSE(UsesAllocationTable(100401));
}
