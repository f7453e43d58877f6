// Cashier page: 100 records of 40 bytes.
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <array>
#include <iterator>
#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kCashierRecordSize = 40;
inline constexpr int kCashierRecords = 100;
// The rights in list order and their bit in the rights word (a set bit
// withholds the right).
inline constexpr int kCashierRightBits[] = {0, 1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
inline constexpr int kCashierRightCount = static_cast<int>(std::size(kCashierRightBits));

struct CashierLimits {
    static constexpr FieldLimit id = WholeLimit(0, kCashierRecords - 1);
    static constexpr FieldLimit name = TextLimit(20);
    static constexpr FieldLimit passwd = TextLimit(6);
};

struct CashierRecord {
    int id = 0;
    std::string name;
    std::string passwd;                      // natural order
    std::array<int, kCashierRightCount> rights{}; // 1 = granted, in kCashierRightBits order
    bool operator==(const CashierRecord&) const = default;
};

// Record index i of a page; nullopt when the name field is blank.
std::optional<CashierRecord> DecodeCashier(ByteView record, int index);
// Writes the record's fields over a 40-byte slot (untouched bytes stay as they are).
void EncodeCashier(const CashierRecord& r, ByteSpan record);

} // namespace ecr::records
