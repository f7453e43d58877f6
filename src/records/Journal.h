// Sales journal pages (128 records of 32 bytes; plurecord.sid = page index x
// 1000 + record index) and the two allocation pages that say which journal
// pages hold data.
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kJournalRecordSize = 32;
inline constexpr int kJournalRecords = 128;
inline constexpr int kBundleDepart = 200; // department byte of a bundle line

struct JournalLimits {
    static constexpr FieldLimit billnumber = NumberLimit(4, 0);
    static constexpr FieldLimit pluid = CodeLimit(true); // payment and total lines have no PLU
    static constexpr FieldLimit price = NumberLimit(4, kPointDecimals);
    static constexpr FieldLimit quantity = NumberLimit(4, 3);
    static constexpr FieldLimit byte = WholeLimit(0, 255); // operation, department, cashier, table
};

struct JournalRecord {
    int sid = 0;
    long long billnumber = 0;
    std::string pluid;
    double price = 0;    // price decimals
    double quantity = 0; // 3 decimals
    std::string time;    // "YYYY-MM-DD HH:MM:SS"; empty when the record's date is not a date
    int operation = 0;
    int depart = 0;
    int cashier = 0;
    int opentable = 0;
    bool operator==(const JournalRecord&) const = default;
};

// nullopt when the bill-number field is blank.
std::optional<JournalRecord> DecodeJournal(ByteView record, int pageIndex, int recordIndex, int priceDecimals);
// Price is written with the same decimals it is read with. False (nothing
// written) when the code has more than 16 digits.
bool EncodeJournal(const JournalRecord& r, ByteSpan record, int priceDecimals);

// Journal allocation: one entry per journal page; below 2 means no data.
struct JournalPageTable {
    std::array<std::int32_t, 2048> entries;
    JournalPageTable() { entries.fill(-1); }
};
// The allocation pages, page index 0 and 1.
inline constexpr int kJournalAllocationPages = 2;

// Allocation page 0 or 1: entries pageIndex x 1024 + offset / 4; blank = -1.
void DecodeJournalAllocation(ByteView page, int pageIndex, JournalPageTable& table);

} // namespace ecr::records
