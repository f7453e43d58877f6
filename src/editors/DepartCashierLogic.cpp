#include "DepartCashierLogic.h"

#include "app/GlobalFunc.h"

namespace ecr::editors {

std::optional<int> CheckDepartFields(const DepartFields& f) {
    if (TrimBlanks(f.name).empty()) return 111126;
    return std::nullopt;
}

void AddDepart(db::Database& db, const DepartFields& f) {
    db.execute("INSERT INTO depart(id, name, price, discounten, tax, addr, KitchenEn) VALUES(?,?,?,?,?,?,?)",
               {f.id, TrimBlanks(f.name), NumericValue(f.price), f.discounten, NumericValue(f.taxRate), f.id,
                f.kitchenEn});
}

void UpdateDepart(db::Database& db, const DepartFields& f) {
    db.execute("UPDATE depart SET name=?, price=?, discounten=?, tax=?, KitchenEn=? WHERE id=?",
               {TrimBlanks(f.name), NumericValue(f.price), f.discounten, NumericValue(f.taxRate), f.kitchenEn, f.id});
}

void DeleteDepart(db::Database& db, long long id) { db.execute("DELETE FROM depart WHERE id=?", {id}); }

int KitchenCaptionId(long long kitchenEn) { return kitchenEn >= 0 && kitchenEn <= 3 ? 111487 + static_cast<int>(kitchenEn) : 0; }

long long StoredKitchenEn(db::Database& db, long long id) {
    const db::Value v = db.scalar("SELECT KitchenEn FROM depart WHERE id=?", {id});
    return v.isNull() ? 1 : v.toInt();
}

namespace {
std::string rightsList(const char* separator, const char* suffix) {
    std::string s;
    for (const char* c : kRightColumns) {
        if (!s.empty()) s += separator;
        s += c;
        s += suffix;
    }
    return s;
}
db::Params rightValues(const CashierFields& f) {
    db::Params p;
    for (int r : f.rights) p.emplace_back(r ? 1 : 0);
    return p;
}
} // namespace

void AddCashier(db::Database& db, const CashierFields& f) {
    db::Params p{f.id, TrimBlanks(f.name), f.passwd};
    for (auto& v : rightValues(f)) p.push_back(v);
    std::string marks;
    for (std::size_t i = 0; i < kRightColumns.size(); ++i) marks += ",?";
    db.execute("INSERT INTO cashier(id, name, passwd, " + rightsList(", ", "") + ") VALUES(?,?,?" + marks + ")", p);
}

void UpdateCashier(db::Database& db, const CashierFields& f) {
    db::Params p{TrimBlanks(f.name), f.passwd};
    for (auto& v : rightValues(f)) p.push_back(v);
    p.emplace_back(f.id);
    db.execute("UPDATE cashier SET name=?, passwd=?, " + rightsList(", ", "=?") + " WHERE id=?", p);
}

void DeleteCashier(db::Database& db, long long id) { db.execute("DELETE FROM cashier WHERE id=?", {id}); }

} // namespace ecr::editors
