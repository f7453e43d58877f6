// The SQLite connection and the access interface every layer uses.
// Values are always bound; SQL text never carries user data.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace ecr::db {

// A failing statement: SQLite's (extended) result code and its text.
class DbError : public std::runtime_error {
public:
    DbError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

using Blob = std::vector<std::uint8_t>;

// One column value. Null is distinct from empty text.
class Value {
public:
    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(unsigned v) : v_(static_cast<std::int64_t>(v)) {}
    Value(long v) : v_(static_cast<std::int64_t>(v)) {}
    Value(long long v) : v_(static_cast<std::int64_t>(v)) {}
    Value(bool v) : v_(static_cast<std::int64_t>(v ? 1 : 0)) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(std::string_view v) : v_(std::string(v)) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(Blob v) : v_(std::move(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }
    bool isBlob() const { return std::holds_alternative<Blob>(v_); }
    std::int64_t toInt() const;   // null 0; text by its leading number
    double toDouble() const;      // null 0; text by its leading number
    std::string toText() const;   // null ""; numbers as SQLite prints them; a blob's bytes
    Blob toBlob() const;          // a blob's or a text's bytes; empty otherwise

    const std::variant<std::monostate, std::int64_t, double, std::string, Blob>& raw() const { return v_; }
    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string, Blob> v_;
};

using Params = std::vector<Value>;

// Rows read in full; columns by 0-based index or by name (case-insensitive).
class Rows {
public:
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;

    bool empty() const { return rows.empty(); }
    std::size_t size() const { return rows.size(); }
    int columnIndex(std::string_view name) const; // -1 when absent
    const Value& at(std::size_t row, std::string_view column) const;
    const Value& at(std::size_t row, std::size_t column) const { return rows.at(row).at(column); }
};

// One page of a query shown 30 rows at a time.
struct Page {
    Rows rows;
    int page = 0;       // 1-based; 0 when the query has no rows
    int pageCount = 0;
    long long total = 0;
};

// A prepared statement, reusable. Column getters follow the last step().
class Statement {
public:
    Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, const Value& v); // 1-based
    Statement& bindAll(const Params& params);
    bool step();       // true while a row is available
    void reset();
    void run(const Params& params); // bind, step to the end, reset

    int columnCount() const;
    std::string columnName(int i) const;
    Value column(int i) const;
    bool columnIsNull(int i) const;
    std::int64_t columnInt(int i) const;
    double columnDouble(int i) const;
    std::string columnText(int i) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

inline constexpr int kBusyTimeoutMs = 5000;

class Database {
public:
    // Opens (or creates, when create is true, readable by its owner only)
    // the file. Throws DbError.
    static std::unique_ptr<Database> open(const std::string& path, bool create = true);
    // Opens an existing file for reading only: nothing is written into it,
    // not even the journal mode. Throws DbError.
    static std::unique_ptr<Database> openReadOnly(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    void execute(std::string_view sql, const Params& params = {});
    void executeScript(std::string_view sql); // several statements, no parameters
    Rows query(std::string_view sql, const Params& params = {});
    // First column of the first row; null when there is no row.
    Value scalar(std::string_view sql, const Params& params = {});
    Page queryPage(std::string_view sql, const Params& params, int page, int pageSize = 30);
    std::vector<std::string> tables();
    std::vector<std::string> columns(const std::string& table);
    long long changes() const;

    // Cached prepared statement for hot paths (page parsers, imports).
    Statement& prepared(const std::string& sql);
    std::unique_ptr<Statement> prepare(std::string_view sql);

    void begin(); // takes the write lock; nested through savepoints
    void commit();
    void rollback();
    int transactionDepth() const { return depth_; }

private:
    Database(sqlite3* db, std::string path);
    [[noreturn]] void fail(int rc) const;

    sqlite3* db_;
    std::string path_;
    int depth_ = 0;
    bool outer_ = false; // the outermost level is BEGIN IMMEDIATE, not a savepoint
    std::unordered_map<std::string, std::unique_ptr<Statement>> cache_;
};

// The error's text, with the reason when the file or its folder cannot be
// written to (a database in a read-only folder cannot keep its journal).
std::string DescribeOpenError(const DbError& e, const std::string& path);

// Commits on commit(), rolls back when left without it (exception or early return).
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.begin(); }
    ~Transaction() {
        if (!done_) {
            try {
                db_.rollback();
            } catch (...) {
            }
        }
    }
    void commit() {
        db_.commit();
        done_ = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& db_;
    bool done_ = false;
};

} // namespace ecr::db
