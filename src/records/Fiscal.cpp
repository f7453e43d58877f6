#include "Fiscal.h"

#include "Fields.h"

namespace ecr::records {

std::optional<FiscalRecord> DecodeFiscal(ByteView rec, long long n) {
    FiscalRecord r;
    r.fyear = static_cast<int>(BytesToNumber(rec.subspan(18, 2), 0, false, 0));
    if (r.fyear < 1 || r.fyear > kFiscalLastYear) return std::nullopt;
    const long long slot = n % kFiscalSlotsPerYear;
    const int month = static_cast<int>(slot / 32) + 1;
    const int day = static_cast<int>(slot % 32);
    if (!IsValidDate(r.fyear, month, day)) return std::nullopt;
    r.fday = n;
    r.mdate = IsoDateTime(r.fyear, month, day);
    r.saleprice = BytesToNumber(rec.subspan(0, 4), 2, false, 0);
    r.refundprice = BytesToNumber(rec.subspan(4, 4), 2, false, 0);
    r.taxprice = BytesToNumber(rec.subspan(8, 4), 2, false, 0);
    r.bill = static_cast<long long>(BytesToNumber(rec.subspan(12, 4), 0, false, 0));
    r.refundnum = static_cast<long long>(BytesToNumber(rec.subspan(16, 2), 0, false, 0));
    return r;
}

std::array<double, kFlashCashGroups> DecodeFlashCash(ByteView page) {
    std::array<double, kFlashCashGroups> totals{};
    for (std::size_t k = 0; k < kFlashCashGroups; ++k) {
        for (std::size_t j = 0; j < kFlashCashEntries; ++j) {
            ByteView entry = page.subspan(k * kFlashCashGroupSize + j * 8, 8);
            if (IsBlankBytes(entry.subspan(0, 4))) break;
            totals[k] = BytesToNumber(entry.subspan(4, 4), 2, false, 0);
        }
    }
    return totals;
}

} // namespace ecr::records
