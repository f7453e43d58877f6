// Promotion pages: 64 records of 64 bytes; promotion.address = page index x 100 + record index.
#pragma once

#include "Limits.h"
#include "PageKinds.h"
#include "app/GlobalFunc.h"

#include <optional>
#include <string>

namespace ecr::records {

inline constexpr int kPromotionRecordSize = 64;
inline constexpr int kPromotionRecords = 64;

struct PromotionLimits {
    static constexpr FieldLimit pluid = CodeLimit();
    static constexpr FieldLimit presentPluId = CodeLimit(true);
    static constexpr FieldLimit promotionname = TextLimit(20);
    static constexpr FieldLimit quantity = NumberLimit(4, 0); // also the present quantity
    static constexpr FieldLimit discountprice = NumberLimit(4, kPointDecimals);
};

struct PromotionRecord {
    int address = 0;
    std::string pluid;
    std::string sdate; // "YYYY-MM-DD HH:MM:SS"; empty when the register's date names no day
    std::string edate;
    long long quantity = 0;
    double discountprice = 0; // price decimals
    std::string presentPluId;
    long long presentQuantity = 0;
    std::string promotionname;
    bool operator==(const PromotionRecord&) const = default;
};

// nullopt when either word of the PLU code is blank.
std::optional<PromotionRecord> DecodePromotion(ByteView record, int pageIndex, int recordIndex, int priceDecimals);
bool EncodePromotion(const PromotionRecord& r, ByteSpan record, int priceDecimals);

} // namespace ecr::records
