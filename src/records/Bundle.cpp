#include "Bundle.h"

#include "Fields.h"

namespace ecr::records {

std::optional<BundleRecord> DecodeBundle(ByteView rec, int pageIndex, int recordIndex) {
    BundleRecord r;
    r.bundlenumber = CleanText(ReadCode(rec.subspan(0, 8)));
    if (r.bundlenumber.empty()) return std::nullopt;
    r.sid = pageIndex * 100 + recordIndex;
    for (std::size_t n = 0; n < kBundleItems; ++n) {
        r.items[n].number = CleanText(ReadCode(rec.subspan(8 + 12 * n, 8)));
        r.items[n].quantity = BytesToNumber(rec.subspan(16 + 12 * n, 4), 3, false, 0);
    }
    r.price = BytesToNumber(rec.subspan(128, 4), 2, false, 0);
    r.address = 0;
    r.bundlename = CleanText(BytesToText(rec.subspan(134, 32)));
    return r;
}

bool EncodeBundle(const BundleRecord& r, ByteSpan rec) {
    if (!WriteCode(r.bundlenumber, rec.subspan(0, 8))) return false;
    for (std::size_t n = 0; n < kBundleItems; ++n) {
        WriteCode(r.items[n].number, rec.subspan(8 + 12 * n, 8));
        PutNumber(r.items[n].quantity, rec.subspan(16 + 12 * n, 4), 3, false);
    }
    PutNumber(r.price, rec.subspan(128, 4), 2, false);
    PutNumber(r.address, rec.subspan(132, 2), 0, false);
    TextToBytes(r.bundlename, rec.subspan(134, 32));
    return true;
}

} // namespace ecr::records
