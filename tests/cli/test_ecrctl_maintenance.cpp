// ecrctl's maintenance commands end to end: a whole register saved from a
// demo register and written into a blank one, compared page by page; files
// that are refused before anything is sent; the database backup and
// initialisation without windows.
#include "CliHarness.h"
#include "TempDir.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "link/RegisterCopy.h"
#include "records/Logo.h"
#include "records/picture/LogoPicture.h"
#include "sim/Demo.h"
#include "sim/RegisterMemory.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>

using namespace ecr;
using cli_harness::RunEcrctl;
using cli_harness::Sim;
namespace fs = std::filesystem;

namespace {

struct EcrctlMaintenance : ::testing::Test {
    TempDir dir;
    QString db = QString::fromStdString(dir.file("ecr.db"));

    EcrctlMaintenance() { EXPECT_EQ(RunEcrctl({"--db", db, "init"}).code, 0); }

    QStringList args(const Sim& sim, const QStringList& rest) const { return QStringList{"--db", db, "--port", sim.path} + rest; }
    static sim::RegisterMemory memory(const std::string& image) {
        sim::RegisterMemory m;
        EXPECT_EQ(m.load(image), "");
        return m;
    }
};

} // namespace

TEST_F(EcrctlMaintenance, ARegisterSavedAndLoadedIntoABlankOneMatchesEveryProgrammingPage) {
    sim::RegisterMemory demo;
    sim::FillDemo(demo);
    ASSERT_EQ(demo.save(dir.file("demo.img")), "");
    Sim full({"--image", QString::fromStdString(dir.file("demo.img"))});
    Sim blank({"--image", QString::fromStdString(dir.file("blank.img"))});
    ASSERT_FALSE(full.path.isEmpty());
    ASSERT_FALSE(blank.path.isEmpty());
    const std::vector<int> addresses = link::RegisterCopy::Addresses(2); // the database's keyboard type
    const QString backup = QString::fromStdString(dir.file("shop.ecrbak"));

    auto saved = RunEcrctl(args(full, {"save-register", backup}));
    ASSERT_EQ(saved.code, 0) << saved.err;
    EXPECT_EQ(saved.out, "The register's " + std::to_string(addresses.size()) + " pages were saved in " +
                             backup.toStdString() + ".\n");
    EXPECT_EQ(full.requests("read").size(), addresses.size() + 0) << "one read a page, no retries";
    EXPECT_TRUE(full.requests("write").empty()) << "saving writes nothing into the register";

    auto loaded = RunEcrctl(args(blank, {"load-register", backup, "--verify"}), 120000);
    ASSERT_EQ(loaded.code, 0) << loaded.err;
    EXPECT_EQ(loaded.out, "The backup was written into the register and every page read back matches it (" +
                              std::to_string(addresses.size()) + " pages).\n");

    const sim::RegisterMemory a = memory(dir.file("demo.img"));
    const sim::RegisterMemory b = memory(dir.file("blank.img"));
    std::vector<int> differing;
    for (int addr : addresses)
        if (a.read(addr) != b.read(addr)) differing.push_back(addr);
    EXPECT_EQ(differing, std::vector<int>{});
    // Every kind of the run had something to carry.
    for (const auto& part : link::RegisterCopy::Parts(2)) {
        bool held = false;
        for (int i = 0; i < part.pages; ++i) held = held || a.has(part.base + i);
        EXPECT_TRUE(held) << part.base;
    }
    EXPECT_GT(saved.seconds + loaded.seconds, 0.0);
    std::cerr << "[ figures ] " << addresses.size() << " pages: save " << saved.seconds << " s, load and verify "
              << loaded.seconds << " s (unpaced line)\n";
}

