// Bundle pages: 16 records of 256 bytes; bundle.sid = page index x 100 + record index.
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <array>
#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kBundleRecordSize = 256;
inline constexpr int kBundleRecords = 16;
inline constexpr int kBundleItems = 10;

struct BundleLimits {
    static constexpr FieldLimit bundlenumber = CodeLimit();
    static constexpr FieldLimit bundlename = TextLimit(32);
    static constexpr FieldLimit price = NumberLimit(4, 2);
    static constexpr FieldLimit pluNumber = CodeLimit(true); // an unused place is empty
    static constexpr FieldLimit quantity = NumberLimit(4, 3);
};

struct BundleItem {
    std::string number;  // PLU code, empty for an unused slot
    double quantity = 0; // 3 decimals
    bool operator==(const BundleItem&) const = default;
};

struct BundleRecord {
    int sid = 0;
    std::string bundlenumber;
    std::string bundlename;
    double price = 0; // 2 decimals
    int address = 0;  // sent; a received bundle keeps 0
    std::array<BundleItem, kBundleItems> items;
    bool operator==(const BundleRecord&) const = default;
};

// nullopt when the bundle number is empty.
std::optional<BundleRecord> DecodeBundle(ByteView record, int pageIndex, int recordIndex);
bool EncodeBundle(const BundleRecord& r, ByteSpan record);

} // namespace ecr::records
