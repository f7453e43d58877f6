// Fiscal day records (128 records of 32 bytes per page) and the flash-cash
// totals page. Both are only ever read from the register.
#pragma once

#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <array>
#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kFiscalRecordSize = 32;
inline constexpr int kFiscalRecords = 128;
inline constexpr int kFiscalSlotsPerYear = 384; // 12 months of 32 day slots
inline constexpr int kFiscalLastYear = 2080;

struct FiscalRecord {
    int fyear = 0;
    long long fday = 0; // running number over all fiscal pages
    double saleprice = 0;
    double refundprice = 0;
    double taxprice = 0;
    long long bill = 0;
    long long refundnum = 0;
    std::string mdate; // "YYYY-MM-DD 00:00:00"
    bool operator==(const FiscalRecord&) const = default;
};

// Running number of a record: its place in the sequence over all pages.
inline long long FiscalRunningNumber(int pageIndex, int recordIndex) {
    return static_cast<long long>(pageIndex) * kFiscalRecords + recordIndex;
}
// nullopt when the year is outside 1..2080 or the day slot names no date.
std::optional<FiscalRecord> DecodeFiscal(ByteView record, long long runningNumber);

inline constexpr int kFlashCashGroups = 12;
inline constexpr int kFlashCashGroupSize = 300;
inline constexpr int kFlashCashEntries = 30;

// Current total of each group: the amount of the last entry before the first
// blank marker.
std::array<double, kFlashCashGroups> DecodeFlashCash(ByteView page);

} // namespace ecr::records
