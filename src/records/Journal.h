// Sales journal pages (128 records of 32 bytes; plurecord.sid = page index x
// 1000 + record index) and the two allocation pages that say which journal
// pages hold data.
#pragma once

#include "PageRegistry.h"

#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kJournalRecordSize = 32;
inline constexpr int kJournalRecords = 128;
inline constexpr int kBundleDepart = 200; // department byte of a bundle line

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

// Stores one record with its names, unit price and tax rate looked up in the
// database; an all-0xFF page sets ctx.endOfData instead.
void GetPluRecordStruct(PageContext& ctx, ByteView page, int pageIndex, int recordIndex);

// Allocation page 0 or 1: entries pageIndex x 1024 + offset / 4; blank = -1.
void DecodeJournalAllocation(ByteView page, int pageIndex, JournalPageTable& table);
// Stores an allocation page into plurecordfat (fat1 / fat2) and the table.
void GetDataPages(PageContext& ctx, ByteView page, int pageIndex);
// Rebuilds the table from plurecordfat.
void LoadJournalPageTable(db::Database& db, JournalPageTable& table);

void RegisterJournalKinds(PageRegistry& registry);

} // namespace ecr::records