TEST_F(EcrctlMaintenance, RefusedFilesSendNothingAndUsageErrorsSayHow) {
    sim::RegisterMemory demo;
    sim::FillDemo(demo);
    ASSERT_EQ(demo.save(dir.file("demo.img")), "");
    Sim full({"--image", QString::fromStdString(dir.file("demo.img"))});
    Sim blank(QStringList{});
    const QString good = QString::fromStdString(dir.file("good.ecrbak"));
    ASSERT_EQ(RunEcrctl(args(full, {"save-register", good})).code, 0);
    const auto size = fs::file_size(good.toStdString());

    // Truncated in the middle, one byte short, empty, and a file of another kind.
    const auto cut = [&](const std::string& name, std::uintmax_t keep) {
        const std::string path = dir.file(name);
        fs::copy_file(good.toStdString(), path);
        fs::resize_file(path, keep);
        return QString::fromStdString(path);
    };
    std::ofstream(dir.file("notes.ecrbak")) << "not a backup\n";
    const QString refused[] = {cut("half.ecrbak", size / 2), cut("short.ecrbak", size - 1), cut("empty.ecrbak", 0),
                               QString::fromStdString(dir.file("notes.ecrbak")), QString::fromStdString(dir.file("db.ecrbak"))};
    fs::copy_file(db.toStdString(), dir.file("db.ecrbak")); // the program's database, no backup
    blank.log();
    for (const QString& file : refused) {
        auto r = RunEcrctl(args(blank, {"load-register", file, "--yes"}));
        EXPECT_EQ(r.code, 1) << file.toStdString();
        EXPECT_NE(r.err.find(file.toStdString() + " cannot be used as a register backup: "), std::string::npos)
            << file.toStdString() << ": " << r.err;
        EXPECT_TRUE(blank.log().empty()) << file.toStdString() << ": nothing may reach the register";
    }

    const struct {
        QStringList args;
        int code;
    } usage[] = {
        {{"save-register"}, 2},
        {{"save-register", good, good}, 2},
        {{"save-register", db}, 2}, // over the database itself
        {{"load-register"}, 2},
        {{"load-register", good, "--verify", "--verify"}, 2},
        {{"load-register", good, "--force"}, 2},
        {{"backup-db"}, 2},
        {{"backup-db", db}, 2},
        {{"init-data"}, 2},
        {{"init-data", "--yes", "--yes"}, 2},
    };
    for (const auto& u : usage) {
        auto r = RunEcrctl(args(blank, u.args));
        EXPECT_EQ(r.code, u.code) << u.args.join(' ').toStdString() << ": " << r.err;
    }
    EXPECT_TRUE(blank.log().empty());
}

TEST_F(EcrctlMaintenance, ABackupOfAnotherRegisterNeedsYes) {
    Sim blank(QStringList{});
    sim::RegisterMemory demo;
    sim::FillDemo(demo);
    ASSERT_EQ(demo.save(dir.file("demo.img")), "");
    Sim full({"--image", QString::fromStdString(dir.file("demo.img"))});
    const QString backup = QString::fromStdString(dir.file("other.ecrbak"));
    ASSERT_EQ(RunEcrctl(args(full, {"save-register", backup})).code, 0);
    {
        auto d = db::Database::open(db.toStdString(), false);
        d->executeScript("INSERT INTO info(ver) SELECT 330 WHERE NOT EXISTS(SELECT 1 FROM info); UPDATE info SET ver = 330;");
    }
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
    {
        auto d = db::Database::open(db.toStdString(), false);
        d->executeScript("INSERT INTO plu(id, name, sid) VALUES('1001', 'Tea', 0);"
                         "INSERT INTO depart(id, name) VALUES(1, 'Food');"
                         "INSERT INTO params(PointEn) VALUES(2);");
    }
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

TEST_F(EcrctlMaintenance, SendLogoConvertsOtherPicturesOnlyWithDither) {
    sim::RegisterMemory blankMemory;
    ASSERT_EQ(blankMemory.save(dir.file("logo.img")), "");
    Sim reg({"--image", QString::fromStdString(dir.file("logo.img"))});
    ASSERT_FALSE(reg.path.isEmpty());
    // A 700 x 200 picture: reduced to fit the logo pages and dithered.
    QImage picture(700, 200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x * 255 / 699, 128, y));
    const QString png = QString::fromStdString(dir.file("shop.png"));
    ASSERT_TRUE(picture.save(png, "PNG"));

    auto r = RunEcrctl(args(reg, {"send-logo", png}));
    EXPECT_EQ(r.code, 2) << r.err;
    EXPECT_NE(r.err.find("--dither converts it"), std::string::npos) << r.err;
    EXPECT_TRUE(reg.requests("write").empty());

    r = RunEcrctl(args(reg, {"send-logo", png, "--dither", "--dither"}));
    EXPECT_EQ(r.code, 2) << r.err;

    r = RunEcrctl(args(reg, {"send-logo", "--dither", png}));
    ASSERT_EQ(r.code, 0) << r.err;
    const records::LogoChoice expected = records::ReadLogoPicture(png.toStdString(), true);
    ASSERT_TRUE(expected.ok());
    EXPECT_TRUE(expected.scaled());
    const std::vector<Bytes> pages = records::LogoPages(expected.image.bytes);
    const sim::RegisterMemory m = memory(dir.file("logo.img"));
    ASSERT_EQ(reg.requests("write").size(), pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) EXPECT_EQ(m.read(4128 + static_cast<int>(p)), pages[p]) << p;
    EXPECT_FALSE(m.has(4128 + static_cast<int>(pages.size())));
}
