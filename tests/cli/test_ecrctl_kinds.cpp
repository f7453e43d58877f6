// ecrctl against ecr-sim over a pseudo-terminal for the record kinds beyond
// cashiers and departments: each kind in each direction it has, with the
// steps its editor takes around the transfer.
#include "CliHarness.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "db/Schema.h"
#include "records/Fields.h"
#include "records/Journal.h"
#include "records/PageKinds.h"
#include "records/rows/DbPageIO.h"
#include "records/Plu.h"
#include "sim/Demo.h"
#include "sim/RegisterMemory.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <sstream>

using namespace ecr;
using namespace ecr::records;
using cli_harness::Result;
using cli_harness::Sim;

namespace {

std::vector<int> range(int first, int last) {
    std::vector<int> v;
    for (int a = first; a <= last; ++a)
        v.push_back(a);
    return v;
}

struct KindsE2E : ::testing::Test {
    TempDir dir;
    std::string dbPath = dir.file("ecr.db");
    std::string image = dir.file("register.img");
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dbPath);
    rows::DbPageIO io{*db, App()};
    sim::RegisterMemory demo;

    void SetUp() override {
        App() = AppState{};
        App().conn = db.get();
        LoadStartupState(*db, App());
        App().langCode = 3; // ecrctl speaks the locale's language (English here) without an info row
        sim::FillDemo(demo);
    }
    void TearDown() override { App().conn = nullptr; }

    // A register holding the given memory.
    std::unique_ptr<Sim> start(const sim::RegisterMemory& memory) {
        EXPECT_EQ(memory.save(image), "");
        auto s = std::make_unique<Sim>(QStringList{"--image", QString::fromStdString(image)});
        EXPECT_FALSE(s->path.isEmpty());
        return s;
    }
    Result run(const Sim& sim, QStringList args) {
        return cli_harness::RunEcrctl(QStringList{"--db", QString::fromStdString(dbPath), "--port", sim.path} + args);
    }
    sim::RegisterMemory registerNow() {
        sim::RegisterMemory m;
        EXPECT_EQ(m.load(image), "");
        return m;
    }
    long long count(const std::string& sql) { return db->scalar(sql).toInt(); }
    std::string text(const std::string& sql) { return db->scalar(sql).toText(); }
    std::string dump(const std::string& table, const std::string& order) {
        std::string s;
        for (const auto& row : db->query("SELECT * FROM " + table + " ORDER BY " + order).rows) {
            for (const auto& v : row)
                s += v.toText() + "|";
            s += "\n";
        }
        return s;
    }
};

} // namespace

