// Paged transfers, the parameter pair and the journal allocation table.
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

TEST_F(EngineFixture, RangeThatEndsBeforeItStartsIsRefused) {
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kTestKind, 4, 2, true)));
    EXPECT_TRUE(results.empty());
    settle();
    EXPECT_EQ(only().outcome, Outcome::Refused);
    EXPECT_EQ(only().message, LinkMessage{111526});
    EXPECT_EQ(port.opens, 0);
    EXPECT_TRUE(states.empty()); // the panel never shows
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

TEST_F(EngineFixture, ThirtyOneFailuresPauseAtThatPage) {
    rule = [](int page, int, bool) -> std::optional<Answer> {
        if (page == kTestKind + 1) return Answer::silence();
        return std::nullopt;
    };
    ASSERT_TRUE(engine.startPaged(job(Direction::Write, kTestKind, 0, 2, true)));
    runFor(40 * kReplyTimeoutMs);
    const auto& r = only();
    EXPECT_EQ(r.outcome, Outcome::TimedOut);
    EXPECT_EQ(r.message, LinkMessage{111117});
    EXPECT_EQ(r.page, 2);
    EXPECT_EQ(attempts[kTestKind + 1], 31);
    EXPECT_EQ(attempts.count(kTestKind + 2), 0u);
    EXPECT_EQ(engine.state(), EngineState::Paused);
    EXPECT_FALSE(port.isOpen());
    ASSERT_TRUE(engine.pagedJob());
    EXPECT_EQ(engine.pagedJob()->first, 1);
    engine.close();
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_FALSE(engine.resume());
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

TEST_F(EngineFixture, StopThenContinueRepeatsTheRunningPage) {
    rule = [this](int page, int attempt, bool) -> std::optional<Answer> {
        if (page == kTestKind + 6 && attempt == 1) {
            clock.post([this] { engine.stop(); }); // the user presses stop during page 7
            return Answer::silence();
        }
        return std::nullopt;
    };
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, kTestKind, 0, 15, true)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Stopped);
    EXPECT_EQ(only().page, 7);
    EXPECT_EQ(engine.state(), EngineState::Paused);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(clock.nowMs(), 0); // not a time-out
    results.clear();
    requested.clear();
    ASSERT_TRUE(engine.resume());
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    ASSERT_EQ(requested.size(), 10u);
    EXPECT_EQ(requested.front(), kTestKind + 6);
    EXPECT_EQ(requested.back(), kTestKind + 15);
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(port.opens, port.closes);
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

