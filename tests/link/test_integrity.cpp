// What the engine must never do: send a download with rows left out, lose a
// row the register displaced, spin on a device that is gone, abandon a reply
// on stop, or fail on a short database lock; and the texts of its results.
#include "EngineFixture.h"
#include "link/TransferPlans.h"
#include "link/TransferText.h"
#include "records/Fields.h"
#include "records/Member.h"
#include "records/Plu.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

using namespace ecr;
using namespace ecr::link;
using namespace ecr::records;

namespace {

Bytes pluPage(const std::vector<std::pair<std::string, int>>& records) {
    Bytes page(kPageSize, 0xFF);
    for (const auto& [id, slot] : records) {
        PluRecord r;
        r.id = id;
        r.name = "PLU " + id;
        r.price = 2;
        EncodePlu(r, RecordAt(ByteSpan(page), slot, kPluRecordSize), 2);
    }
    return page;
}

constexpr int kCountedKind = 4700; // a kind whose sink counts the pages it stores

} // namespace

TEST_F(EngineFixture, DownloadWithRowsTheRegisterCannotHoldSendsNothing) {
    const struct {
        const char* kind;
        const char* setup;
        std::size_t problems;
    } cases[] = {
        {"plu", "INSERT INTO plu(id,name,depart,price,sid) VALUES('12abc','Phở',300,1,0)", 3},
        {"departments", "INSERT INTO depart(id,name,price,tax) VALUES(300,'Dept',1,1)", 1},
        {"params", "INSERT INTO params(PointEn,RegNo) VALUES(2,'A register number too long')", 1},
    };
    // One kind of each shape: paged, single page, the parameter pair.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setup);
        results.clear();
        port.written.clear();
        db->execute(c.setup);
        ASSERT_TRUE(StartKindTransfer(engine, *FindKindPlan(c.kind), Direction::Write));
        settle();
        const TransferResult& r = only();
        EXPECT_EQ(r.outcome, Outcome::Refused);
        EXPECT_TRUE(r.error);
        EXPECT_EQ(r.problems.size(), c.problems);
        EXPECT_EQ(r.message, (LinkMessage{msg::RowsRefused, {std::to_string(c.problems)}}));
        EXPECT_TRUE(port.written.empty());
        EXPECT_EQ(port.opens, 0);
        EXPECT_EQ(engine.state(), EngineState::Idle);
        for (const char* t : {"plu", "depart", "cashier", "params", "member"}) db->execute(std::string("DELETE FROM ") + t);
    }
}

TEST_F(EngineFixture, UploadOntoAnOccupiedSlotKeepsBothRowsAndSaysSo) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('11','entered here',5)");
    memory[4192] = pluPage({{"21", 5}});
    ASSERT_TRUE(StartKindTransfer(engine, *FindKindPlan("plu"), Direction::Read, std::pair{1, 1}));
    settle();
    const TransferResult& r = only();
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.moved, 1);
    EXPECT_FALSE(r.error);
    EXPECT_EQ(db->scalar("SELECT group_concat(id || '@' || sid, ' ') FROM (SELECT * FROM plu ORDER BY sid)").toText(),
              "21@5 11@6");
}

TEST_F(EngineFixture, VanishedDeviceFailsTheAttemptAtOnce) {
    rule = [this](int, int, bool) {
        clock.post([this] {
            port.failOpen = true; // unplugged: it cannot be opened again either
            port.vanish("Input/output error");
        });
        return Answer::silence();
    };
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    settle();
    const TransferResult& r = only();
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_EQ(r.message, (LinkMessage{msg::PortLost, {"/dev/fake0", "Input/output error"}}));
    EXPECT_EQ(clock.nowMs(), 0); // no time-out was waited for
    EXPECT_EQ(clock.armed(), 0u);
    EXPECT_EQ(engine.state(), EngineState::Idle);

    // A paged transfer with retries tries to reopen and pauses on that page.
    results.clear();
    port.failOpen = false;
    ASSERT_TRUE(StartKindTransfer(engine, *FindKindPlan("plu"), Direction::Read, std::pair{3, 9}));
    settle();
    EXPECT_EQ(only().outcome, Outcome::PortError);
    EXPECT_EQ(only().page, 3);
    EXPECT_EQ(attempts[4194], 1);
    EXPECT_EQ(clock.nowMs(), 0);
    EXPECT_EQ(engine.state(), EngineState::Paused);
}

