// SQL functions that report and list queries use: format, cstr, year, month, day.
#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace ecr::db {

void RegisterSqlFunctions(sqlite3* db);

// The pattern formatting behind format(); exposed for tests and for callers
// that format the same way outside SQL. Patterns: '0', '00', '0000', '00000'
// (zero-padded integer), '0.00', '0.000' (fixed decimals), 'yyyy-mm-dd',
// 'yyyymmddhhmm' (from stored date text). Text that is not a number under a
// number pattern comes back unchanged.
std::string FormatValue(std::string_view text, bool isNumber, double number, std::string_view pattern);

} // namespace ecr::db
