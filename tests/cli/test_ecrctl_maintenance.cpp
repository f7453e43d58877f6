// ecrctl's maintenance commands end to end: a whole register saved from a
// demo register and written into a blank one, compared page by page; files
// that are refused before anything is sent; the database backup and
// initialisation.
#include "CliHarness.h"
#include "TempDir.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "link/RegisterCopy.h"
#include "sim/Demo.h"
#include "sim/RegisterMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace ecr;
using cli_harness::RunEcrctl;
using cli_harness::Sim;
namespace fs = std::filesystem;

namespace {

struct EcrctlMaintenance : ::testing::Test {
    TempDir dir;
    QString db = QString::fromStdString(dir.file("ecr.db"));
    sim::RegisterMemory demo;

    EcrctlMaintenance() {
        EXPECT_EQ(RunEcrctl({"--db", db, "init"}).code, 0);
        sim::FillDemo(demo);
        EXPECT_EQ(demo.save(dir.file("demo.img")), "");
    }

    QStringList args(const Sim& sim, const QStringList& rest) const { return QStringList{"--db", db, "--port", sim.path} + rest; }
    // A register on the image file, blank when there is none.
    Sim registerOn(const char* image) const { return Sim({"--image", QString::fromStdString(dir.file(image))}); }
    static sim::RegisterMemory memory(const std::string& image) {
        sim::RegisterMemory m;
        EXPECT_EQ(m.load(image), "");
        return m;
    }
};

} // namespace

TEST_F(EcrctlMaintenance, ARegisterSavedAndLoadedIntoABlankOneMatchesEveryProgrammingPage) {
    Sim full = registerOn("demo.img");
    Sim blank = registerOn("blank.img");
    ASSERT_FALSE(full.path.isEmpty());
    ASSERT_FALSE(blank.path.isEmpty());
    const std::vector<int> addresses = link::RegisterCopy::Addresses(2); // the database's keyboard type
    const QString backup = QString::fromStdString(dir.file("shop.ecrbak"));

    auto saved = RunEcrctl(args(full, {"save-register", backup}));
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(saved.out, "The register's " + std::to_string(addresses.size()) + " pages were saved in " +
                             backup.toStdString() + ".\n");
    EXPECT_EQ(full.requests("read").size(), addresses.size()) << "one read a page, no retries";
    EXPECT_TRUE(full.requests("write").empty()) << "saving writes nothing into the register";

    auto loaded = RunEcrctl(args(blank, {"load-register", backup, "--verify"}), 120000);
    ASSERT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_EQ(loaded.out, "The backup was written into the register and every page read back matches it (" +
                              std::to_string(addresses.size()) + " pages).\n");

    // The blank register now holds every programming page of the demo one,
    // and nothing else.
    const sim::RegisterMemory b = memory(dir.file("blank.img"));
    for (int addr : addresses) EXPECT_EQ(b.read(addr), demo.read(addr)) << addr;
    for (int addr : b.addresses())
        EXPECT_NE(std::find(addresses.begin(), addresses.end(), addr), addresses.end()) << addr << " was written";
    // Every kind of the run had something to carry.
    for (const auto& part : link::RegisterCopy::Parts(2)) {
        bool held = false;
        for (int i = 0; i < part.pages; ++i) held = held || demo.has(part.base + i);
        EXPECT_TRUE(held) << part.base;
    }
}

TEST_F(EcrctlMaintenance, RefusedFilesAndUsageErrorsSendNothing) {
    Sim full = registerOn("demo.img");
    Sim blank = registerOn("blank.img");
    const QString good = QString::fromStdString(dir.file("good.ecrbak"));
    ASSERT_EQ(RunEcrctl(args(full, {"save-register", good})).code, 0);
    const std::string half = dir.file("half.ecrbak");
    fs::copy_file(good.toStdString(), half);
    fs::resize_file(half, fs::file_size(half) / 2);
    blank.log();
    auto r = RunEcrctl(args(blank, {"load-register", QString::fromStdString(half), "--yes"}));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind(half + " cannot be used as a register backup: it is damaged", 0), 0u) << r.err;

    const QStringList usage[] = {
        {"save-register"},
        {"save-register", good, good},
        {"save-register", db}, // over the database itself
        {"load-register"},
        {"load-register", good, "--verify", "--verify"},
        {"load-register", good, "--force"},
        {"backup-db"},
        {"backup-db", db},
        {"init-data"},
        {"init-data", "--yes", "--yes"},
    };
    for (const QStringList& u : usage) {
        r = RunEcrctl(args(blank, u));
        EXPECT_EQ(r.code, 2) << u.join(' ').toStdString() << ": " << r.err;
    }
    EXPECT_TRUE(blank.log().empty());
}

TEST_F(EcrctlMaintenance, ABackupOfAnotherRegisterNeedsYes) {
    Sim full = registerOn("demo.img");
    Sim blank = registerOn("blank.img");
    const QString backup = QString::fromStdString(dir.file("other.ecrbak"));
    ASSERT_EQ(RunEcrctl(args(full, {"save-register", backup})).code, 0);
    db::Database::open(db.toStdString(), false)
        ->executeScript("INSERT INTO info(ver) SELECT 330 WHERE NOT EXISTS(SELECT 1 FROM info); UPDATE info SET ver = 330;");
    blank.log();
    auto r = RunEcrctl(args(blank, {"load-register", backup}));
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("This backup comes from another register:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Register version: 100320 in the backup, 100330 here"), std::string::npos) << r.err;
    EXPECT_TRUE(blank.log().empty());

    r = RunEcrctl(args(blank, {"load-register", backup, "--yes"}), 120000);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(blank.requests("write").empty());
}

TEST_F(EcrctlMaintenance, DatabaseBackupAndInitialisation) {
    db::Database::open(db.toStdString(), false)
        ->executeScript("INSERT INTO plu(id, name, sid) VALUES('1001', 'Tea', 0);"
                        "INSERT INTO depart(id, name) VALUES(1, 'Food');"
                        "INSERT INTO params(PointEn) VALUES(2);");
    const QString copy = QString::fromStdString(dir.file("copy.db"));
    auto r = RunEcrctl({"--db", db, "backup-db", copy});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Database backup completed.\n");

    r = RunEcrctl({"--db", db, "init-data", "--yes"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto d = db::Database::open(db.toStdString(), false);
    auto c = db::Database::open(copy.toStdString(), false);
    for (const char* t : {"plu", "depart"}) {
        EXPECT_EQ(d->scalar(std::string("SELECT count(*) FROM ") + t).toInt(), 0) << t;
        EXPECT_EQ(c->scalar(std::string("SELECT count(*) FROM ") + t).toInt(), 1) << t;
    }
    EXPECT_EQ(d->scalar("SELECT count(*) FROM params").toInt(), 1);
    EXPECT_EQ(c->scalar("PRAGMA integrity_check").toText(), "ok");

    // A backup into a folder that does not exist fails, named.
    r = RunEcrctl({"--db", db, "backup-db", QString::fromStdString(dir.file("nowhere/copy.db"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("An error has occurred:"), std::string::npos) << r.err;
}
