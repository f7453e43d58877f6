#include "Cashier.h"


namespace ecr::records {

std::optional<CashierRecord> DecodeCashier(ByteView rec, int index) {
    if (IsBlankBytes(rec.subspan(0, 20))) return std::nullopt;
    CashierRecord r;
    r.id = index;
    r.name = CleanText(BytesToText(rec.subspan(0, 20)));
    r.passwd = ReverseText(CleanText(BytesToText(rec.subspan(20, 6))));
    const auto word = static_cast<std::uint32_t>(static_cast<std::int64_t>(BytesToNumber(rec.subspan(28, 4), 0, false, 0)));
    for (int i = 0; i < kCashierRightCount; ++i)
        r.rights[static_cast<std::size_t>(i)] = (word >> kCashierRightBits[i]) & 1u ? 0 : 1;
    return r;
}

void EncodeCashier(const CashierRecord& r, ByteSpan rec) {
    TextToBytes(r.name, rec.subspan(0, 20));
    TextToBytes(ReverseText(r.passwd), rec.subspan(20, 6));
    std::uint32_t word = 0;
    for (int i = 0; i < kCashierRightCount; ++i)
        if (r.rights[static_cast<std::size_t>(i)] == 0) word |= 1u << kCashierRightBits[i];
    NumberToBytes(static_cast<double>(word), rec.subspan(28, 4), 0, false);
    NumberToBytes(r.id, rec.subspan(32, 2), 0, false);
}

} // namespace ecr::records
