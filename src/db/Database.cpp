#include "Database.h"

#include "SqlFunctions.h"

#include <sqlite3.h>

#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <strings.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcDb, "ecr.db", QtInfoMsg)

namespace ecr::db {
namespace {

double leadingNumber(const std::string& s) {
    const char* p = s.c_str();
    while (*p == ' ') ++p;
    char* end = nullptr;
    double v = std::strtod(p, &end);
    return end == p ? 0.0 : v;
}

} // namespace

std::int64_t Value::toInt() const {
    if (auto* i = std::get_if<std::int64_t>(&v_)) return *i;
    if (auto* d = std::get_if<double>(&v_)) return static_cast<std::int64_t>(*d);
    if (auto* s = std::get_if<std::string>(&v_)) return static_cast<std::int64_t>(leadingNumber(*s));
    return 0;
}

double Value::toDouble() const {
    if (auto* i = std::get_if<std::int64_t>(&v_)) return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&v_)) return *d;
    if (auto* s = std::get_if<std::string>(&v_)) return leadingNumber(*s);
    return 0.0;
}

std::string Value::toText() const {
    if (auto* i = std::get_if<std::int64_t>(&v_)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v_)) {
        char buf[64];
        sqlite3_snprintf(sizeof buf, buf, "%!.15g", *d);
        std::string s = buf;
        if (s.size() > 2 && s.ends_with(".0")) s.resize(s.size() - 2);
        return s;
    }
    if (auto* s = std::get_if<std::string>(&v_)) return *s;
    if (auto* b = std::get_if<Blob>(&v_)) return std::string(b->begin(), b->end());
    return {};
}

Blob Value::toBlob() const {
    if (auto* b = std::get_if<Blob>(&v_)) return *b;
    if (auto* s = std::get_if<std::string>(&v_)) return Blob(s->begin(), s->end());
    return {};
}

int Rows::columnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].size() == name.size() &&
            strncasecmp(columns[i].c_str(), name.data(), name.size()) == 0)
            return static_cast<int>(i);
    return -1;
}

const Value& Rows::at(std::size_t row, std::string_view column) const {
    int i = columnIndex(column);
    if (i < 0) throw DbError(SQLITE_ERROR, "no such column: " + std::string(column));
    return rows.at(row).at(static_cast<std::size_t>(i));
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::bind(int index, const Value& v) {
    int rc = SQLITE_OK;
    const auto& raw = v.raw();
    if (std::holds_alternative<std::monostate>(raw)) {
        rc = sqlite3_bind_null(stmt_, index);
    } else if (auto* i = std::get_if<std::int64_t>(&raw)) {
        rc = sqlite3_bind_int64(stmt_, index, *i);
    } else if (auto* d = std::get_if<double>(&raw)) {
        rc = sqlite3_bind_double(stmt_, index, *d);
    } else if (auto* b = std::get_if<Blob>(&raw)) {
        rc = sqlite3_bind_blob(stmt_, index, b->data(), static_cast<int>(b->size()), SQLITE_TRANSIENT);
    } else {
        const auto& s = std::get<std::string>(raw);
        rc = sqlite3_bind_text(stmt_, index, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) throw DbError(rc, sqlite3_errmsg(db_));
    return *this;
}

Statement& Statement::bindAll(const Params& params) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    const int expected = sqlite3_bind_parameter_count(stmt_);
    if (expected != static_cast<int>(params.size()))
        throw DbError(SQLITE_RANGE, "statement expects " + std::to_string(expected) + " values, got " +
                                        std::to_string(params.size()));
    for (std::size_t i = 0; i < params.size(); ++i) bind(static_cast<int>(i + 1), params[i]);
    return *this;
}

bool Statement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    int ext = sqlite3_extended_errcode(db_);
    std::string msg = sqlite3_errmsg(db_);
    sqlite3_reset(stmt_);
    throw DbError(ext, msg);
}

void Statement::reset() { sqlite3_reset(stmt_); }

