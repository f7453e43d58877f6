#include "EditorLogic.h"

#include "app/CodePage.h"
#include "app/Config.h"
#include "records/rows/RowMessages.h"
#include "records/rows/Slots.h"
#include "app/GlobalFunc.h"
#include "records/Bundle.h"
#include "records/Plu.h"

#include <algorithm>
#include <cctype>

namespace ecr::editors {

std::optional<int> NextId(db::Database& db, const std::string& table) {
    db::Value m = db.scalar("SELECT max(id) FROM " + table);
    const long long next = m.isNull() ? 1 : m.toInt() + 1;
    if (next > 99) return std::nullopt;
    return static_cast<int>(next);
}

std::optional<PageMove> ParsePageMove(const std::string& word) {
    std::string w;
    for (char c : word) w.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (w == "first") return PageMove::First;
    if (w == "prev") return PageMove::Prev;
    if (w == "next") return PageMove::Next;
    if (w == "last") return PageMove::Last;
    if (w == "stay") return PageMove::Stay;
    return std::nullopt;
}

db::Page FetchListPage(db::Database& db, const std::string& sql, const db::Params& params, PageMove move,
                       int currentPage, int pageSize) {
    db::Page p;
    p.total = db.scalar("SELECT count(*) FROM (" + sql + ")", params).toInt();
    if (p.total == 0) return p;
    p.pageCount = static_cast<int>((p.total + pageSize - 1) / pageSize);
    p.page = std::clamp(TargetPage(move, currentPage, p.pageCount), 1, p.pageCount);
    db::Params all = params;
    all.emplace_back(pageSize);
    all.emplace_back(static_cast<long long>(p.page - 1) * pageSize);
    p.rows = db.query("SELECT * FROM (" + sql + ") LIMIT ? OFFSET ?", all);
    return p;
}

std::optional<FieldError> CheckPluFields(const PluFields& f, int pointDecimals) {
    using L = records::PluLimits;
    struct Check {
        const std::string& text;
        const char* field;
        int empty; // message when empty; 0: may be empty
        int caption;
        const records::FieldLimit& limit;
    };
    const Check checks[] = {
        {f.id, "txtId", 111172, 111074, L::id},
        {f.name, "txtName", 111173, 111075, L::name},
        {f.depart, "txtDepart", 111175, 111076, L::depart},
        {f.price, "txtPrice", 111176, 111077, L::price},
        {f.memberPrice, "txtMemberPrice", 0, 111448, L::price},
        {f.averagePrice, "txtAveragePrice", 0, 111449, L::price},
        {f.safeStock, "txtSafeStock", 111177, 111078, L::stock},
        {f.stockValue, "txtStockValue", 111178, 111079, L::stock},
    };
    for (const Check& c : checks) {
        const std::string text = TrimBlanks(c.text);
        if (text.empty() && c.empty) return FieldError{c.empty, c.field};
        if (auto problem = records::CheckText(c.limit, text, pointDecimals)) {
            if (problem->messageId == records::limitmsg::TooLong) return FieldError{111174, c.field};
            return FieldError{problem->messageId, c.field, c.caption, std::move(problem)};
        }
    }
    return std::nullopt;
}

std::optional<int> AddPlu(db::Database& db, const PluFields& f, long long* sidOut) {
    const std::string id = TrimBlanks(f.id);
    if (!db.query("SELECT 1 FROM plu WHERE id = ?", {id}).empty()) return 111401;
    db::Transaction tx(db);
    const std::optional<long long> slot = rows::NextSlot(db, rows::PluSlots(), GetKeyboardType(db));
    if (!slot) return rows::msg::NoFreeSlot;
    const long long sid = *slot;
    db.execute("INSERT INTO plu(id, name, price, depart, safestock, stockvalue, a0, sid, memberprice, averageprice) "
               "VALUES(?,?,?,?,?,?,?,?,?,?)",
               {id, TrimBlanks(f.name), NumericValue(f.price), static_cast<long long>(NumericValue(f.depart)),
                NumericValue(f.safeStock), NumericValue(f.stockValue), f.a0, sid, NumericValue(f.memberPrice),
                NumericValue(f.averagePrice)});
    tx.commit();
    if (sidOut) *sidOut = sid;
    return std::nullopt;
}

void UpdatePlu(db::Database& db, const PluFields& f) {
    db.execute("UPDATE plu SET name=?, price=?, depart=?, safestock=?, stockvalue=?, a0=?, memberprice=?, "
               "AveragePrice=? WHERE id=?",
               {TrimBlanks(f.name), NumericValue(f.price), static_cast<long long>(NumericValue(f.depart)),
                NumericValue(f.safeStock), NumericValue(f.stockValue), f.a0, NumericValue(f.memberPrice),
                NumericValue(f.averagePrice), TrimBlanks(f.id)});
}

std::string PluListSql(const PluFilter& f, db::Params& params) {
    std::string sql = "SELECT id, name, price, depart, safestock, stockvalue, a0, memberprice, AveragePrice FROM plu";
    params.clear();
    switch (f.kind) {
    case PluFilter::Kind::All: break;
    case PluFilter::Kind::Depart:
        sql += " WHERE depart = ?";
        params.emplace_back(static_cast<long long>(NumericValue(f.value)));
        break;
    case PluFilter::Kind::Code:
        sql += " WHERE id = ?";
        params.emplace_back(f.value);
        break;
    case PluFilter::Kind::Name: {
        // Contains, in any case; % and _ typed in the search match themselves.
        std::string pattern;
        for (char c : f.value) {
            if (c == '\\' || c == '%' || c == '_') pattern += '\\';
            pattern += c;
        }
        sql += " WHERE lower_text(name) LIKE '%' || lower_text(?) || '%' ESCAPE '\\'";
        params.emplace_back(pattern);
        break;
    }
    }
    return sql + " ORDER BY id";
}

int StoredLanguage(db::Database& db) { return static_cast<int>(db.scalar("SELECT lang FROM info LIMIT 1").toInt()); }

sheets::SheetData PluExportSheet(db::Database& db, int langCode, const std::vector<std::string>& captions) {
    sheets::SheetData s;
    s.name = "PLU";
    s.columnWidths.assign(captions.size(), 20);
    std::vector<sheets::Cell> header;
    for (const auto& c : captions) header.emplace_back(c);
    s.rows.push_back(std::move(header));
    s.boldRows = {0};
    auto rows = db.query("SELECT id, depart, price, safestock, stockvalue, name, a0, memberprice, AveragePrice "
                         "FROM plu ORDER BY sid");
    const char* yes = langCode == 1 ? "是" : "YES";
    const char* no = langCode == 1 ? "否" : "NO";
    auto number = [](const db::Value& v) -> sheets::Cell {
        if (v.isNull()) return std::monostate{};
        return v.toDouble();
    };
    for (const auto& r : rows.rows) {
        s.rows.push_back({r[0].toText(), r[5].toText(), number(r[1]), number(r[2]), number(r[7]), number(r[8]),
                          number(r[3]), number(r[4]), std::string(r[6].toInt() == 0 ? no : yes)});
    }
    return s;
}

std::optional<long long> NextMemberSlot(db::Database& db) {
    return rows::NextSlot(db, rows::MemberSlots(), GetKeyboardType(db));
}

std::optional<long long> NextPromotionAddress(db::Database& db) {
    return rows::NextSlot(db, rows::PromotionSlots(), GetKeyboardType(db));
}

std::optional<long long> NextBundleSlot(db::Database& db) {
    return rows::NextSlot(db, rows::BundleSlots(), GetKeyboardType(db));
}

std::string GetPluName(db::Database& db, const std::string& id) {
    if (id.empty()) return {};
    return db.scalar("SELECT name FROM plu WHERE id = ?", {id}).toText();
}

sheets::SheetData BundleExportSheet(db::Database& db, const std::vector<std::string>& captions) {
    sheets::SheetData s;
    s.name = "套餐";
    s.columnWidths.assign(captions.size(), 20);
    std::vector<sheets::Cell> header;
    for (const auto& c : captions) header.emplace_back(c);
    s.rows.push_back(std::move(header));
    s.boldRows = {0};
    std::string columns = "bundlenumber, bundlename, price";
    for (int i = 0; i < records::kBundleItems; ++i) {
        const std::string n = std::to_string(i);
        columns += ", plu" + n + "number, plu" + n + "quantity";
    }
    auto number = [](const db::Value& v) -> sheets::Cell {
        if (v.isNull()) return std::monostate{};
        return v.toDouble();
    };
    auto text = [](const db::Value& v) -> sheets::Cell {
        if (v.isNull() || v.toText().empty()) return std::monostate{};
        return v.toText();
    };
    for (const auto& r : db.query("SELECT " + columns + " FROM bundle ORDER BY sid").rows) {
        std::vector<sheets::Cell> row{text(r[0]), text(r[1]), number(r[2])};
        for (int i = 0; i < records::kBundleItems; ++i) {
            row.push_back(text(r[3 + 2 * i]));
            row.push_back(number(r[4 + 2 * i]));
        }
        s.rows.push_back(std::move(row));
    }
    return s;
}

} // namespace ecr::editors
