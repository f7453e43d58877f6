#include "Promotion.h"

#include "Fields.h"

namespace ecr::records {

std::optional<PromotionRecord> DecodePromotion(ByteView rec, int pageIndex, int recordIndex, int p) {
    if (IsBlankBytes(rec.subspan(0, 4)) || IsBlankBytes(rec.subspan(4, 4))) return std::nullopt;
    PromotionRecord r;
    r.address = pageIndex * 100 + recordIndex;
    r.pluid = ReadCode(rec.subspan(0, 8));
    r.sdate = PackedToIsoDateTime(ReadWord(rec.subspan(8, 4))).value_or(std::string());
    r.edate = PackedToIsoDateTime(ReadWord(rec.subspan(12, 4))).value_or(std::string());
    r.quantity = static_cast<long long>(BytesToNumber(rec.subspan(16, 4), 0, false, 0));
    r.discountprice = BytesToNumber(rec.subspan(20, 4), p, false, 0);
    r.presentPluId = ReadCode(rec.subspan(24, 8));
    r.presentQuantity = static_cast<long long>(BytesToNumber(rec.subspan(32, 4), 0, false, 0));
    r.promotionname = BytesToText(rec.subspan(38, 20));
    return r;
}

bool EncodePromotion(const PromotionRecord& r, ByteSpan rec, int p) {
    if (!WriteCode(r.pluid, rec.subspan(0, 8))) return false;
    PutNumber(StoredDateToPacked(r.sdate), rec.subspan(8, 4), 0, false);
    PutNumber(StoredDateToPacked(r.edate), rec.subspan(12, 4), 0, false);
    PutNumber(static_cast<double>(r.quantity), rec.subspan(16, 4), 0, false);
    PutNumber(r.discountprice, rec.subspan(20, 4), p, false);
    WriteCode(r.presentPluId, rec.subspan(24, 8));
    PutNumber(static_cast<double>(r.presentQuantity), rec.subspan(32, 4), 0, false);
    PutNumber(r.address, rec.subspan(36, 2), 0, false);
    TextToBytes(r.promotionname, rec.subspan(38, 20));
    return true;
}

} // namespace ecr::records
