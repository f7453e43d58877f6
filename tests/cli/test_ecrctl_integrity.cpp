// ecrctl against ecr-sim where data could be lost or a failure pass for
// success: records with impossible dates, broken databases, a register that
// vanishes, Ctrl-C during a reply, and the language and code page of a run.
#include "RegisterCli.h"
#include "records/Fields.h"
#include "records/Journal.h"
#include "records/PageKinds.h"

#include <QProcess>

#include <csignal>

using namespace ecr;
using namespace ecr::records;
using cli_harness::RunEcrctl;

namespace {

struct IntegrityE2E : RegisterCli {
    // Starts ecrctl and returns once the register has logged the line.
    bool startUntil(QProcess& p, Sim& sim, const QStringList& args, const std::string& line) {
        p.start(ECRCTL, at(sim) + args);
        if (!p.waitForStarted()) return false;
        for (int i = 0; i < 100; ++i)
            if (sim.lines().find(line) != std::string::npos) return true;
        return false;
    }
};

} // namespace

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
    // 47 of the 48 on the page.
    EXPECT_EQ(value("SELECT count(*) || '|' || sum(sid = 9) FROM plurecord WHERE sid < 1000"), "47|0");
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
        for (const QStringList& args :
             {QStringList{"--db", arg, "init"}, QStringList{"--db", arg, "--port", sim->path, "upload", "cashiers"}}) {
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
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, text(120100, {"1"}) + "\nDepartments 1, name: the register's character set has no \"ở\".\n");
    r = RunEcrctl(QStringList{"--codepage", "CP1258"} + at(*sim) + QStringList{"download", "departments"});
    EXPECT_EQ(r.code, 0) << r.err;
    const Bytes page = registerNow().read(kind::Depart);
    // ở and ò as base letters and combining marks, as CP1258 writes them.
    EXPECT_EQ(Bytes(page.begin() + 32, page.begin() + 41), (Bytes{'P', 'h', 0xF5, 0xD2, ' ', 'b', 'o', 0xCC, ' '}));
    // The stored setting is untouched.
    EXPECT_TRUE(db->scalar("SELECT codepage FROM info").isNull());
    EXPECT_EQ(sim->lines(), "write 4116 ok\n"); // the refused run sent nothing
}

TEST_F(IntegrityE2E, CtrlCLetsTheRunningReplyArriveThenStops) {
    // At 57600 baud a page takes about 0.7 s on the line: Ctrl-C comes while
    // the first page's reply is under way.
    auto sim = start(demo, {"--baud", "57600"});
    QProcess p;
    ASSERT_TRUE(startUntil(p, *sim, {"upload", "members"}, "read 4144 page"));
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError().toStdString(),
              "stopping after the running request\nstopped\nstopped at page 2; continue with --pages 2-32\n");
    EXPECT_EQ(sim->lines(), "read 4144 page\n");
    EXPECT_EQ(value("SELECT count(*) FROM member"), "6"); // the first page's members
}

TEST_F(IntegrityE2E, VanishedRegisterFailsWithoutWaitingForTheTimeOut) {
    // At 9600 baud one page takes over four seconds: the register is killed
    // while it answers the first one.
    auto sim = start(demo, {"--baud", "9600"});
    const std::string device = sim->path.toStdString();
    QProcess p;
    ASSERT_TRUE(startUntil(p, *sim, {"upload", "plu"}, "read 4192 page"));
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
    EXPECT_EQ(value("SELECT count(*) FROM plu"), "0");
}
