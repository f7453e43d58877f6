// A whole register's programming pages in a backup file, to recover a
// register after a memory loss or to clone it onto a second one. The file is
// a page-image file (pages by address, what is known of the register) with a
// format mark and a check sum over its pages, under its own extension. A file
// is read whole and checked before any of it is sent: a damaged, foreign or
// incomplete file is refused.
#pragma once

#include "link/PageIO.h"

#include <map>
#include <string>
#include <vector>

namespace ecr {
struct AppState;
namespace db {
class Database;
}
} // namespace ecr

namespace ecr::rows {

inline constexpr const char* kRegisterBackupSuffix = ".ecrbak";

// What is known of the register whose pages a backup holds.
struct RegisterIdentity {
    std::string model;                  // "CEDAR"
    int keyboard = 2;                   // info.keyboard: decides the PLU pages
    int dataVersion = 320;              // info.ver
    long long registerVersion = 100320; // "100" and the data version
    std::string date;                   // "YYYY-MM-DD HH:MM:SS", when the pages were read
    std::string programVersion;         // of the program that read them
    bool operator==(const RegisterIdentity&) const = default;
};

// The register the database and state describe, dated now.
RegisterIdentity CurrentRegister(db::Database& db, const AppState& state);

// A way in which a backup's register is not this one.
struct IdentityDifference {
    enum class Field { Model, Keyboard, Version } field;
    std::string backup;
    std::string here;
    bool operator==(const IdentityDifference&) const = default;
};
std::vector<IdentityDifference> Differences(const RegisterIdentity& backup, const RegisterIdentity& here);

struct RegisterBackup {
    RegisterIdentity identity;
    std::map<int, Bytes> pages; // 4096 bytes by page address
};

// The page addresses a backup of a register with this keyboard type holds.
std::vector<int> BackupAddresses(int keyboardType);

// Writes the backup, which must hold every page of its keyboard type, into
// path. An older file there is replaced only by a whole one. Throws
// db::DbError or std::runtime_error with the reason.
void WriteRegisterBackup(const std::string& path, const RegisterBackup& backup);

// Reads and checks the file, writing nothing into it. Returns why it is
// refused, in words; empty when out holds it.
std::string ReadRegisterBackup(const std::string& path, RegisterBackup& out);

// The engine's pages to and from a backup in memory: reading a register into
// it (Collect), writing it into a register (Write), or comparing what a
// register holds with it (Verify).
class BackupPageIO : public link::PageIO {
public:
    enum class Mode { Collect, Write, Verify };
    BackupPageIO(RegisterBackup& backup, Mode mode) : backup_(backup), mode_(mode) {}

    void setMode(Mode mode);
    // Verify: the pages read back that differ from the backup, ascending.
    const std::vector<int>& mismatches() const { return mismatches_; }

    bool canStore(int kind) const override;
    bool canBuild(int kind) const override;
    link::RegisterFacts registerFacts() override;
    void setStoreParameters(bool on) override { storeParameters_ = on; }
    void replaceWithFirstPage(int) override {}
    link::StoreResult storePage(int kind, ByteView page, int pageIndex) override;
    link::BuildResult buildPage(int kind, int pageIndex) override;
    std::vector<link::RowProblem> checkRows(int, int, int, int) override { return {}; }
    records::JournalPageTable journalTable() override { return {}; }

private:
    RegisterBackup& backup_;
    Mode mode_;
    bool storeParameters_ = false;
    std::vector<int> mismatches_;
};

} // namespace ecr::rows
