#include "Schema.h"

#include <sqlite3.h>

#include <cctype>
#include <filesystem>
#include <regex>
#include <set>

namespace ecr::db {
namespace {

std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[i + 1];
            if (n == 'n') { out.push_back('\n'); ++i; continue; }
            if (n == 't') { out.push_back('\t'); ++i; continue; }
            if (n == '\\') { out.push_back('\\'); ++i; continue; }
        }
        out.push_back(s[i]);
    }
    return out;
}

// replace: rows of the file take the place of stored ones with the same
// key; otherwise stored rows stay and only missing ones are added.
void loadTsv(Database& db, std::string_view fileName, const std::string& table, bool replace = true) {
    auto rows = ParseTsv(embedded::file(fileName));
    if (rows.size() < 2) return;
    const auto& header = rows[0];
    std::string sql = std::string(replace ? "INSERT OR REPLACE" : "INSERT OR IGNORE") + " INTO " + table + "(";
    std::string marks;
    for (std::size_t i = 0; i < header.size(); ++i) {
        sql += (i ? "," : "") + header[i];
        marks += i ? ",?" : "?";
    }
    sql += ") VALUES(" + marks + ")";
    auto& st = db.prepared(sql);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        Params p;
        p.reserve(header.size());
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (i < rows[r].size())
                p.emplace_back(rows[r][i]);
            else
                p.emplace_back();
        }
        st.run(p);
    }
}

} // namespace

std::vector<std::vector<std::string>> ParseTsv(std::string_view text) {
    std::vector<std::vector<std::string>> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos = eol + 1;
        if (line.empty()) continue;
        std::vector<std::string> fields;
        std::size_t f = 0;
        while (true) {
            std::size_t tab = line.find('\t', f);
            if (tab == std::string_view::npos) {
                fields.push_back(unescape(line.substr(f)));
                break;
            }
            fields.push_back(unescape(line.substr(f, tab - f)));
            f = tab + 1;
        }
        out.push_back(std::move(fields));
    }
    return out;
}

void InitializeSchema(Database& db) {
    Transaction tx(db);
    db.executeScript(embedded::file("schema.sql"));
    loadTsv(db, "msglist.tsv", "msglist");
    loadTsv(db, "buttontext.tsv", "buttontext");
    db.execute("INSERT INTO plurecordfat(fat1, fat2) VALUES(NULL, NULL)");
    tx.commit();
}

std::vector<std::string> MissingTables(Database& db) {
    std::vector<std::string> missing;
    const std::vector<std::string> have = db.tables();
    auto lower = [](std::string t) {
        for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return t;
    };
    std::set<std::string> present;
    for (const auto& t : have) present.insert(lower(t));
    const std::string_view schema = embedded::file("schema.sql");
    static const std::regex table(R"(CREATE\s+TABLE\s+(\w+))", std::regex::icase);
    const std::string text(schema);
    for (std::sregex_iterator it(text.begin(), text.end(), table), end; it != end; ++it)
        if (!present.count(lower((*it)[1].str()))) missing.push_back((*it)[1].str());
    return missing;
}

namespace {

// The schema's statements one by one, each without its closing semicolon and
// the blanks around it.
std::vector<std::string> SchemaStatements() {
    const std::string_view schema = embedded::file("schema.sql");
    std::vector<std::string> out;
    std::string statement;
    std::size_t pos = 0;
    while (pos < schema.size()) {
        std::size_t eol = schema.find('\n', pos);
        if (eol == std::string_view::npos) eol = schema.size();
        statement.append(schema.substr(pos, eol - pos + (eol < schema.size() ? 1 : 0)));
        pos = eol + 1;
        if (!sqlite3_complete(statement.c_str())) continue;
        while (!statement.empty() && (statement.back() == '\n' || statement.back() == ';' || statement.back() == ' '))
            statement.pop_back();
        out.push_back(std::move(statement));
        statement.clear();
    }
    return out;
}

// The name after the keyword that starts the statement's SQL ("CREATE VIEW ",
// "CREATE INDEX "), and that SQL from the keyword on; empty without it.
std::pair<std::string, std::string> Created(const std::string& statement, const std::string& keyword) {
    const std::size_t start = statement.find(keyword);
    if (start == std::string::npos) return {};
    const std::size_t nameStart = start + keyword.size();
    return {statement.substr(nameStart, statement.find(' ', nameStart) - nameStart), statement.substr(start)};
}

} // namespace

