#include "Maintenance.h"

#include <QLoggingCategory>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

Q_DECLARE_LOGGING_CATEGORY(lcDb)

namespace ecr::db {

namespace {

namespace fs = std::filesystem;

fs::path absolutePath(const std::string& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    return ec ? fs::path(path) : full.lexically_normal();
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A backup is taken in pieces so that a writer elsewhere is kept waiting for
// one step at most; a step that finds the source locked is tried again.
constexpr int kPagesPerStep = 256;
constexpr int kBusyRetries = 200;
constexpr int kBusyPauseMs = 25;

} // namespace

std::vector<std::string> MissingRequiredTables(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw DbError(SQLITE_CANTOPEN, "no such file: " + path);
    auto db = Database::openReadOnly(path);
    std::vector<std::string> have;
    for (const auto& t : db->tables()) have.push_back(lower(t));
    std::vector<std::string> missing;
    for (const char* t : kRequiredTables)
        if (std::find(have.begin(), have.end(), t) == have.end()) missing.emplace_back(t);
    return missing;
}

bool IsDatabaseFile(const std::string& path, const std::string& dbPath) {
    if (dbPath.empty() || path.empty()) return false;
    const fs::path target = absolutePath(path);
    const fs::path db = absolutePath(dbPath);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        const fs::path companion = db.string() + suffix;
        std::error_code ec;
        if (target == companion || fs::equivalent(target, companion, ec)) return true;
    }
    return false;
}

void BackupDatabase(Database& db, const std::string& path) {
    const fs::path target = absolutePath(path);
    const fs::path part = target.string() + ".part";
    std::error_code ec;
    fs::remove(part, ec);

    sqlite3* dest = nullptr;
    int rc = sqlite3_open_v2(part.c_str(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto fail = [&](int code, std::string text) {
        sqlite3_close_v2(dest);
        fs::remove(part, ec);
        throw DbError(code, text + ": " + target.string());
    };
    if (rc != SQLITE_OK) fail(rc, dest ? sqlite3_errmsg(dest) : sqlite3_errstr(rc));

    sqlite3_backup* b = sqlite3_backup_init(dest, "main", db.handle(), "main");
    if (!b) fail(sqlite3_extended_errcode(dest), sqlite3_errmsg(dest));
    int busy = 0;
    do {
        rc = sqlite3_backup_step(b, kPagesPerStep);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (++busy > kBusyRetries) break;
            sqlite3_sleep(kBusyPauseMs);
        }
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    const int finish = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE) fail(rc, sqlite3_errstr(rc));
    if (finish != SQLITE_OK) fail(finish, sqlite3_errmsg(dest));
    if (sqlite3_close(dest) != SQLITE_OK) {
        dest = nullptr;
        fail(SQLITE_IOERR, "the backup could not be closed");
    }
    dest = nullptr;
    // A backup replaces an older file at the path only once it is whole.
    fs::rename(part, target, ec);
    if (ec) fail(SQLITE_CANTOPEN, ec.message());
    qCDebug(lcDb) << "database backed up to" << target.c_str();
}

void InitialiseData(Database& db) {
    Transaction t(db);
    for (const char* table : kRegisterDataTables) db.execute(std::string("DELETE FROM ") + table);
    t.commit();
    qCDebug(lcDb) << "register data emptied";
}

} // namespace ecr::db
