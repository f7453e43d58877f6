// The rows of the register's tables: per table the one list of its columns
// and the mapping between a record struct and a row in that order. Page
// sinks and builders, editors, the import and reports all go through these,
// so a PLU row is written in one place.
#pragma once

#include "db/Database.h"
#include "records/Bundle.h"
#include "records/Cashier.h"
#include "records/Department.h"
#include "records/Hotkey.h"
#include "records/Journal.h"
#include "records/Member.h"
#include "records/Plu.h"
#include "records/Promotion.h"

#include <array>
#include <string>
#include <vector>

namespace ecr::rows {

using Row = std::vector<db::Value>;

struct Columns {
    const char* table;
    std::vector<const char*> names;
    // "a,b,c"
    std::string list() const;
    // "SELECT a,b,c FROM table" (no WHERE, no ORDER)
    std::string select() const;
    // "INSERT INTO table(a,b,c) VALUES(?,?,?)"; replace: INSERT OR REPLACE
    std::string insert(bool replace = false) const;
};

// ---- cashier ----
// The rights columns in list and page order (kCashierRightBits order).
inline constexpr std::array<const char*, records::kCashierRightCount> kCashierRightColumns = {
    "a0", "a1", "a2", "a3", "a7", "a8", "a9", "a10", "a11", "a12", "a13", "a14", "a15", "a16"};
const Columns& CashierColumns(); // id, name, passwd, the rights
Row CashierRow(const records::CashierRecord& r);
records::CashierRecord CashierFromRow(const Row& row);

// ---- depart ----
const Columns& DepartColumns(); // id, name, price, discounten, tax, addr, KitchenEn
Row DepartRow(const records::DepartRecord& r);
records::DepartRecord DepartFromRow(const Row& row);

// ---- hotkey ----
const Columns& KeyColumns(); // keyaddress, content, content2, function
Row KeyRow(const records::KeyRecord& r);
records::KeyRecord KeyFromRow(const Row& row);

// ---- plu ----
const Columns& PluColumns(); // id, name, depart, price, safestock, stockvalue, a0, memberprice, AveragePrice, sid
Row PluRow(const records::PluRecord& r);
records::PluRecord PluFromRow(const Row& row);
// Stores the PLU: the row of its code is replaced, wherever it was.
void WritePlu(db::Database& db, const records::PluRecord& r);

// ---- member ----
const Columns& MemberColumns(); // userid, username, useraddress, tel, score, addr, sid
Row MemberRow(const records::MemberRecord& r);
records::MemberRecord MemberFromRow(const Row& row);

// ---- bundle ----
const Columns& BundleColumns(); // bundlenumber, bundlename, price, address, sid, plu0number, plu0quantity, ...
Row BundleRow(const records::BundleRecord& r);
records::BundleRecord BundleFromRow(const Row& row);

// ---- promotion ----
// address, promotionname, pluid, sdate, edate, quantity, discountprice, PresentPluId, PresentQuantity
const Columns& PromotionColumns();
Row PromotionRow(const records::PromotionRecord& r);
records::PromotionRecord PromotionFromRow(const Row& row);

// ---- plurecord ----
// The journal fields a page carries: billnumber, pluid, price, quantity, time,
// operation, depart, cashier, opentable, sid. A stored line adds the names,
// unit price and tax rate looked up when it arrived.
const Columns& JournalColumns();
records::JournalRecord JournalFromRow(const Row& row);

// ---- params ----
struct ParamColumn {
    const char* name;
    bool text;
};
// Every column of params in table order.
const std::vector<ParamColumn>& ParamColumns();

} // namespace ecr::rows
