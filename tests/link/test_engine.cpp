// The transfer engine with a scripted register and a hand-moved clock:
// time-outs, attempts, stop and continue, and the port on every way out.
#include "EngineFixture.h"
#include "link/TransferPlans.h"
#include "records/Cashier.h"

#include <fstream>
#include <sstream>

using namespace ecr;
using namespace ecr::link;
using namespace ecr::records;
namespace rows = ecr::rows;

namespace {

Bytes cashierPage() {
    Bytes page(4096, 0xFF);
    CashierRecord c;
    c.rights.fill(1);
    c.id = 1;
    c.name = "Ann";
    c.passwd = "12";
    EncodeCashier(c, ByteSpan(page).subspan(40, 40));
    c.id = 99;
    c.name = "Zed";
    EncodeCashier(c, ByteSpan(page).subspan(99 * 40, 40));
    return page;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace


TEST_F(EngineFixture, CashierUploadStoresThePageAndReportsDone) {
    db->execute("INSERT INTO cashier(id,name) VALUES(50,'old')");
    memory[4113] = cashierPage();
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    EXPECT_EQ(engine.state(), EngineState::Running);
    EXPECT_TRUE(results.empty()); // never from inside the call
    settle();
    const auto& r = only();
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.message, LinkMessage{111235});
    EXPECT_FALSE(r.error);
    EXPECT_EQ(port.written, (std::vector<Bytes>{{0xAA, 0xBB, 0x08, 0x11, 0x10}}));
    EXPECT_EQ(count("cashier"), 2);
    EXPECT_EQ(db->scalar("SELECT name FROM cashier WHERE id = 99").toText(), "Zed");
    EXPECT_EQ(engine.state(), EngineState::Idle);
    EXPECT_EQ(states, (std::vector<EngineState>{EngineState::Running, EngineState::Idle}));
    EXPECT_EQ(portChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(port.closes, 1);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(EngineFixture, SilentRegisterTimesOutAfterFiveSecondsAndALateReplyIsNotTaken) {
    db->execute("INSERT INTO cashier(id,name) VALUES(50,'old')");
    memory[4113] = cashierPage();
    rule = [](int, int, bool) { return Answer::silence(); };
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    settle();
    clock.advance(kReplyTimeoutMs - 1);
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(port.isOpen());
    clock.advance(1);
    settle();
    const auto& r = only();
    EXPECT_EQ(r.outcome, Outcome::TimedOut);
    EXPECT_EQ(r.message, LinkMessage{111120});
    EXPECT_TRUE(r.error);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(clock.armed(), 0u);
    port.reply(PageFrame(code::Page, 4113, memory[4113]));
    settle();
    EXPECT_EQ(count("cashier"), 1);
    EXPECT_EQ(results.size(), 1u);
}

// The failing result codes are driven end to end through ecrctl.
TEST_F(EngineFixture, AWriteAnsweredWithElevenSucceedsLikeTwo) {
    rule = [](int, int, bool) { return Answer::raw(ResultFrame(0x0B)); };
    ASSERT_TRUE(engine.downloadSingle(kind::Cashier));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(only().message, LinkMessage{111118});
}

TEST_F(EngineFixture, NoiseBeforeTheReplyEndsInATimeOut) {
    memory[4113] = cashierPage();
    rule = [this](int page, int, bool) {
        Bytes b = {0x00, 0x55, 0xFF};
        const Bytes f = PageFrame(code::Page, page, memory[page]);
        b.insert(b.end(), f.begin(), f.end());
        return Answer::raw(b);
    };
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    runFor(6000);
    EXPECT_EQ(only().outcome, Outcome::TimedOut);
    EXPECT_EQ(count("cashier"), 0);
}

TEST_F(EngineFixture, BytesAfterAPageDoNotReachTheNextRequest) {
    memory[4113] = cashierPage();
    rule = [this](int page, int attempt, bool) -> std::optional<Answer> {
        if (attempt > 1) return std::nullopt;
        Bytes b = PageFrame(code::Page, page, memory[page]);
        const Bytes junk = ResultFrame(code::Refused);
        b.insert(b.end(), junk.begin(), junk.end());
        return Answer::raw(b);
    };
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(engine.dispatcher().ignoredBytes(), 3u);
    EXPECT_GE(port.clears, 1); // the receive buffer is emptied when a request ends
    results.clear();
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
}

TEST_F(EngineFixture, StoreFailureReportsTheErrorAndKeepsTheTable) {
    db->execute("INSERT INTO cashier(id,name) VALUES(50,'old')");
    db->execute("CREATE TRIGGER no_ann BEFORE INSERT ON cashier WHEN NEW.name = 'Zed' "
                "BEGIN SELECT RAISE(ABORT, 'Zed refused'); END");
    memory[4113] = cashierPage();
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    settle();
    const auto& r = only();
    EXPECT_EQ(r.outcome, Outcome::Failed);
    EXPECT_EQ(r.message, (LinkMessage{111465, {}, "Zed refused"}));
    EXPECT_EQ(count("cashier"), 1); // the delete was rolled back with the page
    EXPECT_NE(readFile(dir.file("ecr.log")).find("GetData_GetCashierStruct"), std::string::npos);
}

TEST_F(EngineFixture, UnbuildablePageIsNotSent) {
    // A kind whose builder fails, in a registry of this test's own.
    rows::PageRegistry kinds = rows::DatabaseKinds();
    kinds.add(kind::Depart, {"GetData_GetDepartmentStruct", {},
                             [](rows::PageContext&, ByteSpan, int) { throw std::runtime_error("no such column"); }});
    rows::DbPageIO failing(*db, App(), kinds);
    TransferEngine second(port, failing, clock);
    QObject::connect(&second, &TransferEngine::finished, [this](const TransferResult& r) { results.push_back(r); });
    ASSERT_TRUE(second.downloadSingle(kind::Depart));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Failed);
    EXPECT_EQ(only().message, (LinkMessage{111465, {}, "no such column"}));
    EXPECT_TRUE(port.written.empty());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(EngineFixture, StopEndsTheWaitAtOnce) {
    rule = [](int, int, bool) { return Answer::silence(); };
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    settle();
    clock.advance(1200);
    engine.stop();
    settle();
    EXPECT_EQ(only().outcome, Outcome::Stopped);
    EXPECT_TRUE(only().message.empty());
    EXPECT_EQ(clock.nowMs(), 1200);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(clock.armed(), 0u);
}

TEST_F(EngineFixture, OneTransferAtATime) {
    rule = [](int, int, bool) { return Answer::silence(); };
    ASSERT_TRUE(engine.uploadSingle(kind::Cashier));
    EXPECT_FALSE(engine.downloadSingle(kind::Depart));
    EXPECT_FALSE(engine.uploadParams());
    EXPECT_FALSE(engine.setClock({2020, 1, 1, 0, 0}));
    runFor(6000);
    EXPECT_EQ(only().outcome, Outcome::TimedOut);
    EXPECT_EQ(port.written.size(), 1u);
}

TEST_F(EngineFixture, NothingToRequestForKindZero) {
    ASSERT_TRUE(engine.uploadSingle(0));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Failed);
    EXPECT_EQ(only().message, LinkMessage{111210});
    EXPECT_TRUE(port.written.empty());
}

TEST_F(EngineFixture, FlashCashReadSetsTheStoreParametersFlag) {
    App().storeParameters = false;
    ASSERT_TRUE(engine.uploadSingle(kind::FlashCash, true));
    settle();
    EXPECT_TRUE(App().storeParameters);
    EXPECT_EQ(port.written, (std::vector<Bytes>{ReadRequestFrame(4117)}));
}

TEST_F(EngineFixture, LogoPagesFromAddress4128ZeroFilled) {
    Bytes logo(4097, 0x5A);
    logo[4096] = 0x81;
    ASSERT_TRUE(engine.sendLogo(logo));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Done);
    EXPECT_EQ(only().message, LinkMessage{111128});
    ASSERT_EQ(port.written.size(), 2u);
    EXPECT_EQ(port.written[0], PageWriteFrame(4128, Bytes(4096, 0x5A)));
    Bytes second(4096, 0x00);
    second[0] = 0x81;
    EXPECT_EQ(port.written[1], PageWriteFrame(4129, second));

    results.clear();
    port.written.clear();
    ASSERT_TRUE(engine.sendLogo(Bytes(4096, 1)));
    settle();
    EXPECT_EQ(port.written.size(), 1u);

    // A failed page ends the loop: the rest is not sent.
    results.clear();
    port.written.clear();
    rule = [](int page, int, bool) -> std::optional<Answer> {
        if (page == 4129) return Answer::raw(ResultFrame(code::Error));
        return std::nullopt;
    };
    ASSERT_TRUE(engine.sendLogo(Bytes(3 * 4096, 1)));
    settle();
    EXPECT_EQ(only().outcome, Outcome::Failed);
    EXPECT_EQ(only().message, LinkMessage{111214});
    EXPECT_EQ(only().page, 2);
    EXPECT_EQ(port.written.size(), 2u);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(EngineFixture, EngineDestroyedMidTransferClosesThePort) {
    rule = [](int, int, bool) { return Answer::silence(); };
    {
        TransferEngine second(port, io, clock);
        ASSERT_TRUE(second.uploadSingle(kind::Cashier));
        settle();
        EXPECT_TRUE(port.isOpen());
        EXPECT_EQ(clock.armed(), 1u); // the reply time-out
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(clock.armed(), 0u);
    clock.advance(10 * kReplyTimeoutMs); // nothing left to call back into
    EXPECT_TRUE(results.empty());
}
