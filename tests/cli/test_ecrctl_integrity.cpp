// ecrctl against ecr-sim where data could be lost or a failure pass for
// success: rows the register cannot hold, uploads onto occupied slots,
// records with impossible dates, broken databases, a register that vanishes,
// Ctrl-C during a reply, and the language and code page of a run.
#include "CliHarness.h"
#include "TempDir.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "app/GlobalFunc.h"
#include "db/Schema.h"
#include "link/LinkText.h"
#include "records/Department.h"
#include "records/Fields.h"
#include "records/Journal.h"
#include "records/PageKinds.h"
#include "records/Plu.h"
#include "sim/Demo.h"
#include "sim/RegisterMemory.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <csignal>
#include <fstream>
#include <sstream>

using namespace ecr;
using namespace ecr::records;
using cli_harness::Result;
using cli_harness::RunEcrctl;
using cli_harness::Sim;

namespace {

struct IntegrityE2E : ::testing::Test {
    TempDir dir;
    std::string dbPath = dir.file("ecr.db");
    std::string image = dir.file("register.img");
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dbPath);
    sim::RegisterMemory demo;

    void SetUp() override {
        App() = AppState{};
        App().conn = db.get();
        App().langCode = 3; // the English locale the harness gives ecrctl
        sim::FillDemo(demo);
    }
    void TearDown() override { App().conn = nullptr; }

