// What the sales journal viewer reads from plurecord: the months that hold
// lines, the bills of a month and the lines of a bill in its month, each a
// page at a time over the month index of the schema.
#pragma once

#include "PagedListModel.h"

#include <string>
#include <vector>

namespace ecr::views {

// The months that hold journal lines as "YYYYMM", oldest first. Found by
// seeking month after month along the time index, so a full journal costs a
// few look-ups per month rather than a pass over its lines.
std::vector<std::string> JournalMonths(db::Database& db);

// "200910" as the time texts begin: "2009-10"; empty when it is no month.
std::string MonthPrefix(const std::string& monthKey);

// The bills of a month: one row per bill number, time stamp and cashier,
// by bill number and time. Columns: billnumber, date (YYYY-MM-DD), cashier,
// quantity total, amount total.
PagedQuery BillQuery(const std::string& monthKey);

// The lines of a bill in a month, in the register's order. The bill number
// alone would also gather the bills of that number from other months.
// Columns: pluid, depart, price, quantity, operation, opentable.
PagedQuery LineQuery(const std::string& monthKey, long long billnumber);

// An operation code as the line list shows it: its name with the code,
// "Discount (16)", where the catalogue names it; otherwise the code.
std::string OperationText(long long code);

} // namespace ecr::views
