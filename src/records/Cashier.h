// Cashier page: 100 records of 40 bytes.
#pragma once

#include "Limits.h"
#include "PageRegistry.h"

#include <array>
#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kCashierRecordSize = 40;
inline constexpr int kCashierRecords = 100;
// Rights columns and their bit in the rights word (a set bit withholds the right).
inline constexpr struct {
    const char* column;
    int bit;
} kCashierRights[] = {{"a0", 0},   {"a1", 1},   {"a2", 2},   {"a3", 3},   {"a7", 7},
                      {"a8", 8},   {"a9", 9},   {"a10", 10}, {"a11", 11}, {"a12", 12},
                      {"a13", 13}, {"a14", 14}, {"a15", 15}, {"a16", 16}};
inline constexpr int kCashierRightCount = 14;

struct CashierLimits {
    static constexpr FieldLimit id = WholeLimit(0, kCashierRecords - 1);
    static constexpr FieldLimit name = TextLimit(20);
    static constexpr FieldLimit passwd = TextLimit(6);
};

struct CashierRecord {
    int id = 0;
    std::string name;
    std::string passwd;                      // natural order
    std::array<int, kCashierRightCount> rights{}; // 1 = granted, in kCashierRights order
    bool operator==(const CashierRecord&) const = default;
};

// Record index i of a page; nullopt when the name field is blank.
std::optional<CashierRecord> DecodeCashier(ByteView record, int index);
// Writes the record's fields over a 40-byte slot (untouched bytes stay as they are).
void EncodeCashier(const CashierRecord& r, ByteSpan record);

// Inserts the row of record index i (nothing for an empty record).
void GetCashierStruct(PageContext& ctx, ByteView page, int recordIndex);
void RegisterCashierKind(PageRegistry& registry);

} // namespace ecr::records
