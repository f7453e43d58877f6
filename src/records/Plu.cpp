#include "Plu.h"

#include "Fields.h"

namespace ecr::records {

std::optional<PluRecord> DecodePlu(ByteView rec, int pageIndex, int recordIndex, int p) {
    if (IsBlankBytes(rec.subspan(0, 4)) || IsBlankBytes(rec.subspan(4, 4))) return std::nullopt;
    PluRecord r;
    r.id = ReadCode(rec.subspan(0, 8));
    if (r.id.empty()) return std::nullopt;
    r.sid = pageIndex * 100 + recordIndex;
    r.price = BytesToNumber(rec.subspan(8, 4), p, false, 0);
    r.memberprice = BytesToNumber(rec.subspan(12, 4), p, false, 0);
    r.safestock = BytesToNumber(rec.subspan(16, 4), 3, true, 0);
    for (int i = 3; i >= 0; --i) {
        ByteView slot = rec.subspan(static_cast<std::size_t>(kPluStockSlots[i]), 4);
        if (!IsBlankBytes(slot)) {
            r.stockvalue = BytesToNumber(slot, 3, true, 0);
            break;
        }
    }
    r.averagePrice = BytesToNumber(rec.subspan(36, 4), p, false, 0);
    r.name = BytesToText(rec.subspan(40, 20));
    r.a0 = rec[60] == 0xFE ? 1 : 0;
    r.depart = rec[61];
    return r;
}

bool EncodePlu(const PluRecord& r, ByteSpan rec, int p) {
    if (!WriteCode(r.id, rec.subspan(0, 8))) return false;
    PutNumber(r.price, rec.subspan(8, 4), p, false);
    PutNumber(r.memberprice, rec.subspan(12, 4), p, false);
    // Minimum stock in the same one's-complement form the register reads it in.
    PutNumber(r.safestock, rec.subspan(16, 4), 3, true);
    PutNumber(r.stockvalue, rec.subspan(20, 4), 3, true);
    PutNumber(r.averagePrice, rec.subspan(36, 4), p, false);
    TextToBytes(r.name, rec.subspan(40, 20));
    rec[60] = r.a0 != 0 ? 0xFE : 0xFF;
    rec[61] = static_cast<std::uint8_t>(r.depart);
    return true;
}

} // namespace ecr::records
