// The flash-cash totals of the register as the view lists them: one row per
// total type, named by the catalogue or, for payment methods 3 to 6, by the
// names the register's parameters give them.
#pragma once

#include "db/Database.h"

#include <array>
#include <string>
#include <vector>

namespace ecr::views {

// Names of payment methods 3 to 6 (params Price3 .. Price6), trimmed; empty
// without a parameter row.
std::array<std::string, 4> PaymentNames(db::Database& db);

// The name of a total type: 0-2 and 7-11 from the catalogue, 3-6 the payment
// method names; empty for any other type.
std::string FlashCashTypeName(long long type, const std::array<std::string, 4>& paymentNames);

struct FlashCashRow {
    long long type = 0;
    std::string name;
    double total = 0;
};
// Every stored total with its name; the payment names are read once.
std::vector<FlashCashRow> FlashCashRows(db::Database& db);

void DeleteFlashCash(db::Database& db);

} // namespace ecr::views
