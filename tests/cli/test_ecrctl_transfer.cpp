// ecrctl against ecr-sim over a real pseudo-terminal: the transfers scripts
// rely on, and what each register fault leaves behind.
#include "CliHarness.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "db/Schema.h"
#include "link/LinkText.h"
#include "link/TransferPlans.h"
#include "records/Cashier.h"
#include "records/Department.h"
#include "records/rows/DbPageIO.h"
#include "sim/Demo.h"
#include "sim/RegisterMemory.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>

using namespace ecr;
using namespace ecr::records;
using cli_harness::Result;
using cli_harness::Sim;
using cli_harness::RunEcrctl;

namespace {

struct TransferE2E : ::testing::Test {
    TempDir dir;
    std::string dbPath = dir.file("ecr.db");
    std::string image = dir.file("register.img");
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dbPath);
    rows::DbPageIO io{*db, App()};

    void SetUp() override {
        App() = AppState{};
        App().conn = db.get();
        LoadStartupState(*db, App());
        App().langCode = 3; // ecrctl speaks the locale's language (English here) without an info row
    }
    void TearDown() override { App().conn = nullptr; }

    Result run(const Sim& sim, QStringList args) {
        return RunEcrctl(QStringList{"--db", QString::fromStdString(dbPath), "--port", sim.path} + args);
    }
    std::string text(int id) { return link::LinkText(id); }
    // Everything in a table, for before/after comparisons.
    std::string dump(const std::string& table) {
        std::string s;
        for (const auto& row : db->query("SELECT * FROM " + table + " ORDER BY id").rows) {
            for (const auto& v : row) s += v.toText() + "|";
            s += "\n";
        }
        return s;
    }
    sim::RegisterMemory registerImage() {
        sim::RegisterMemory m;
        EXPECT_EQ(m.load(image), "");
        return m;
    }
    void seedTables() {
        db->execute("INSERT INTO cashier(id,name,passwd,a0,a1,a2,a3,a7,a8,a9,a10,a11,a12,a13,a14,a15,a16) "
                    "VALUES(7,'Kept','77',1,1,1,1,0,1,1,1,1,1,1,1,1,1)");
        db->execute("INSERT INTO depart(id,name,price,discounten,tax,addr,KitchenEn) VALUES(3,'Kept',1.25,1,7,2,1)");
    }
};

} // namespace