void RefreshStoredQueries(Database& db) {
    std::vector<std::pair<std::string, std::string>> views;
    for (const std::string& statement : SchemaStatements())
        if (auto view = Created(statement, "CREATE VIEW "); !view.first.empty()) views.push_back(std::move(view));
    std::vector<const std::pair<std::string, std::string>*> stale;
    for (const auto& v : views)
        if (db.scalar("SELECT sql FROM sqlite_schema WHERE type='view' AND name=?", {v.first}).toText() != v.second)
            stale.push_back(&v);
    if (stale.empty()) return;
    Transaction tx(db);
    for (const auto* v : stale) {
        db.execute("DROP VIEW IF EXISTS " + v->first);
        db.execute(v->second);
    }
    tx.commit();
}

void AddMissingIndexes(Database& db) {
    for (const std::string& statement : SchemaStatements()) {
        auto index = Created(statement, "CREATE INDEX ");
        if (index.first.empty()) index = Created(statement, "CREATE UNIQUE INDEX ");
        if (index.first.empty()) continue;
        if (!db.scalar("SELECT name FROM sqlite_schema WHERE type='index' AND name=?", {index.first}).isNull())
            continue;
        // Rows that break a unique index stay as they are: the file keeps
        // working without it.
        try {
            db.execute(index.second);
        } catch (const DbError&) {
        }
    }
}

void AddMissingTexts(Database& db) {
    const auto file = ParseTsv(embedded::file("msglist.tsv"));
    if (file.size() < 2) return;
    // Nothing to do when every id of the program's catalogue is stored.
    const long long stored = db.scalar("SELECT count(*) FROM msglist").toInt();
    if (stored >= static_cast<long long>(file.size() - 1)) {
        std::set<long long> ids;
        for (const auto& r : db.query("SELECT msgid FROM msglist").rows) ids.insert(r[0].toInt());
        bool missing = false;
        for (std::size_t i = 1; i < file.size() && !missing; ++i) missing = !ids.count(std::stoll(file[i][0]));
        if (!missing) return;
    }
    Transaction tx(db);
    loadTsv(db, "msglist.tsv", "msglist", false);
    tx.commit();
}

std::unique_ptr<Database> OpenOrCreate(const std::string& path, bool* created) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // A zero-length file (touched, or left by a failed copy) is treated as new.
    const bool exists = fs::exists(path, ec) && fs::file_size(path, ec) > 0;
    if (!exists) {
        fs::path parent = fs::path(path).parent_path();
        if (!parent.empty()) fs::create_directories(parent, ec);
        // A touched empty file becomes the database: owner-only like a new one.
        if (fs::exists(path, ec)) fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, ec);
    }
    auto db = Database::open(path, true);
    if (!exists) {
        try {
            InitializeSchema(*db);
        } catch (...) {
            db.reset();
            fs::remove(path, ec);
            throw;
        }
    }
    if (exists) {
        // A file that cannot be written keeps the views it has.
        try {
            RefreshStoredQueries(*db);
        } catch (const DbError&) {
        }
        // ... and the indexes it has.
        try {
            AddMissingIndexes(*db);
        } catch (const DbError&) {
        }
        // ... and the texts it has.
        try {
            AddMissingTexts(*db);
        } catch (const DbError&) {
        }
    }
    if (created) *created = !exists;
    return db;
}

} // namespace ecr::db
