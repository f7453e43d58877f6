// What the fiscal view reads from table fiscal, and its export sheet.
#pragma once

#include "db/Database.h"
#include "import/Spreadsheet.h"

#include <string>
#include <vector>

namespace ecr::views {

// The dates that hold fiscal records as stored (mdate), in date order.
std::vector<std::string> FiscalDates(db::Database& db);

// A stored date as the view shows it: "2009-01-05".
std::string FiscalDateText(const std::string& mdate);

// The records of a stored date by year and day: fday, saleprice,
// refundprice, taxprice, bill, refundnum.
db::Rows FiscalRecordsOf(db::Database& db, const std::string& mdate);

long long FiscalCount(db::Database& db);

// The export: the sheet named sheetName, captions (seven) in row 1 with
// columns 20 wide, then one row per record by date: the date as text, fday,
// saleprice, refundprice, taxprice, bill, refundnum.
sheets::SheetData FiscalExportSheet(db::Database& db, const std::string& sheetName,
                                    const std::vector<std::string>& captions);

} // namespace ecr::views