TEST_F(TransferE2E, UploadReplacesCashiersAndDepartmentsWithTheRegisters) {
    seedTables();
    Sim sim({"--demo", "--image", QString::fromStdString(image)});
    ASSERT_FALSE(sim.path.isEmpty());
    Result r = run(sim, {"upload", "cashiers"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, text(111235) + "\n");
    r = run(sim, {"upload", "departments"});
    EXPECT_EQ(r.code, 0) << r.err;

    sim::RegisterMemory demo;
    sim::FillDemo(demo);
    const Bytes cp = demo.read(kind::Cashier);
    std::vector<std::string> expected;
    for (int i = 0; i < kCashierRecords; ++i)
        if (auto c = DecodeCashier(ByteView(cp).subspan(static_cast<std::size_t>(i) * 40, 40), i))
            expected.push_back(std::to_string(c->id) + " " + c->name + " " + c->passwd);
    std::vector<std::string> got;
    for (const auto& row : db->query("SELECT id, name, passwd FROM cashier ORDER BY id").rows)
        got.push_back(row[0].toText() + " " + row[1].toText() + " " + row[2].toText());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got.size(), 6u);
    EXPECT_EQ(db->scalar("SELECT a7 FROM cashier WHERE name = 'Anna Berg'").toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM depart").toInt(), 12);
    EXPECT_EQ(db->scalar("SELECT name FROM depart WHERE id = 8").toText(), "饮料");
    EXPECT_DOUBLE_EQ(db->scalar("SELECT price FROM depart WHERE id = 9").toDouble(), 6.8);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM depart WHERE name = 'Kept'").toInt(), 0);
    EXPECT_EQ(sim.lines(), "read 4113 page\nread 4116 page\n");
}

TEST_F(TransferE2E, DownloadWritesTheTablesIntoTheRegister) {
    seedTables();
    db->execute("INSERT INTO depart(id,name,price,discounten,tax,addr,KitchenEn) VALUES(100,'Last',99.99,0,0,0,0)");
    Sim sim({"--demo", "--image", QString::fromStdString(image)});
    Result r = run(sim, {"download", "cashiers"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, text(111118) + "\n");
    r = run(sim, {"download", "departments"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(sim.lines(), "write 4113 ok\nwrite 4116 ok\n");
    const auto mem = registerImage();
    EXPECT_EQ(mem.read(kind::Cashier), io.buildPage(kind::Cashier, 0).page);
    EXPECT_EQ(mem.read(kind::Depart), io.buildPage(kind::Depart, 0).page);
    auto last = DecodeDepart(ByteView(mem.read(kind::Depart)).subspan(3200, 32), 100);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->name, "Last");
    EXPECT_DOUBLE_EQ(last->price, 99.99);
    // Round trip: what went in comes back unchanged.
    const std::string before = dump("cashier") + dump("depart");
    EXPECT_EQ(run(sim, {"upload", "cashiers"}).code, 0);
    EXPECT_EQ(run(sim, {"upload", "departments"}).code, 0);
    EXPECT_EQ(dump("cashier") + dump("depart"), before);
}

TEST_F(TransferE2E, SetClock) {
    Sim sim({"--image", QString::fromStdString(image)});
    Result r = run(sim, {"set-clock", "--time", "2009-10-17 09:05"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, text(111415) + "\n");
    EXPECT_EQ(sim.lines(), "clock 2009-10-17 09:05 ok\n");
    r = run(sim, {"set-clock"}); // this computer's time
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(run(sim, {"set-clock", "--time", "2009-13-01 09:05"}).code, 2);
    EXPECT_EQ(run(sim, {"set-clock", "--time", "yesterday"}).code, 2);
}

namespace {

// A BMP file: 16 x 2 pixels at the given bits per pixel, rows bottom first.
void writeBitmap(const std::string& path, int bitsPerPixel, const Bytes& pixels) {
    Bytes f(62, 0);
    f[0] = 'B';
    f[1] = 'M';
    const std::size_t size = f.size() + pixels.size();
    f[2] = static_cast<std::uint8_t>(size);
    f[10] = 62;
    f[14] = 40;
    f[18] = 16; // width
    f[22] = 2;  // height
    f[26] = 1;
    f[28] = static_cast<std::uint8_t>(bitsPerPixel);
    f.insert(f.end(), pixels.begin(), pixels.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()), static_cast<std::streamsize>(f.size()));
}

} // namespace

TEST_F(TransferE2E, SendLogoWritesTheConvertedBitmap) {
    Sim sim({"--image", QString::fromStdString(image)});
    const std::string bmp = dir.file("logo.bmp");
    writeBitmap(bmp, 1, {0x00, 0xFF, 0, 0, 0x0F, 0xF0, 0, 0}); // bottom row, then top row
    Result r = run(sim, {"send-logo", QString::fromStdString(bmp)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, text(111128) + "\n");
    EXPECT_EQ(sim.lines(), "write 4128 ok\n");
    Bytes expected(4096, 0x00);
    expected[0] = 0xF0; // top row first, inverted
    expected[1] = 0x0F;
    expected[2] = 0xFF;
    expected[3] = 0x00;
    EXPECT_EQ(registerImage().read(kind::Logo), expected);

    writeBitmap(bmp, 24, Bytes(2 * 48, 0));
    r = run(sim, {"send-logo", QString::fromStdString(bmp)});
    EXPECT_EQ(r.code, 2);
    // A colour bitmap could be converted: the refusal says how.
    EXPECT_EQ(r.err, text(111216) + "\n(--dither converts it into a logo)\n");
    r = run(sim, {"send-logo", QString::fromStdString(dir.file("none.bmp"))});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, text(111127) + " (" + dir.file("none.bmp") + ")\n");
    r = run(sim, {"send-logo", QString::fromStdString(dir.path.string())});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, SubstituteArgs(text(120108), {dir.path.string()}) + "\n");
    EXPECT_EQ(sim.lines(), "write 4128 ok\n"); // the refused files never reached the register
}

struct Fault {
    const char* fault;
    const char* command;
    const char* kind;
    int messageId; // 0: "result = &HA"
};

class FaultE2E : public TransferE2E, public ::testing::WithParamInterface<Fault> {};

TEST_P(FaultE2E, FailsWithTheMessageAndChangesNothing) {
    const Fault f = GetParam();
    seedTables();
    Sim sim({"--demo", "--image", QString::fromStdString(image), "--fault", f.fault});
    const std::string tables = dump("cashier") + dump("depart");
    const auto before = registerImage();
    Result r = run(sim, {f.command, f.kind});
    EXPECT_EQ(r.code, 1);
    const std::string message = f.messageId ? text(f.messageId) : "result = &HA";
    EXPECT_EQ(r.err, message + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dump("cashier") + dump("depart"), tables);
    const auto after = registerImage();
    EXPECT_EQ(after.read(kind::Cashier), before.read(kind::Cashier));
    EXPECT_EQ(after.read(kind::Depart), before.read(kind::Depart));
}

INSTANTIATE_TEST_SUITE_P(Replies, FaultE2E,
                         ::testing::Values(Fault{"checksum@4113", "upload", "cashiers", 111212},
                                           Fault{"address@4116", "upload", "departments", 111211},
                                           Fault{"result1@4113", "download", "cashiers", 111214},
                                           Fault{"result3@4116", "download", "departments", 111213},
                                           Fault{"result10@4113", "upload", "cashiers", 0},
                                           Fault{"result3@4113", "upload", "cashiers", 111213},
                                           Fault{"checksum@4116", "download", "departments", 111214}),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                             std::string name = std::string(info.param.command) + "_" + info.param.kind + "_" +
                                                info.param.fault;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST_F(TransferE2E, SilentRegisterTimesOut) {
    seedTables();
    Sim sim({"--demo", "--image", QString::fromStdString(image), "--fault", "silence@4113"});
    const std::string tables = dump("cashier");
    Result r = run(sim, {"upload", "cashiers"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, text(111120) + "\n");
    EXPECT_GE(r.seconds, 5.0);
    EXPECT_EQ(dump("cashier"), tables);
}

TEST_F(TransferE2E, PagedFailureSaysWhereToContinue) {
    Sim sim({"--image", QString::fromStdString(image), "--fault", "result3@4145"});
    Result r = run(sim, {"upload", "members", "--pages", "1-3"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, text(111213) + "\nstopped at page 2; continue with --pages 2-3\n");
    // Members are not retried: page 2 was asked for once, page 3 never.
    EXPECT_EQ(sim.lines(), "read 4144 page\nread 4145 result3\n");
}

TEST_F(TransferE2E, UsageErrorsReachNeitherTheDatabaseNorTheRegister) {
    Sim sim({"--image", QString::fromStdString(image)});
    const QString usageDb = QString::fromStdString(dir.file("usage.db"));
    const QStringList at{"--db", usageDb, "--port", sim.path};
    const std::vector<QStringList> cases = {
        at + QStringList{"upload"},
        at + QStringList{"upload", "spoons"},
        at + QStringList{"download", "fiscal"},
        at + QStringList{"download", "flashcash"},
        at + QStringList{"upload", "cashiers", "--pages", "1-2"},
        at + QStringList{"upload", "cashiers", "extra"},
        at + QStringList{"upload", "plu", "--pages", "1-2", "--pages", "3-4"},
        at + QStringList{"send-logo"},
        at + QStringList{"set-clock", "--time", "2009-10-17 09:05", "--time", "2009-10-17 09:06"},
        QStringList{"--baud", "115200x"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--baud", "57600.0"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--baud", "1200"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--lang", "8"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--lang", "3x"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--codepage", "NO-SUCH-PAGE"} + at + QStringList{"upload", "cashiers"},
        QStringList{"--db", "", "--port", sim.path, "upload", "cashiers"},
    };
    for (const QStringList& args : cases) {
        const Result r = RunEcrctl(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString() << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("ecrctl: ", 0), 0u) << r.err;
    }
    std::error_code ec;
    EXPECT_FALSE(std::filesystem::exists(usageDb.toStdString(), ec)); // refused before the database was opened
    Result r = RunEcrctl(at + QStringList{"upload", "members", "--pages", "5-3"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, text(111526) + "\n");
    EXPECT_EQ(sim.lines(), ""); // none of these reached the register
}

TEST_F(TransferE2E, PortErrorsNameTheDevice) {
    const QString dbArg = QString::fromStdString(dbPath);
    Result r = RunEcrctl({"--db", dbArg, "--port", "/dev/ecr-no-such-port", "upload", "cashiers"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, SubstituteArgs(text(120106), {"/dev/ecr-no-such-port", "No such file or directory"}) + "\n");
    std::ifstream log(dir.file("ecr.log"));
    std::string logText((std::istreambuf_iterator<char>(log)), {});
    EXPECT_NE(logText.find("Location:      Comm_InitComm\r\n"), std::string::npos);
    EXPECT_NE(logText.find("Error Message: /dev/ecr-no-such-port: No such file or directory\r\n"), std::string::npos);
    // A bare name that is a file of the current folder means that file.
    std::ofstream(dir.file("regular.txt")) << "not a port\n";
    r = RunEcrctl({"--db", dbArg, "--port", "regular.txt", "upload", "cashiers"}, 60000,
                  QString::fromStdString(dir.path.string()));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind(SubstituteArgs(text(120106), {dir.file("regular.txt"), ""}), 0), 0u) << r.err;
    // --port is for this run only.
    EXPECT_TRUE(db::OpenOrCreate(dbPath)->scalar("SELECT portname FROM info").isNull());
}
