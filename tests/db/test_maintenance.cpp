// The database file's maintenance without windows: which files are taken as
// the program's database, which targets a backup must never overwrite, and
// emptying the register data all at once or not at all.
#include "TempDir.h"
#include "db/Maintenance.h"
#include "db/Schema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace ecr::db;
namespace fs = std::filesystem;

namespace {

struct MaintenanceTest : ::testing::Test {
    TempDir dir;
    std::unique_ptr<Database> db = OpenOrCreate(dir.file("ecr.db"));

    long long rows(const std::string& table) { return db->scalar("SELECT count(*) FROM " + table).toInt(); }
    // One row in every table that initialising data empties or keeps.
    void fill() {
        db->executeScript(
            "INSERT INTO bundle(bundlenumber) VALUES('7');"
            "INSERT INTO cashier(id, name) VALUES(1, 'Ann');"
            "INSERT INTO depart(id, name) VALUES(1, 'Food');"
            "INSERT INTO fiscal(fyear) VALUES(2009);"
            "INSERT INTO flashcash(type, total) VALUES(1, 5);"
            "INSERT INTO hotkey(keyaddress, content) VALUES(3, 4);"
            "INSERT INTO member(userid) VALUES('88');"
            "INSERT INTO plu(id, name, sid) VALUES('1001', 'Tea', 0);"
            "INSERT INTO plurecord(billnumber, pluid) VALUES(1, '1001');"
            "INSERT INTO promotion(address, pluid) VALUES(0, '1001');"
            "INSERT INTO params(PointEn) VALUES(2);"
            "INSERT INTO params_all(param_str) VALUES('1,2,3');"
            "INSERT INTO info(lang) VALUES(3);");
    }
};

} // namespace

TEST_F(MaintenanceTest, OnlyFilesWithTheEightTablesAreTakenAndNothingIsWrittenIntoThem) {
    EXPECT_TRUE(MissingRequiredTables(dir.file("ecr.db")).empty());

    const struct {
        const char* name;
        const char* script;
        std::vector<std::string> missing;
    } cases[] = {
        {"without msglist", "CREATE TABLE cashier(id); CREATE TABLE depart(id); CREATE TABLE hotkey(id);"
                            "CREATE TABLE member(id); CREATE TABLE params(id); CREATE TABLE plu(id);"
                            "CREATE TABLE plurecord(id);",
         {"msglist"}},
        {"names in capitals", "CREATE TABLE CASHIER(id); CREATE TABLE Depart(id); CREATE TABLE HotKey(id);"
                              "CREATE TABLE MEMBER(id); CREATE TABLE MsgList(id); CREATE TABLE Params(id);"
                              "CREATE TABLE PLU(id); CREATE TABLE PluRecord(id);",
         {}},
        {"another program's", "CREATE TABLE customers(id); CREATE TABLE plu(id);",
         {"cashier", "depart", "hotkey", "member", "msglist", "params", "plurecord"}},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file(std::string(c.name) + ".db");
        {
            auto other = Database::open(path, true);
            other->executeScript(c.script);
            other->executeScript("PRAGMA journal_mode=DELETE;");
        }
        const auto before = fs::last_write_time(path);
        const auto size = fs::file_size(path);
        EXPECT_EQ(MissingRequiredTables(path), c.missing) << c.name;
        EXPECT_EQ(fs::last_write_time(path), before) << c.name;
        EXPECT_EQ(fs::file_size(path), size) << c.name;
        EXPECT_FALSE(fs::exists(path + "-wal")) << c.name;
    }

    std::ofstream(dir.file("notes.txt")) << "a text file long enough to be taken for a database header by nobody\n";
    EXPECT_THROW(MissingRequiredTables(dir.file("notes.txt")), DbError);
    EXPECT_THROW(MissingRequiredTables(dir.file("none.db")), DbError);
    EXPECT_FALSE(fs::exists(dir.file("none.db")));
    EXPECT_THROW(MissingRequiredTables(dir.path.string()), DbError);
}

TEST_F(MaintenanceTest, TheDatabaseAndItsJournalsAreNoBackupTarget) {
    fs::create_directories(dir.file("sub"));
    fs::create_symlink(dir.file("ecr.db"), dir.file("link.db"));
    const std::string db = dir.file("ecr.db");
    const struct {
        std::string target;
        bool refused;
    } cases[] = {
        {db, true},
        {dir.file("sub/../ecr.db"), true},
        {dir.file("link.db"), true},
        {db + "-wal", true},
        {db + "-shm", true},
        {db + "-journal", true},
        {dir.file("ecr.db.bak"), false},
        {dir.file("sub/ecr.db"), false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsDatabaseFile(c.target, db), c.refused) << c.target;
}

TEST_F(MaintenanceTest, InitialisingEmptiesTheRegisterDataAndKeepsTheRest) {
    fill();
    const long long texts = rows("msglist");
    const long long captions = rows("buttontext");
    InitialiseData(*db);
    for (const char* t : kRegisterDataTables) EXPECT_EQ(rows(t), 0) << t;
    for (const char* t : {"params", "params_all", "plurecordfat", "info"}) EXPECT_EQ(rows(t), 1) << t;
    EXPECT_EQ(rows("msglist"), texts);
    EXPECT_EQ(rows("buttontext"), captions);
}

TEST_F(MaintenanceTest, AFailingTableLeavesEveryTableAsItWas) {
    fill();
    // The ninth of the ten deletions fails.
    db->executeScript("CREATE TRIGGER keep_plurecord BEFORE DELETE ON plurecord "
                      "BEGIN SELECT RAISE(ABORT, 'plurecord is locked'); END;");
    try {
        InitialiseData(*db);
        ADD_FAILURE() << "no error";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("plurecord is locked"), std::string::npos) << e.what();
    }
    for (const char* t : kRegisterDataTables) EXPECT_EQ(rows(t), 1) << t;
    EXPECT_EQ(db->transactionDepth(), 0);
}
