#include "Department.h"


#include <cmath>

namespace ecr::records {

std::optional<DepartRecord> DecodeDepart(ByteView rec, int index) {
    if (IsBlankBytes(rec.subspan(0, 20))) return std::nullopt;
    DepartRecord r;
    r.id = index;
    r.name = CleanText(BytesToText(rec.subspan(0, 20)));
    r.price = BytesToNumber(rec.subspan(20, 4), 2, false, 0);
    r.tax = BytesToNumber(rec.subspan(24, 4), 2, false, 0);
    r.discounten = rec[28] == 0x00 ? 1 : 0;
    r.addr = rec[29];
    r.kitchenEn = rec[30];
    return r;
}

void EncodeDepart(const DepartRecord& r, ByteSpan rec) {
    TextToBytes(r.name, rec.subspan(0, 20));
    NumberToBytes(r.price, rec.subspan(20, 4), 2, false);
    NumberToBytes(r.tax, rec.subspan(24, 4), 2, false);
    rec[28] = r.discounten != 0 ? 0x00 : 0x01;
    rec[29] = static_cast<std::uint8_t>(r.addr);
    rec[30] = static_cast<std::uint8_t>(r.kitchenEn);
}

} // namespace ecr::records
