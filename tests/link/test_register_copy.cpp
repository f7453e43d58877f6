// A whole register's programming pages through the engine in one run, into
// and out of a backup in memory: the pages and their order, one progress
// sequence, a failed single page that pauses, verification, and the engine
// back on its own page I/O afterwards. (Stop and continue in a paged kind is
// driven through the backup form in the maintenance tests.)
#include "EngineFixture.h"
#include "link/RegisterCopy.h"
#include "records/rows/RegisterBackup.h"

#include <numeric>

using namespace ecr;
using namespace ecr::link;
using rows::BackupPageIO;

namespace {

struct RegisterCopyTest : EngineFixture {
    rows::RegisterBackup backup;
    BackupPageIO file{backup, BackupPageIO::Mode::Collect};
    RegisterCopy copy{engine, file};
    std::vector<int> progress;
    std::vector<TransferResult> runs;

    RegisterCopyTest() {
        backup.identity.keyboard = 2;
        QObject::connect(&copy, &RegisterCopy::pageStarted, [this](int page, int total, const KindPlan*) {
            EXPECT_EQ(total, 220);
            progress.push_back(page);
        });
        QObject::connect(&copy, &RegisterCopy::finished, [this](const TransferResult& r) { runs.push_back(r); });
    }
    // A register whose every programming page has its own contents.
    void fillRegister() {
        for (int a : RegisterCopy::Addresses(2)) {
            Bytes page(4096);
            for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(a * 7 + i);
            memory[a] = page;
        }
    }
    void runToEnd() {
        for (int i = 0; i < 100000 && runs.empty(); ++i) {
            if (clock.runPending() == 0) clock.advance(100);
        }
    }
};

} // namespace

TEST_F(RegisterCopyTest, ReadsEveryProgrammingPageInOneRunAndLeavesTheDatabaseAlone) {
    fillRegister();
    ASSERT_TRUE(copy.start(Direction::Read, 2));
    EXPECT_EQ(&engine.pageIO(), &file);
    runToEnd();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, Outcome::Done);
    EXPECT_EQ(runs[0].page, 220);
    EXPECT_EQ(requested, RegisterCopy::Addresses(2));
    EXPECT_EQ((std::vector<int>(requested.begin(), requested.begin() + 5)),
              (std::vector<int>{4112, 4113, 4116, 4115, 4192}));
    std::vector<int> oneTo220(220);
    std::iota(oneTo220.begin(), oneTo220.end(), 1);
    EXPECT_EQ(progress, oneTo220);
    EXPECT_EQ(backup.pages, memory);
    EXPECT_EQ(&engine.pageIO(), &io);
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_FALSE(port.isOpen());
    for (const char* t : {"plu", "cashier", "depart", "hotkey", "member", "params"}) EXPECT_EQ(count(t), 0) << t;
}

TEST_F(RegisterCopyTest, AFailedSinglePagePausesAndContinueAsksForItAgain) {
    fillRegister();
    rule = [](int page, int attempt, bool) -> std::optional<Answer> {
        if (page == 4116 && attempt == 1) return Answer::raw(ResultFrame(code::Error));
        return std::nullopt;
    };
    ASSERT_TRUE(copy.start(Direction::Read, 2));
    runToEnd();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, Outcome::Failed);
    EXPECT_EQ(runs[0].message, LinkMessage{111214});
    EXPECT_EQ(runs[0].page, 3);
    EXPECT_TRUE(copy.paused());
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(&engine.pageIO(), &file); // kept for the continuation

    runs.clear();
    ASSERT_TRUE(copy.resume());
    runToEnd();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, Outcome::Done);
    EXPECT_EQ(attempts[4116], 2);
    EXPECT_EQ(attempts[4113], 1);
    EXPECT_EQ(backup.pages, memory);
}

TEST_F(RegisterCopyTest, WritesTheBackupBackAndVerifiesIt) {
    fillRegister();
    backup.pages = memory;
    memory.clear();
    file.setMode(BackupPageIO::Mode::Write);
    ASSERT_TRUE(copy.start(Direction::Write, 2));
    runToEnd();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, Outcome::Done);
    EXPECT_EQ(memory, backup.pages);
    // The parameter page is read before it is written.
    EXPECT_EQ((std::vector<int>(requested.begin(), requested.begin() + 3)), (std::vector<int>{4112, 4112, 4113}));
    EXPECT_EQ(requested.size(), 221u);

    // Read back: the same, and then a page the register changed.
    runs.clear();
    file.setMode(BackupPageIO::Mode::Verify);
    memory[4200][17] ^= 0x01;
    memory[4112][0] ^= 0x80;
    ASSERT_TRUE(copy.start(Direction::Read, 2));
    runToEnd();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, Outcome::Done);
    EXPECT_EQ(file.mismatches(), (std::vector<int>{4112, 4200}));
    EXPECT_NE(backup.pages[4200], memory[4200]); // the backup itself is untouched
}

TEST_F(RegisterCopyTest, APausedTransferOfTheEngineKeepsTheRunFromStarting) {
    PagedJob job;
    job.base = 4192;
    job.first = 0;
    job.last = 3;
    ASSERT_TRUE(engine.startPaged(job));
    engine.stop();
    settle();
    ASSERT_EQ(engine.state(), EngineState::Paused);
    EXPECT_FALSE(copy.start(Direction::Read, 2));
    EXPECT_EQ(&engine.pageIO(), &io);
    engine.close();

    // Closing a paused run gives the engine its own page I/O back.
    QObject::connect(&copy, &RegisterCopy::pageStarted, [this](int page, int, const KindPlan*) {
        if (page == 10) copy.stop();
    });
    ASSERT_TRUE(copy.start(Direction::Read, 2));
    runToEnd();
    ASSERT_TRUE(copy.paused());
    EXPECT_EQ(engine.state(), EngineState::Paused);
    copy.close();
    EXPECT_FALSE(copy.paused());
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(&engine.pageIO(), &io);
    EXPECT_FALSE(copy.resume());
}
