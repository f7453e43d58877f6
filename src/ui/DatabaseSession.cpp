#include "DatabaseSession.h"

#include "Log.h"
#include "RegisterLink.h"
#include "app/AppState.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Maintenance.h"
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
    db::BackupDatabase(*db_, path);
}

void DatabaseSession::initialiseData() {
    if (!db_) throw db::DbError(SQLITE_MISUSE, "no database is open");
    db::InitialiseData(*db_);
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
