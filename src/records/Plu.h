// PLU pages: 64 records of 64 bytes; plu.sid = page index x 100 + record index.
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kPluRecordSize = 64;
inline constexpr int kPluRecords = 64;
// Stock slots, newest last: the register writes a new stock into the next blank one.
inline constexpr int kPluStockSlots[] = {20, 24, 28, 32};

// What each PLU field holds on the register.
struct PluLimits {
    static constexpr FieldLimit id = CodeLimit();
    static constexpr FieldLimit name = TextLimit(20);
    // The department page has places 0..100; the byte would hold more, but
    // a PLU of a department the register lacks cannot be sold.
    static constexpr FieldLimit depart = WholeLimit(0, 100);
    static constexpr FieldLimit price = NumberLimit(4, kPointDecimals); // also member and average price
    static constexpr FieldLimit stock = NumberLimit(4, 3, true);        // minimum stock and stock
};

struct PluRecord {
    int sid = 0;
    std::string id;
    std::string name;
    int depart = 0;
    double price = 0;       // price decimals
    double memberprice = 0; // price decimals
    double averagePrice = 0;
    double safestock = 0;  // 3 decimals
    double stockvalue = 0; // 3 decimals
    int a0 = 0;
    bool operator==(const PluRecord&) const = default;
};

// nullopt when either code word is blank or the code is empty.
std::optional<PluRecord> DecodePlu(ByteView record, int pageIndex, int recordIndex, int priceDecimals);
// Writes the record's fields over a 64-byte slot; false (nothing written)
// when the code has more than 16 digits.
bool EncodePlu(const PluRecord& r, ByteSpan record, int priceDecimals);

} // namespace ecr::records