TEST_F(EngineFixture, EndOfDataEndsTheLoopWithoutSuccessMessage) {
    const int k = 4950;
    kinds.add(k, {"t", [](rows::PageContext& c, ByteView page, int) {
                      if (page[0] == 0xFF) c.endOfData = true;
                  },
                  {}});
    memory[k] = Bytes(4096, 0);
    memory[k + 1] = Bytes(4096, 0);
    ASSERT_TRUE(engine.startPaged(job(Direction::Read, k, 0, 9, true)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::EndOfData);
    EXPECT_TRUE(only().message.empty());
    EXPECT_EQ(only().page, 3);
    EXPECT_EQ(requested, (std::vector<int>{k, k + 1, k + 2}));
    EXPECT_TRUE(engine.link().endOfDataReached);
    EXPECT_EQ(engine.state(), EngineState::Idle);
}

// ---- parameter pair ----------------------------------------------------------

TEST_F(EngineFixture, ParameterDownloadReadsThenWrites) {
    App().storeParameters = true;
    ASSERT_TRUE(engine.downloadParams());
    EXPECT_FALSE(App().storeParameters); // the read before a write keeps params as they are
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(only().message, LinkMessage{111118});
    ASSERT_EQ(port.written.size(), 2u);
    EXPECT_EQ(port.written[0], ReadRequestFrame(4112));
    EXPECT_EQ(port.written[1].size(), 4102u);
    EXPECT_EQ(port.written[1][2], code::Write);
    EXPECT_EQ(port.opens, 2);
    EXPECT_EQ(port.closes, 2);
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

TEST_F(EngineFixture, ParameterUploadGivesUpAfter31Attempts) {
    rule = [](int, int, bool) { return Answer::silence(); };
    ASSERT_TRUE(engine.uploadParams());
    EXPECT_TRUE(App().storeParameters);
    runFor(40 * kReplyTimeoutMs);
    EXPECT_EQ(only().outcome, Outcome::TimedOut);
    EXPECT_EQ(only().message, LinkMessage{111120});
    EXPECT_EQ(attempts[4112], 31);
    EXPECT_EQ(port.opens, 31);
    EXPECT_EQ(port.closes, 31);
    EXPECT_EQ(engine.state(), EngineState::Idle);
}

// ---- journal allocation table ------------------------------------------------

namespace {

// Journal pages that are fetched or sent but not parsed; the allocation
// pages keep their own codec.
void unparsedJournalPages(rows::PageRegistry& kinds) {
    for (int k : {kind::Journal, kind::Journal2})
        kinds.add(k, {"t", [](rows::PageContext&, ByteView, int) {}, [](rows::PageContext&, ByteSpan, int) {}});
}

} // namespace

TEST_F(EngineFixture, JournalReadSkipsPagesWithoutData) {
    unparsedJournalPages(kinds);
    db->execute("INSERT INTO info(keyboard, ver) VALUES(0, 330)");
    Bytes fat(4096, 0);
    fat[0] = 2;      // entry 0
    fat[5 * 4] = 7;  // entry 5
    memory[4134] = fat;
    memory[4135] = Bytes(4096, 0);
    const KindPlan* plan = FindKindPlan("journal");
    PagedJob j = MakePagedJob(*plan, Direction::Read, 0, "", std::nullopt);
    EXPECT_EQ(j.first, 0);
    EXPECT_EQ(j.last, 351);
    EXPECT_EQ(j.base, 4256);
    ASSERT_TRUE(engine.startPaged(j));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(only().message, LinkMessage{111235}); // the range ended, though its last page was skipped
    EXPECT_EQ(requested, (std::vector<int>{4134, 4135, 4256, 4261}));
    EXPECT_EQ(App().registerVersion, 100330);
}

TEST_F(EngineFixture, JournalOutsideTheVersionsReadsEveryPage) {
    unparsedJournalPages(kinds);
    db->execute("INSERT INTO info(keyboard, ver) VALUES(1, 500)");
    const KindPlan* plan = FindKindPlan("journal");
    ASSERT_TRUE(engine.startPaged(MakePagedJob(*plan, Direction::Read, 1, "", std::pair{1, 3})));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(requested, (std::vector<int>{4352, 4353, 4354}));
}

TEST_F(EngineFixture, AllocationReadFailureEndsBeforeAnyJournalPage) {
    unparsedJournalPages(kinds);
    db->execute("INSERT INTO info(keyboard, ver) VALUES(1, 320)");
    rule = [](int page, int, bool) -> std::optional<Answer> {
        if (page == 4135) return Answer::silence();
        return std::nullopt;
    };
    ASSERT_TRUE(engine.startPaged(MakePagedJob(*FindKindPlan("journal"), Direction::Read, 1, "", std::nullopt)));
    runFor(40 * kReplyTimeoutMs);
    EXPECT_EQ(only().outcome, Outcome::TimedOut);
    EXPECT_EQ(only().message, LinkMessage{111120});
    EXPECT_EQ(attempts[4134], 1);
    EXPECT_EQ(attempts[4135], 31);
    EXPECT_EQ(requested.size(), 32u);
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(EngineFixture, JournalWriteSendsTheTableFirstThenItsPages) {
    unparsedJournalPages(kinds);
    db->execute("INSERT INTO info(keyboard, ver) VALUES(0, 400)");
    Bytes fat1(4096, 0xFF), fat2(4096, 0);
    fat1[8] = 3; fat1[9] = 0; fat1[10] = 0; fat1[11] = 0; // entry 2 = 3
    fat2[0] = 9;                                          // entry 1024 = 9, beyond the range
    db->execute("UPDATE plurecordfat SET fat1 = ?, fat2 = ?", {BytesToList(fat1), BytesToList(fat2)});
    ASSERT_TRUE(engine.startPaged(MakePagedJob(*FindKindPlan("journal"), Direction::Write, 0, "", std::nullopt)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(only().message, LinkMessage{111118});
    EXPECT_EQ(requested, (std::vector<int>{4134, 4135, 4258}));
    const JournalPageTable table = io.journalTable();
    EXPECT_EQ(table.entries[2], 3);
    EXPECT_EQ(table.entries[0], -1);
    EXPECT_EQ(table.entries[1024], 9);
}

TEST(JournalTable, LoadedFromTheStoredPages) {
    TempDir dir;
    auto db = db::OpenOrCreate(dir.file("ecr.db"));
    JournalPageTable t = rows::LoadJournalPageTable(*db); // the seed row holds no pages yet
    EXPECT_EQ(t.entries[0], -1);
    EXPECT_EQ(t.entries[2047], -1);
    Bytes p(4096, 0xFF);
    p[4092] = 0x00; p[4093] = 0x01; p[4094] = 0x00; p[4095] = 0x00; // entry 1023 = 256
    p[0] = 0xFE; // entry 0: FE FF FF FF = -2
    db->execute("UPDATE plurecordfat SET fat1 = ?, fat2 = ?", {BytesToList(p), BytesToList(Bytes(4096, 0))});
    t = rows::LoadJournalPageTable(*db);
    EXPECT_EQ(t.entries[0], -2);
    EXPECT_EQ(t.entries[1], -1);
    EXPECT_EQ(t.entries[1023], 256);
    EXPECT_EQ(t.entries[1024], 0);
    EXPECT_EQ(UsesAllocationTable(100319), false);
    EXPECT_EQ(UsesAllocationTable(100320), true);
    EXPECT_EQ(UsesAllocationTable(100400), true);
    EXPECT_EQ(UsesAllocationTable(100401), false);
}
