#include "DatabaseSession.h"

#include "Log.h"
#include "RegisterLink.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Schema.h"

#include <sqlite3.h>

#include <filesystem>

namespace ecr::ui {

namespace {

namespace fs = std::filesystem;

DatabaseSession*& installed() {
    static DatabaseSession* s = nullptr;
    return s;
}

fs::path absolutePath(const std::string& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    return ec ? fs::path(path) : full.lexically_normal();
}

// A backup is taken in pieces so that a writer elsewhere is kept waiting for
// one step at most; a step that finds the source locked is tried again.
constexpr int kPagesPerStep = 256;
constexpr int kBusyRetries = 200;
constexpr int kBusyPauseMs = 25;

} // namespace

DatabaseSession* Session() { return installed(); }
void SetSession(DatabaseSession* session) { installed() = session; }

DatabaseSession::DatabaseSession(AppState& state, QObject* parent) : QObject(parent), state_(state) {}

DatabaseSession::~DatabaseSession() {
    if (installed() == this) installed() = nullptr;
    close();
}

void DatabaseSession::adopt(std::unique_ptr<db::Database> db) {
    const fs::path full(db->path());
    // The configuration is read into a copy first: a file that fails half
    // way leaves the running state as it was.
    AppState next = state_;
    LoadStartupState(*db, next);
    next.dbPath = full.string();
    next.dbFileName = full.filename().string();
    next.conn = db.get();
    // A device given for this run (--port) stays in force.
    if (!portOverride_.empty()) next.commPortName = portOverride_;
    SetErrorLogFolder(full.parent_path().string());
    state_ = next;
    db_ = std::move(db);
}

void DatabaseSession::open(const std::string& path) {
    const fs::path full = absolutePath(path);
    auto db = db::OpenOrCreate(full.string());
    close();
    adopt(std::move(db));
    qCDebug(lcGui) << "database" << QString::fromStdString(full.string()) << "open";
}

bool DatabaseSession::replace(const std::string& path, QString* why) {
    link::TransferEngine* engine = Engine();
    if (engine && (engine->busy() || engine->portOpen())) {
        if (why) *why = QStringLiteral("a transfer is running");
        return false;
    }
    if (db_ && db_->transactionDepth() > 0) {
        if (why) *why = QStringLiteral("a transaction is open");
        return false;
    }
    const fs::path full = absolutePath(path);
    auto db = db::OpenOrCreate(full.string());
    std::unique_ptr<db::Database> old = std::move(db_);
    try {
        adopt(std::move(db));
    } catch (...) {
        db_ = std::move(old);
        throw;
    }
    old.reset();
    qCDebug(lcGui) << "database replaced by" << QString::fromStdString(full.string());
    emit replaced();
    return true;
}

void DatabaseSession::backup(const std::string& path) {
    if (!db_) throw db::DbError(SQLITE_MISUSE, "no database is open");
    const fs::path target = absolutePath(path);
    const fs::path part = target.string() + ".part";
    std::error_code ec;
    fs::remove(part, ec);

    sqlite3* dest = nullptr;
    int rc = sqlite3_open_v2(part.c_str(), &dest, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto fail = [&](int code, std::string text) {
        sqlite3_close_v2(dest);
        fs::remove(part, ec);
        throw db::DbError(code, text + ": " + target.string());
    };
    if (rc != SQLITE_OK) fail(rc, dest ? sqlite3_errmsg(dest) : sqlite3_errstr(rc));

    sqlite3_backup* b = sqlite3_backup_init(dest, "main", db_->handle(), "main");
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
    qCDebug(lcGui) << "database backed up to" << QString::fromStdString(target.string());
}

void DatabaseSession::compact() {
    if (!db_) throw db::DbError(SQLITE_MISUSE, "no database is open");
    db_->executeScript("VACUUM; PRAGMA wal_checkpoint(TRUNCATE);");
    qCDebug(lcGui) << "database compacted";
}

void DatabaseSession::close() {
    if (state_.conn == db_.get()) state_.conn = nullptr;
    db_.reset();
}

} // namespace ecr::ui