    std::unique_ptr<Sim> start(const sim::RegisterMemory& memory, QStringList extra = {}) {
        EXPECT_EQ(memory.save(image), "");
        auto s = std::make_unique<Sim>(QStringList{"--image", QString::fromStdString(image)} + extra);
        EXPECT_FALSE(s->path.isEmpty());
        return s;
    }
    QStringList at(const Sim& sim) const { return {"--db", QString::fromStdString(dbPath), "--port", sim.path}; }
    Result run(const Sim& sim, const QStringList& args) { return RunEcrctl(at(sim) + args); }
    std::string text(int id, const std::vector<std::string>& args = {}) {
        return SubstituteArgs(link::LinkText(id), args);
    }
    std::string value(const std::string& sql) { return db->scalar(sql).toText(); }
    std::string log() {
        std::ifstream in(dir.file("ecr.log"), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

} // namespace

TEST_F(IntegrityE2E, DownloadWithRowsTheRegisterCannotHoldIsRefusedBeforeAnyFrame) {
    auto sim = start(demo);
    db->execute("INSERT INTO info(keyboard) VALUES(0)"); // 64 PLU pages
    db->execute("INSERT INTO plu(id,name,depart,price,memberprice,sid) VALUES"
                "('12abc','Tea',1,1,0,0),('7','Phở bò',1,99999999,25000000,1),('8','Beyond',1,1,0,6400)");
    Result r = run(*sim, {"download", "plu"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, text(120100, {"5"}) + "\n" +                                  //
                         "PLU 12abc, id: a code has 1 to 16 digits.\n" +            //
                         "PLU 7, name: the register's character set has no \"ở\".\n" +
                         "PLU 7, price: 99999999 is outside what the register holds (-21474836.48 to 21474836.47).\n" +
                         "PLU 7, memberprice: 25000000 is outside what the register holds (-21474836.48 to "
                         "21474836.47).\n" +
                         "PLU 8, sid: place 6400 lies outside the register's 64 pages of 64 records.\n");
    EXPECT_EQ(sim->lines(), ""); // not a single frame reached the register
    sim::RegisterMemory after;
    ASSERT_EQ(after.load(image), "");
    EXPECT_EQ(after.read(kind::Plu), demo.read(kind::Plu));
}

TEST_F(IntegrityE2E, UploadOntoAnOccupiedSlotKeepsBothPlus) {
    auto sim = start(demo);
    const auto cola = DecodePlu(RecordAt(ByteView(demo.read(kind::Plu)), 1, kPluRecordSize), 0, 1, 2);
    ASSERT_TRUE(cola);
    db->execute("INSERT INTO plu(id,name,sid) VALUES('555','Entered by hand',1)");
    Result r = run(*sim, {"upload", "plu", "--pages", "1-2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, text(111235) + "\n" + text(120105, {"1"}) + "\n");
    EXPECT_EQ(value("SELECT sid FROM plu WHERE id='" + cola->id + "'"), "1");
    EXPECT_EQ(value("SELECT name FROM plu WHERE id='555'"), "Entered by hand");
    EXPECT_NE(value("SELECT sid FROM plu WHERE id='555'"), "1");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM (SELECT sid FROM plu GROUP BY sid HAVING count(*) > 1)").toInt(), 0);
}

TEST_F(IntegrityE2E, JournalRecordWithAnImpossibleDateIsNamedAndTheRestKept) {
    // Record 9 of the first journal page says 31 April, hour 25.
    Bytes page = demo.read(kind::Journal);
    ASSERT_TRUE(DecodeJournal(RecordAt(ByteView(page), 9, kJournalRecordSize), 0, 9, 2));
    NumberToBytes(DateTextToPacked("200904312510"), RecordAt(ByteSpan(page), 9, kJournalRecordSize).subspan(20, 4), 0,
                  false);
    demo.write(kind::Journal, page);
    auto sim = start(demo);
    Result r = run(*sim, {"upload", "journal"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, text(120103, {"1"}) + "\n" + text(111465) + " " +
                         text(120104, {"Sales Journal", "1", "9", "date 2009-4-31 25:10 is not a real date"}) +
                         "\nend of data after page 4\n");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plurecord WHERE sid < 1000").toInt(), 47); // 48 on the page
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plurecord WHERE sid = 9").toInt(), 0);
    EXPECT_NE(log().find("Location:      GetData_GetPluRecordStruct\r\n"), std::string::npos);
}

TEST_F(IntegrityE2E, DatabaseWithoutItsTablesEndsWithAMessage) {
    auto sim = start(demo);
    for (const char* table : {"info", "params"}) {
        SCOPED_TRACE(table);
        TempDir other;
        const std::string path = other.file("broken.db");
        db::OpenOrCreate(path)->execute(std::string("DROP TABLE ") + table);
        const QString arg = QString::fromStdString(path);
        for (const QStringList& args : {QStringList{"--db", arg, "init"},
                                        QStringList{"--db", arg, "--port", sim->path, "upload", "cashiers"},
                                        QStringList{"--db", arg, "--port", sim->path, "download", "plu"}}) {
            Result r = RunEcrctl(args);
            EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
            EXPECT_EQ(r.err, "ecrctl: the database " + path + " lacks the tables " + table +
                                 "; it was not made by this program, or it is damaged\n");
        }
    }
    EXPECT_EQ(sim->lines(), "");
}

TEST_F(IntegrityE2E, MessagesInTheDatabasesLanguageTheLocalesOrTheRunsOwn) {
    auto sim = start(demo);
    db->execute("INSERT INTO info(lang) VALUES(6)");
    EXPECT_EQ(run(*sim, {"upload", "cashiers"}).out, "Réception terminée avec succès.\n");
    EXPECT_EQ(RunEcrctl(QStringList{"--lang", "3"} + at(*sim) + QStringList{"upload", "cashiers"}).out,
              "Upload completed successfully.\n");
    db->execute("DELETE FROM info");
    // Without an info row: the locale's language.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("LC_ALL");
    env.insert("LANG", "fr_FR.UTF-8");
    p.setProcessEnvironment(env);
    p.start(ECRCTL, at(*sim) + QStringList{"upload", "cashiers"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.readAllStandardOutput().toStdString(), "Réception terminée avec succès.\n");
}

TEST_F(IntegrityE2E, CodePageForOneRun) {
    auto sim = start(demo);
    db->execute("INSERT INTO depart(id,name,price,tax) VALUES(1,'Phở bò',2,5)");
    Result r = run(*sim, {"download", "departments"});
    EXPECT_EQ(r.code, 1); // GBK has no ở
    EXPECT_EQ(r.err, text(120100, {"1"}) + "\nDepartments 1, name: the register's character set has no \"ở\".\n");
    r = RunEcrctl(QStringList{"--codepage", "CP1258"} + at(*sim) + QStringList{"download", "departments"});
    EXPECT_EQ(r.code, 0) << r.err;
    sim::RegisterMemory mem;
    ASSERT_EQ(mem.load(image), "");
    const Bytes page = mem.read(kind::Depart);
    // ở and ò as base letters and combining marks, as CP1258 writes them.
    EXPECT_EQ(Bytes(page.begin() + 32, page.begin() + 41), (Bytes{'P', 'h', 0xF5, 0xD2, ' ', 'b', 'o', 0xCC, ' '}));
    // The stored setting is untouched.
    EXPECT_TRUE(db->scalar("SELECT codepage FROM info").isNull());
    EXPECT_EQ(sim->lines(), "write 4116 ok\n");
}

TEST_F(IntegrityE2E, CtrlCLetsTheRunningReplyArriveThenStops) {
    // At 57600 baud a page takes about 0.7 s on the line: Ctrl-C comes while
    // the first page's reply is under way.
    auto sim = start(demo, {"--baud", "57600"});
    QProcess p;
    p.start(ECRCTL, at(*sim) + QStringList{"upload", "members"});
    ASSERT_TRUE(p.waitForStarted());
    std::string lines;
    for (int i = 0; i < 100 && lines.find("read 4144 page") == std::string::npos; ++i) lines = sim->lines();
    ASSERT_NE(lines.find("read 4144 page"), std::string::npos);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError().toStdString(),
              "stopping after the running request\nstopped\nstopped at page 2; continue with --pages 2-32\n");
    EXPECT_EQ(sim->lines(), "read 4144 page\n");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM member").toInt(), 6); // the first page's members
}

TEST_F(IntegrityE2E, VanishedRegisterFailsWithoutWaitingForTheTimeOut) {
    // At 9600 baud one page takes over four seconds: the register is killed
    // while it answers the first one.
    auto sim = start(demo, {"--baud", "9600"});
    const std::string device = sim->path.toStdString();
    QProcess p;
    p.start(ECRCTL, at(*sim) + QStringList{"upload", "plu"});
    ASSERT_TRUE(p.waitForStarted());
    std::string lines;
    for (int i = 0; i < 100 && lines.find("read 4192 page") == std::string::npos; ++i) lines = sim->lines();
    ASSERT_NE(lines.find("read 4192 page"), std::string::npos);
    sim->p.kill();
    sim->p.waitForFinished(3000);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    const std::string err = p.readAllStandardError().toStdString();
    // The attempt failed on the lost device (not on a time-out) and the retry
    // could not open it again.
    EXPECT_EQ(err.rfind(text(120106, {device, ""}), 0), 0u) << err;
    EXPECT_NE(err.find("stopped at page 1; continue with --pages 1-160"), std::string::npos) << err;
    const std::string logText = log();
    EXPECT_NE(logText.find("Location:      Comm_Receive\r\n"), std::string::npos);
    EXPECT_NE(logText.find("Error Message: " + device + ": "), std::string::npos);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plu").toInt(), 0);
}
