// What the editors decide without a window: slot allocation, next ids, list
// paging, the PLU entry checks, list queries and exports.
#pragma once

#include "db/Database.h"
#include "Paging.h"
#include "import/Spreadsheet.h"
#include "records/Limits.h"

#include <optional>
#include <string>

namespace ecr::editors {

// Next department or cashier id: maximum + 1, 1 for an empty table;
// nullopt when it would pass 99.
std::optional<int> NextId(db::Database& db, const std::string& table);

// List paging over 30-row pages.
using ecr::PageMove;
using ecr::PositionLabel; // "3(12)"
using ecr::TargetPage;
// Direction words "first", "prev", "next", "last", "stay" in any case; nullopt otherwise.
std::optional<PageMove> ParsePageMove(const std::string& word);
// The page of the query that the move reaches from the current page, 30 rows
// a page (counted once). page is 0 when the query has no rows.
db::Page FetchListPage(db::Database& db, const std::string& sql, const db::Params& params, PageMove move,
                       int currentPage, int pageSize = 30);

// PLU entry form fields as typed.
struct PluFields {
    std::string id, name, depart, price, memberPrice, averagePrice, safeStock, stockValue;
    int a0 = 0; // combo index
};
// The first failing check in the form's order, or nullopt when the fields
// may be saved. Texts are trimmed first. An empty required field gives its
// message; a value the register cannot hold gives the reason (problem) to be
// shown with the field's caption; a name longer than 20 bytes in the
// register's code page gives 111174. pointDecimals: params.PointEn in force.
struct FieldError {
    int messageId;     // the message, or the reason's text when problem is set
    std::string field; // txtId, txtName, txtDepart, txtPrice, ... txtStockValue
    int caption = 0;   // the field's caption when problem is set
    std::optional<records::LimitProblem> problem;
};
std::optional<FieldError> CheckPluFields(const PluFields& f, int pointDecimals = 2);

// Adds a PLU (nullopt) or refuses a code that exists (111401) or a PLU for
// which the register has no free place (120110). The new row gets the next
// free sid (rows::NextSlot). Numbers are taken by their leading value.
std::optional<int> AddPlu(db::Database& db, const PluFields& f, long long* sid = nullptr);
void UpdatePlu(db::Database& db, const PluFields& f);

// The PLU list query of a tree node: "all", "id<depart>", or a search (code
// exact, or name containing text); bound values only.
struct PluFilter {
    enum class Kind { All, Depart, Code, Name } kind = Kind::All;
    std::string value;
};
std::string PluListSql(const PluFilter& f, db::Params& params);

// The interface language stored in info.lang; 0 without a row.
int StoredLanguage(db::Database& db);

// The PLU export sheet: name "PLU", captions, widths 20, one row per PLU in
// sid order; the flag column reads 是/否 in language 1, YES/NO otherwise.
sheets::SheetData PluExportSheet(db::Database& db, int langCode, const std::vector<std::string>& captions);

// Places of new members, promotions and bundles inside their kind's pages
// (rows::NextSlot); nullopt when every place is taken.
std::optional<long long> NextMemberSlot(db::Database& db);
std::optional<long long> NextPromotionAddress(db::Database& db);
std::optional<long long> NextBundleSlot(db::Database& db);

// The name of the PLU with the code; empty when there is none.
std::string GetPluName(db::Database& db, const std::string& id);

// The bundle export sheet: name "套餐", columns A to W (number, name, price,
// the ten PLU codes and quantities in pairs) under the captions given, width
// 20 each, one row per bundle in sid order. Codes are text, empty codes empty.
sheets::SheetData BundleExportSheet(db::Database& db, const std::vector<std::string>& captions);

} // namespace ecr::editors