void Statement::run(const Params& params) {
    bindAll(params);
    while (step()) {
    }
    reset();
}

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }
std::string Statement::columnName(int i) const { return sqlite3_column_name(stmt_, i); }
bool Statement::columnIsNull(int i) const { return sqlite3_column_type(stmt_, i) == SQLITE_NULL; }
std::int64_t Statement::columnInt(int i) const { return sqlite3_column_int64(stmt_, i); }
double Statement::columnDouble(int i) const { return sqlite3_column_double(stmt_, i); }
std::string Statement::columnText(int i) const {
    auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))) : std::string();
}

Value Statement::column(int i) const {
    switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_NULL: return Value();
    case SQLITE_INTEGER: return Value(static_cast<long long>(sqlite3_column_int64(stmt_, i)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(stmt_, i));
    case SQLITE_BLOB: {
        const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, i));
        return Value(p ? Blob(p, p + sqlite3_column_bytes(stmt_, i)) : Blob());
    }
    default: return Value(columnText(i));
    }
}

Database::Database(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

Database::~Database() {
    cache_.clear();
    sqlite3_close_v2(db_);
}

namespace {

// A new file readable by its owner only, whatever the umask: the database
// holds passwords. SQLite gives its journal files the same mode.
void createPrivately(const std::string& path) {
    if (path.empty() || path == ":memory:" || path.rfind("file:", 0) == 0) return;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
}

} // namespace

std::unique_ptr<Database> Database::open(const std::string& path, bool create) {
    if (create) createPrivately(path);
    sqlite3* h = nullptr;
    int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &h, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = h ? sqlite3_errmsg(h) : sqlite3_errstr(rc);
        sqlite3_close_v2(h);
        throw DbError(rc, msg + ": " + path);
    }
    sqlite3_extended_result_codes(h, 1);
    // Another program (a second ecrctl, a backup) may hold the write lock for
    // a moment: wait it out rather than fail.
    sqlite3_busy_timeout(h, kBusyTimeoutMs);
    qCDebug(lcDb) << "opened" << path.c_str();
    std::unique_ptr<Database> db(new Database(h, path));
    RegisterSqlFunctions(h);
    // A file that is not a database fails here rather than at first use.
    db->executeScript("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=OFF;");
    return db;
}

std::unique_ptr<Database> Database::openReadOnly(const std::string& path) {
    sqlite3* h = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        std::string msg = h ? sqlite3_errmsg(h) : sqlite3_errstr(rc);
        sqlite3_close_v2(h);
        throw DbError(rc, msg + ": " + path);
    }
    sqlite3_extended_result_codes(h, 1);
    sqlite3_busy_timeout(h, kBusyTimeoutMs);
    std::unique_ptr<Database> db(new Database(h, path));
    RegisterSqlFunctions(h);
    // A file that is not a database fails here rather than at first use.
    db->scalar("SELECT count(*) FROM sqlite_master");
    return db;
}

void Database::fail(int rc) const {
    const int code = sqlite3_extended_errcode(db_) ? sqlite3_extended_errcode(db_) : rc;
    qCDebug(lcDb) << "error" << code << sqlite3_errmsg(db_);
    throw DbError(code, sqlite3_errmsg(db_));
}

std::unique_ptr<Statement> Database::prepare(std::string_view sql) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &st, nullptr);
    if (rc != SQLITE_OK) fail(rc);
    if (!st) throw DbError(SQLITE_MISUSE, "empty statement");
    return std::make_unique<Statement>(db_, st);
}

Statement& Database::prepared(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it != cache_.end()) return *it->second;
    auto st = prepare(sql);
    auto& ref = *st;
    cache_.emplace(sql, std::move(st));
    return ref;
}

void Database::execute(std::string_view sql, const Params& params) {
    auto& st = prepared(std::string(sql));
    st.run(params);
}

void Database::executeScript(std::string_view sql) {
    std::string s(sql);
    char* err = nullptr;
    int rc = sqlite3_exec(db_, s.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errstr(rc);
        sqlite3_free(err);
        throw DbError(sqlite3_extended_errcode(db_), msg);
    }
}