TEST_F(KindsE2E, ParamsUploadThenDownloadOverTheRegistersOwnPage) {
    // Bytes without a column that only the register knows.
    Bytes page = demo.read(kind::Params);
    page[0] = 0x5A;
    page[2000] = 0x33;
    demo.write(kind::Params, page);
    auto sim = start(demo);
    Result r = run(*sim, {"upload", "params"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(text("SELECT NoteHead1 || '|' || NoteEnd1 || '|' || PointEn || '|' || Price5 FROM params"),
              "CORNER SHOP|Thank you for your visit!|2|USD");
    EXPECT_EQ(count("SELECT count(*) FROM params_all"), 1);
    EXPECT_EQ(sim->requests("read"), std::vector<int>{kind::Params});

    db->execute("UPDATE params SET NoteHead1='NEW SHOP NAME', MachineNumber=9");
    db->execute("DELETE FROM params_all"); // the download must read the register's page first
    r = run(*sim, {"download", "params"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim->log(), (std::vector<std::string>{"read 4112 page", "write 4112 ok"}));
    const Bytes written = registerNow().read(kind::Params);
    EXPECT_EQ(written[0], 0x5A);
    EXPECT_EQ(written[2000], 0x33);
    EXPECT_EQ(std::string(written.begin() + 280, written.begin() + 293), "NEW SHOP NAME");
    EXPECT_EQ(written[56], 9);
    // The read before the write does not replace what was edited.
    EXPECT_EQ(text("SELECT NoteHead1 FROM params"), "NEW SHOP NAME");
}

TEST_F(KindsE2E, KeysRoundTripAndABlankKeyboardGoesBackBlank) {
    auto sim = start(demo);
    ASSERT_EQ(run(*sim, {"upload", "keys"}).code, 0);
    EXPECT_EQ(count("SELECT count(*) FROM hotkey"), 385);
    EXPECT_EQ(count("SELECT count(*) FROM hotkey WHERE function='P'"), 24);
    EXPECT_EQ(count("SELECT content FROM hotkey WHERE keyaddress=151 AND function='F'"), 151);
    Result r = run(*sim, {"download", "keys"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(registerNow().read(kind::Keyboard), demo.read(kind::Keyboard));
    sim.reset();

    sim::RegisterMemory erased; // a register whose keys were never programmed
    erased.write(kind::Cashier, demo.read(kind::Cashier));
    sim = start(erased);
    ASSERT_EQ(run(*sim, {"upload", "keys"}).code, 0);
    EXPECT_EQ(count("SELECT count(*) FROM hotkey WHERE function=''"), 385);
    r = run(*sim, {"download", "keys"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(registerNow().read(kind::Keyboard), Bytes(kPageSize, 0xFF));
}

TEST_F(KindsE2E, PluPagesFollowTheKeyboardAndRoundTrip) {
    auto sim = start(demo);
    // No info row: keyboard 2, so 160 pages.
    Result r = run(*sim, {"upload", "plu"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim->requests("read"), range(4192, 4351));
    EXPECT_EQ(count("SELECT count(*) FROM plu"), 100);
    EXPECT_EQ(text("SELECT name || '|' || price || '|' || safestock || '|' || stockvalue FROM plu "
                   "WHERE id='6901234567908'"),
              "Cola 0.33l|1.2|5.0|18.0"); // the newer stock slot
    EXPECT_DOUBLE_EQ(db->scalar("SELECT safestock FROM plu WHERE id='6901234567892'").toDouble(), -2);

    db->execute("INSERT INTO info(keyboard) VALUES(0)");
    db->execute("UPDATE plu SET price=1.25 WHERE id='6901234567908'");
    const std::string before = dump("plu", "sid");
    r = run(*sim, {"download", "plu"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim->requests("write"), range(4192, 4255));
    const auto mem = registerNow();
    EXPECT_EQ(mem.read(4193), io.buildPage(kind::Plu, 1).page);
    auto cola = DecodePlu(RecordAt(ByteView(mem.read(4192)), 1, kPluRecordSize), 0, 1, 2);
    ASSERT_TRUE(cola);
    EXPECT_DOUBLE_EQ(cola->price, 1.25);
    EXPECT_DOUBLE_EQ(cola->stockvalue, 18);
    // What was written comes back as it was, negative minimum stock included.
    r = run(*sim, {"upload", "plu", "--pages", "1-2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(dump("plu", "sid"), before);
}

TEST_F(KindsE2E, MembersBundlesAndPromotionsReplaceTheirTables) {
    db->execute("INSERT INTO member(userid,username,sid) VALUES('999','Gone',5)");
    db->execute("INSERT INTO bundle(bundlenumber,bundlename,sid) VALUES('999','Gone',5)");
    db->execute("INSERT INTO promotion(address,promotionname,pluid) VALUES(5,'Gone','1')");
    auto sim = start(demo);
    for (const char* k : {"members", "bundles", "promotions"}) {
        Result r = run(*sim, {"upload", k});
        ASSERT_EQ(r.code, 0) << k << r.err;
    }
    EXPECT_EQ(sim->requests("read"), [] {
        auto v = range(4144, 4175);
        for (int a : range(4176, 4191))
            v.push_back(a);
        for (int a : range(4136, 4143))
            v.push_back(a);
        return v;
    }());
    EXPECT_EQ(text("SELECT group_concat(userid, ',') FROM (SELECT userid FROM member ORDER BY sid)"),
              "13800138000,13912345678,1001,1002,1003,1004");
    EXPECT_EQ(text("SELECT group_concat(bundlenumber, ',') FROM bundle"), "501,502,503");
    EXPECT_EQ(text("SELECT group_concat(promotionname, ',') FROM (SELECT * FROM promotion ORDER BY address)"),
              "Cola six-pack,2 pizzas,Coffee + croissant,Milk week");
    EXPECT_EQ(text("SELECT edate FROM promotion WHERE address=0"), "2009-10-31 23:59:00");

    // An upload that continues at a later page keeps the rows of the first.
    ASSERT_EQ(run(*sim, {"upload", "members", "--pages", "2-32"}).code, 0);
    EXPECT_EQ(count("SELECT count(*) FROM member"), 6);
    sim->requests("read");

    for (const char* k : {"members", "bundles", "promotions"}) {
        Result r = run(*sim, {"download", k});
        ASSERT_EQ(r.code, 0) << k << r.err;
    }
    EXPECT_EQ(sim->requests("write").size(), 32u + 16u + 8u);
    const auto mem = registerNow();
    for (int k : {kind::Member, kind::Bundle, kind::Promotion}) {
        EXPECT_EQ(mem.read(k), demo.read(k)) << k;
        EXPECT_EQ(mem.read(k + 1), Bytes(kPageSize, 0xFF)) << k;
    }
}

TEST_F(KindsE2E, FiscalAndFlashCashAreOnlyRead) {
    db->execute("INSERT INTO fiscal(fyear,fday,mdate) VALUES(1999,1,'1999-01-01 00:00:00')");
    auto sim = start(demo);
    Result r = run(*sim, {"upload", "fiscal"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim->requests("read"), range(4096, 4111));
    EXPECT_EQ(count("SELECT count(*) FROM fiscal"), 135);
    EXPECT_EQ(text("SELECT fday || '|' || saleprice || '|' || bill FROM fiscal WHERE mdate='2009-05-15 00:00:00'"),
              "143|891.45|113");
    r = run(*sim, {"upload", "flashcash"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(text("SELECT group_concat(total, ',') FROM (SELECT total FROM flashcash ORDER BY type)"),
              "1024.75,455.1,64.8,200.0,0.0,45.0,0.0,15.5,2650.9,0.0,8.2,99.99");
    EXPECT_EQ(run(*sim, {"download", "fiscal"}).code, 2);
    EXPECT_EQ(run(*sim, {"download", "flashcash"}).code, 2);
    EXPECT_TRUE(sim->requests("write").empty());
}

TEST_F(KindsE2E, JournalFollowsTheAllocationTableAndEndsOnAnErasedPage) {
    auto sim = start(demo);
    ASSERT_EQ(run(*sim, {"upload", "plu"}).code, 0);
    ASSERT_EQ(run(*sim, {"upload", "bundles"}).code, 0);
    ASSERT_EQ(run(*sim, {"upload", "departments"}).code, 0);
    sim->requests("read");
    // Version 320: the allocation table says pages 0, 2, 3 and 4 hold data;
    // page 3 is erased, so the read ends there and page 4 is never asked for.
    Result r = run(*sim, {"upload", "journal"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("end of data after page 4"), std::string::npos) << r.err;
    EXPECT_EQ(sim->requests("read"), (std::vector<int>{4134, 4135, 4352, 4354, 4355}));
    EXPECT_EQ(count("SELECT count(*) FROM plurecord"), 96);
    EXPECT_EQ(text("SELECT min(sid) || '-' || max(sid) FROM plurecord WHERE sid < 1000"), "0-47");
    EXPECT_EQ(text("SELECT min(sid) || '-' || max(sid) FROM plurecord WHERE sid >= 1000"), "2000-2047");
    EXPECT_EQ(text("SELECT pluname || '|' || departname || '|' || taxvalue FROM plurecord WHERE sid=0"),
              "Mineral water 1.5l|Drinks|13.0");
    EXPECT_EQ(text("SELECT pluname || '|' || depart || '|' || unitprice FROM plurecord WHERE sid=5"),
              "Breakfast set|0|3.5");
    EXPECT_EQ(text("SELECT substr(fat1, 1, 16) FROM plurecordfat"), "2,0,0,0,0,0,0,0,");

    // Written back: the allocation pages first, then the pages it marks.
    r = run(*sim, {"download", "journal"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim->requests("write"), (std::vector<int>{4134, 4135, 4352, 4354, 4355, 4356}));
    const auto mem = registerNow();
    for (int address : {4352, 4354}) {
        const Bytes got = mem.read(address), sent = demo.read(address);
        for (int i = 0; i < kJournalRecords; ++i) {
            Bytes expected(sent.begin() + i * 32, sent.begin() + i * 32 + 32);
            // A bundle line is kept with department 0, so it goes back as one.
            if (expected[25] == kBundleDepart) expected[25] = 0;
            EXPECT_EQ(Bytes(got.begin() + i * 32, got.begin() + i * 32 + 32), expected) << address << " " << i;
        }
    }
    EXPECT_EQ(mem.read(4134), demo.read(4134));
    EXPECT_EQ(mem.read(4356), Bytes(kPageSize, 0xFF)); // never read, so no rows to write
}

TEST_F(KindsE2E, JournalWithoutAllocationTableReadsUntilTheErasedPage) {
    db->execute("INSERT INTO info(ver,keyboard) VALUES(500,2)");
    auto sim = start(demo);
    Result r = run(*sim, {"upload", "journal"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim->requests("read"), (std::vector<int>{4352, 4353, 4354, 4355}));
    EXPECT_EQ(count("SELECT count(*) FROM plurecord"), 48 + 16 + 48);
}
