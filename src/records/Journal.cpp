#include "Journal.h"

#include "Fields.h"

#include <algorithm>

namespace ecr::records {

std::optional<JournalRecord> DecodeJournal(ByteView rec, int pageIndex, int recordIndex, int p) {
    if (IsBlankBytes(rec.subspan(0, 4))) return std::nullopt;
    JournalRecord r;
    r.sid = pageIndex * 1000 + recordIndex;
    r.billnumber = static_cast<long long>(BytesToNumber(rec.subspan(0, 4), 0, false, 0));
    r.pluid = ReadCode(rec.subspan(4, 8));
    r.price = BytesToNumber(rec.subspan(12, 4), p, false, 0);
    r.quantity = BytesToNumber(rec.subspan(16, 4), 3, false, 0);
    r.time = PackedToIsoDateTime(ReadWord(rec.subspan(20, 4))).value_or(std::string());
    r.operation = rec[24];
    r.depart = rec[25];
    r.cashier = rec[26];
    r.opentable = rec[27];
    return r;
}

bool EncodeJournal(const JournalRecord& r, ByteSpan rec, int p) {
    if (!WriteCode(r.pluid, rec.subspan(4, 8))) return false;
    PutNumber(static_cast<double>(r.billnumber), rec.subspan(0, 4), 0, false);
    PutNumber(r.price, rec.subspan(12, 4), p, false);
    PutNumber(r.quantity, rec.subspan(16, 4), 3, false);
    PutNumber(StoredDateToPacked(r.time), rec.subspan(20, 4), 0, false);
    rec[24] = static_cast<std::uint8_t>(r.operation);
    rec[25] = static_cast<std::uint8_t>(r.depart);
    rec[26] = static_cast<std::uint8_t>(r.cashier);
    rec[27] = static_cast<std::uint8_t>(r.opentable);
    return true;
}

void DecodeJournalAllocation(ByteView page, int pageIndex, JournalPageTable& table) {
    const std::size_t base = pageIndex == 0 ? 0 : 1024;
    for (std::size_t k = 0; k < 1024; ++k) {
        ByteView entry = page.subspan(k * 4, 4);
        table.entries[base + k] =
            IsBlankBytes(entry) ? -1 : static_cast<std::int32_t>(BytesToNumber(entry, 0, false, -1));
    }
}

} // namespace ecr::records