TEST_F(EngineFixture, StopAfterTheRequestKeepsItsReply) {
    int stored = 0;
    kinds.add(kCountedKind, {"t", [&stored](rows::PageContext&, ByteView, int) { ++stored; }, {}});
    rule = [this](int page, int, bool) -> std::optional<Answer> {
        if (page == kCountedKind + 1) clock.post([this] { engine.stopAfterRequest(); });
        return std::nullopt;
    };
    PagedJob j;
    j.base = kCountedKind;
    j.last = 5;
    j.retries = true;
    ASSERT_TRUE(engine.startPaged(j));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Stopped);
    EXPECT_EQ(only().page, 3); // continue from the first page not read
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(requested, (std::vector<int>{kCountedKind, kCountedKind + 1}));
    EXPECT_EQ(engine.state(), EngineState::Paused);
    ASSERT_TRUE(engine.resume());
    settle();
    EXPECT_EQ(results.back().outcome, Outcome::Done);
    EXPECT_EQ(stored, 6);
}

TEST_F(EngineFixture, WholeTableIsReplacedOnceEvenWhenContinued) {
    db->execute("INSERT INTO member(userid,username,sid) VALUES('1','old',0)");
    Bytes page(kPageSize, 0xFF);
    EncodeMember({0, "7", "seven", "", "", 0, 0}, page);
    memory[4144] = page;
    EncodeMember({0, "8", "eight", "", "", 0, 0}, page);
    memory[4145] = page;
    rule = [](int p, int attempt, bool) -> std::optional<Answer> {
        if (p == 4145 && attempt == 1) return Answer::raw(ResultFrame(code::Error));
        return std::nullopt;
    };
    ASSERT_TRUE(StartKindTransfer(engine, *FindKindPlan("members"), Direction::Read, std::pair{1, 2}, true));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Failed);
    EXPECT_EQ(db->scalar("SELECT group_concat(username) FROM member").toText(), "seven");
    ASSERT_TRUE(engine.resume());
    settle();
    EXPECT_EQ(results.back().outcome, Outcome::Done);
    EXPECT_EQ(db->scalar("SELECT group_concat(username || sid, ' ') FROM (SELECT * FROM member ORDER BY sid)").toText(),
              "seven0 eight100");
}

TEST_F(EngineFixture, PluUploadWaitsOutAShortWriteLockOfAnotherConnection) {
    auto other = db::Database::open(dir.file("ecr.db"), false);
    other->execute("BEGIN IMMEDIATE");
    other->execute("INSERT INTO depart(id,name) VALUES(1,'from the other program')");
    std::thread holder([&other] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        other->execute("COMMIT");
    });
    memory[4192] = pluPage({{"21", 0}, {"22", 1}});
    ASSERT_TRUE(StartKindTransfer(engine, *FindKindPlan("plu"), Direction::Read, std::pair{1, 1}));
    settle(); // the page is stored once the lock is released
    holder.join();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(attempts[4192], 1);
    EXPECT_EQ(db->scalar("SELECT group_concat(id) FROM plu").toText(), "21,22");
    EXPECT_EQ(db->scalar("SELECT name FROM depart WHERE id=1").toText(), "from the other program");
}

TEST_F(EngineFixture, ResultTextSaysEverythingThatHappened) {
    App().langCode = 3;
    TransferResult r{Outcome::Done, {msg::ReadDone}, true, 0};
    r.moved = 2;
    r.skipped = {{kind::Journal, 4, 17, "date 2009-4-31 10:0 is not a real date"}};
    EXPECT_EQ(ResultText(r), "Upload completed successfully.\n"
                             "2 rows were moved to a free place because records from the register took their places.\n"
                             "1 records could not be stored and were left out:\n"
                             "An error has occurred: Sales Journal, page 5, record index 17: date 2009-4-31 10:0 "
                             "is not a real date");
    TransferResult refused{Outcome::Refused, {msg::RowsRefused, {"2"}}, true, 0};
    refused.problems = {{kind::Plu, "12abc", "id", {limitmsg::BadCode, {}}},
                        {kind::Depart, "5", "name", {limitmsg::TooLong, {"29", "20"}}}};
    EXPECT_EQ(ResultText(refused), "2 rows cannot be written into the register, so nothing was sent:\n"
                                   "PLU 12abc, id: a code has 1 to 16 digits.\n"
                                   "Departments 5, name: 29 bytes in the register's character set; the register "
                                   "holds 20.");
    EXPECT_EQ(MessageText({msg::PortOpenFailed, {"/dev/ttyUSB0", "Permission denied"}}),
              "The serial port /dev/ttyUSB0 cannot be opened: Permission denied");
    EXPECT_EQ(MessageText({0, {}, "result = &HA"}), "result = &HA");
    App().langCode = 6;
    EXPECT_EQ(MessageText({msg::PortLost, {"/dev/pts/3", "Input/output error"}}),
              "La connexion avec /dev/pts/3 a été perdue : Input/output error");
}
