// The register backup file: written whole, read back exactly, and refused
// with its reason when it is damaged, foreign or incomplete, without a byte
// of it being changed by the check.
#include "TempDir.h"
#include "app/AppState.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "records/rows/ImagePageIO.h"
#include "records/rows/RegisterBackup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace ecr;
using namespace ecr::rows;
namespace fs = std::filesystem;

namespace {

RegisterBackup sample(int keyboard) {
    RegisterBackup b;
    b.identity = {"CEDAR", keyboard, 322, 100322, "2024-05-06 07:08:09", "091017"};
    for (int a : BackupAddresses(keyboard)) {
        Bytes page(4096);
        for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(a + 3 * i);
        b.pages[a] = page;
    }
    return b;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct BackupFileTest : ::testing::Test {
    TempDir dir;
    std::string path = dir.file("register.ecrbak");
    // Changes the written file through SQL, as another program could.
    void alter(const std::string& sql) {
        auto db = db::Database::open(path, false);
        db->executeScript(sql);
        db->executeScript("PRAGMA journal_mode=DELETE;");
    }
};

} // namespace

TEST_F(BackupFileTest, RoundTripOfBothKeyboardSizes) {
    for (int keyboard : {0, 2}) {
        const RegisterBackup b = sample(keyboard);
        WriteRegisterBackup(path, b);
        EXPECT_FALSE(fs::exists(path + ".part"));
        EXPECT_FALSE(fs::exists(path + "-wal")); // one file holds everything
        RegisterBackup back;
        ASSERT_EQ(ReadRegisterBackup(path, back), "") << keyboard;
        EXPECT_EQ(back.identity, b.identity);
        EXPECT_EQ(back.pages, b.pages);
        EXPECT_EQ(back.pages.size(), keyboard == 0 ? 124u : 220u);
    }
    // Reading writes nothing: the file's bytes stay and no journal appears.
    const std::string bytes = slurp(path);
    RegisterBackup again;
    ASSERT_EQ(ReadRegisterBackup(path, again), "");
    EXPECT_EQ(slurp(path), bytes);
    EXPECT_FALSE(fs::exists(path + "-wal"));
    EXPECT_FALSE(fs::exists(path + "-shm"));
}

TEST_F(BackupFileTest, DamagedForeignAndIncompleteFilesAreRefusedWithTheirReason) {
    const struct {
        const char* name;
        std::function<void(BackupFileTest&)> spoil;
        std::string reason; // start of it
    } cases[] = {
        {"truncated", [](BackupFileTest& t) { fs::resize_file(t.path, fs::file_size(t.path) / 2); }, "it is damaged"},
        {"one byte short", [](BackupFileTest& t) { fs::resize_file(t.path, fs::file_size(t.path) - 1); },
         "it is damaged (the file is "},
        {"bytes after the end", [](BackupFileTest& t) { std::ofstream(t.path, std::ios::app) << "x"; },
         "it is damaged (the file is "},
        {"text", [](BackupFileTest& t) { std::ofstream(t.path) << std::string(5000, 'x'); }, "it is not a database file"},
        {"empty", [](BackupFileTest& t) { std::ofstream(t.path).close(); }, "it is not a register backup"},
        {"program database", [](BackupFileTest& t) { fs::remove(t.path); db::OpenOrCreate(t.path); },
         "it is not a register backup"},
        {"page image without the mark", [](BackupFileTest& t) { t.alter("DELETE FROM meta WHERE key='format'"); },
         "it is not a register backup"},
        {"newer format", [](BackupFileTest& t) { t.alter("UPDATE meta SET value='2' WHERE key='formatVersion'"); },
         "it was written by a newer version of the program"},
        {"no model", [](BackupFileTest& t) { t.alter("DELETE FROM meta WHERE key='model'"); },
         "it does not say which register it comes from"},
        {"unknown keyboard", [](BackupFileTest& t) { t.alter("UPDATE meta SET value='9' WHERE key='keyboard'"); },
         "it does not say which register it comes from"},
        {"a page short", [](BackupFileTest& t) { t.alter("UPDATE page SET data=substr(data,1,4000) WHERE address=4200"); },
         "page 4200 is 4000 bytes long"},
        {"a page missing", [](BackupFileTest& t) { t.alter("DELETE FROM page WHERE address=4113"); },
         "page 4113 is missing"},
        {"a page too many", [](BackupFileTest& t) { t.alter("INSERT INTO page SELECT 4128, data FROM page WHERE address=4113"); },
         "it holds pages that are no part of a register backup"},
        {"a changed byte",
         [](BackupFileTest& t) {
             ImagePageIO image(t.path);
             Bytes p = *image.page(4150);
             p[99] ^= 0x10;
             image.putPage(4150, p);
         },
         "its pages do not match their check sum"},
        {"missing file", [](BackupFileTest& t) { fs::remove(t.path); }, "there is no such file"},
    };
    for (const auto& c : cases) {
        WriteRegisterBackup(path, sample(2));
        c.spoil(*this);
        RegisterBackup out;
        out.pages[1] = Bytes{1};
        const std::string why = ReadRegisterBackup(path, out);
        EXPECT_EQ(why.rfind(c.reason, 0), 0u) << c.name << ": " << why;
        EXPECT_TRUE(out.pages.empty()) << c.name;
        std::error_code ec;
        fs::remove(path, ec);
        fs::remove(path + "-wal", ec);
        fs::remove(path + "-shm", ec);
    }
}

TEST_F(BackupFileTest, AnIncompleteBackupIsNeverWrittenAndTheOldFileStays) {
    WriteRegisterBackup(path, sample(2));
    const std::string old = slurp(path);
    RegisterBackup partial = sample(2);
    partial.pages.erase(4300);
    EXPECT_THROW(WriteRegisterBackup(path, partial), std::runtime_error);
    RegisterBackup extra = sample(2);
    extra.pages[4128] = Bytes(4096, 0);
    EXPECT_THROW(WriteRegisterBackup(path, extra), std::runtime_error);
    EXPECT_THROW(WriteRegisterBackup(dir.file("nowhere/register.ecrbak"), sample(2)), std::exception);
    EXPECT_EQ(slurp(path), old);
    EXPECT_FALSE(fs::exists(path + ".part"));
}

TEST(RegisterIdentity, DifferencesNameWhatIsNotThisRegister) {
    using F = IdentityDifference::Field;
    const RegisterIdentity here{"CEDAR", 1, 322, 100322, "2024-01-01 00:00:00", "091017"};
    RegisterIdentity other = here;
    other.date = "2020-02-02 10:00:00";
    other.programVersion = "090101";
    EXPECT_TRUE(Differences(other, here).empty()); // when and by what it was read does not matter
    other.model = "BIRCH";
    other.keyboard = 0;
    other.registerVersion = 100320;
    EXPECT_EQ(Differences(other, here), (std::vector<IdentityDifference>{{F::Model, "BIRCH", "CEDAR"},
                                                                          {F::Keyboard, "0", "1"},
                                                                          {F::Version, "100320", "100322"}}));
}

TEST(RegisterIdentity, TheDatabaseDescribesTheConnectedRegister) {
    TempDir dir;
    auto db = db::OpenOrCreate(dir.file("ecr.db"));
    db->execute("INSERT INTO info(keyboard, ver) VALUES(0, 321)");
    AppState state;
    state.modelName = "BIRCH";
    const RegisterIdentity r = CurrentRegister(*db, state);
    EXPECT_EQ(r.model, "BIRCH");
    EXPECT_EQ(r.keyboard, 0);
    EXPECT_EQ(r.dataVersion, 321);
    EXPECT_EQ(r.registerVersion, 100321);
    EXPECT_EQ(r.programVersion, "091017");
    EXPECT_EQ(r.date.size(), 19u);
}
