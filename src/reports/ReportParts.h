// What the report functions share: catalogue texts, columns, the period line
// and the period written for the stored queries.
#pragma once

#include "Document.h"
#include "Period.h"

#include <string>

namespace ecr::db {
class Database;
}

namespace ecr::reports::detail {

// Catalogue text in the current interface language.
std::string Text(db::Database& db, int id);

Column TextColumn(db::Database& db, int captionId, int twips, double sheetWidth);
Column NumberColumn(db::Database& db, int captionId, int twips, double sheetWidth);

// Title, the printed period line and its spreadsheet form.
Document PeriodDocument(db::Database& db, int titleId, const Period& period);

// Replaces the period in rpt_time, which the stored queries read.
void StorePeriod(db::Database& db, const Period& period);

// Journal lines of closed bills only; the period binds as ?1 and ?2.
inline constexpr const char* kCounted = "billnumber>0 AND opentable=0 AND time>=?1 AND time<=?2";
// The tax contained in a tax-inclusive line amount.
inline constexpr const char* kTaxShare = "price*taxvalue/(taxvalue+100)";

// ORDER BY terms that sort PLU codes (digit texts of any length) by their
// number, then by text.
std::string PluOrder(const std::string& column);

} // namespace ecr::reports::detail
