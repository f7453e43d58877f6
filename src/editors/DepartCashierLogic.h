// What the department and cashier editors decide without a window: the rows
// they write and the texts their lists show. Ids come from NextId (1..99).
#pragma once

#include "db/Database.h"

#include <array>
#include <optional>
#include <string>

namespace ecr::editors {

// Department entry form fields as typed.
struct DepartFields {
    int id = 0;
    std::string name, price, taxRate;
    int discounten = 0;
    int kitchenEn = 1; // combo index 0..3
};
// 111126 when the trimmed name is empty; nullopt when the row may be saved.
std::optional<int> CheckDepartFields(const DepartFields& f);
// addr is written with the id. Price and tax by their leading number.
void AddDepart(db::Database& db, const DepartFields& f);
void UpdateDepart(db::Database& db, const DepartFields& f);
void DeleteDepart(db::Database& db, long long id);
// Kitchen printer caption: 111487..111490 for 0..3, 0 (no caption) otherwise.
int KitchenCaptionId(long long kitchenEn);
// The stored kitchen printer of a department; 1 when the row is missing.
long long StoredKitchenEn(db::Database& db, long long id);

// The fourteen rights in list and page order: a0 a1 a2 a3 a7 .. a16.
inline constexpr std::array<const char*, 14> kRightColumns = {"a0", "a1", "a2",  "a3",  "a7",  "a8",  "a9",
                                                              "a10", "a11", "a12", "a13", "a14", "a15", "a16"};
// Caption ids of the rights, in the same order.
inline constexpr std::array<int, 14> kRightCaptions = {111006, 111007, 111008, 111469, 111632, 111508, 111470,
                                                       111472, 111473, 111474, 111509, 111633, 111511, 111510};

struct CashierFields {
    int id = 0;
    std::string name, passwd;
    std::array<int, 14> rights{}; // 0 or 1, in kRightColumns order
};
void AddCashier(db::Database& db, const CashierFields& f);
void UpdateCashier(db::Database& db, const CashierFields& f);
void DeleteCashier(db::Database& db, long long id);

} // namespace ecr::editors