Rows Database::query(std::string_view sql, const Params& params) {
    auto& st = prepared(std::string(sql));
    st.bindAll(params);
    Rows out;
    const int n = st.columnCount();
    out.columns.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) out.columns.push_back(st.columnName(i));
    while (st.step()) {
        std::vector<Value> row;
        row.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) row.push_back(st.column(i));
        out.rows.push_back(std::move(row));
    }
    st.reset();
    return out;
}

Value Database::scalar(std::string_view sql, const Params& params) {
    auto& st = prepared(std::string(sql));
    st.bindAll(params);
    Value v;
    if (st.step()) v = st.column(0);
    st.reset();
    return v;
}

Page Database::queryPage(std::string_view sql, const Params& params, int page, int pageSize) {
    Page p;
    std::string base(sql);
    p.total = scalar("SELECT count(*) FROM (" + base + ")", params).toInt();
    if (p.total == 0) return p;
    p.pageCount = static_cast<int>((p.total + pageSize - 1) / pageSize);
    p.page = std::clamp(page, 1, p.pageCount);
    Params all = params;
    all.emplace_back(pageSize);
    all.emplace_back(static_cast<long long>(p.page - 1) * pageSize);
    p.rows = query("SELECT * FROM (" + base + ") LIMIT ? OFFSET ?", all);
    return p;
}

std::vector<std::string> Database::tables() {
    std::vector<std::string> out;
    auto rows = query("SELECT name FROM sqlite_schema WHERE type IN ('table','view') "
                      "AND name NOT LIKE 'sqlite_%' ORDER BY name");
    for (auto& r : rows.rows) out.push_back(r[0].toText());
    return out;
}

std::vector<std::string> Database::columns(const std::string& table) {
    std::vector<std::string> out;
    auto rows = query("SELECT name FROM pragma_table_info(?) ORDER BY cid", {table});
    for (auto& r : rows.rows) out.push_back(r[0].toText());
    return out;
}

long long Database::changes() const { return sqlite3_changes64(db_); }

// The outermost transaction takes the write lock at its start (waiting out a
// short lock held elsewhere): one that read first and then wanted to write
// would fail at once, as the busy wait does not apply to that upgrade.
// Nested ones are savepoints.
void Database::begin() {
    if (depth_ == 0 && sqlite3_get_autocommit(db_)) {
        executeScript("BEGIN IMMEDIATE");
        outer_ = true;
    } else {
        executeScript("SAVEPOINT ecr_" + std::to_string(depth_ + 1));
        if (depth_ == 0) outer_ = false;
    }
    ++depth_;
    qCDebug(lcDb) << "begin" << depth_;
}

void Database::commit() {
    if (depth_ == 0) throw DbError(SQLITE_MISUSE, "commit without a transaction");
    executeScript(depth_ == 1 && outer_ ? std::string("COMMIT") : "RELEASE ecr_" + std::to_string(depth_));
    --depth_;
    qCDebug(lcDb) << "commit" << depth_ + 1;
}

void Database::rollback() {
    if (depth_ == 0) throw DbError(SQLITE_MISUSE, "rollback without a transaction");
    const std::string name = "ecr_" + std::to_string(depth_);
    const bool outer = depth_ == 1 && outer_;
    --depth_;
    qCDebug(lcDb) << "rollback" << depth_ + 1;
    // A failed COMMIT or a busy statement can leave SQLite out of the
    // transaction already; there is nothing left to undo then.
    if (outer) {
        if (!sqlite3_get_autocommit(db_)) executeScript("ROLLBACK");
    } else {
        executeScript("ROLLBACK TO " + name + "; RELEASE " + name);
    }
}

std::string DescribeOpenError(const DbError& e, const std::string& path) {
    std::string text = e.what();
    const int base = e.code() & 0xFF;
    if (base != SQLITE_READONLY && base != SQLITE_CANTOPEN && base != SQLITE_IOERR) return text;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::absolute(path, ec).parent_path();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK) != 0)
        text += " (the folder " + folder.string() + " is read-only for this user, and the database needs to create " +
                "its journal files " + fs::path(path).filename().string() + "-wal and " +
                fs::path(path).filename().string() + "-shm there)";
    else if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        text += " (the file " + path + " cannot be written to)";
    return text;
}

} // namespace ecr::db
