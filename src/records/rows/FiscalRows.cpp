// Fiscal day pages and the flash-cash page: read from the register only.
#include "PageRegistry.h"
#include "db/Database.h"
#include "records/Fields.h"
#include "records/Fiscal.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

void storeFiscal(PageContext& ctx, ByteView page, int pageIndex) {
    for (int i = 0; i < kFiscalRecords; ++i) {
        const long long n = FiscalRunningNumber(pageIndex, i);
        const ByteView rec = RecordAt(page, i, kFiscalRecordSize);
        auto r = DecodeFiscal(rec, n);
        if (!r) {
            // A blank slot has no year; a record with a year in a slot that
            // names no day cannot be dated.
            const auto year = static_cast<int>(BytesToNumber(rec.subspan(18, 2), 0, false, 0));
            if (year >= 1 && year <= kFiscalLastYear)
                ctx.skip(pageIndex, i, "day slot " + std::to_string(n % kFiscalSlotsPerYear) + " of " +
                                           std::to_string(year) + " names no day");
            continue;
        }
        ctx.db.execute("INSERT INTO fiscal(fyear,fday,saleprice,refundprice,taxprice,bill,refundnum,mdate) "
                       "VALUES(?,?,?,?,?,?,?,?)",
                       {r->fyear, r->fday, r->saleprice, r->refundprice, r->taxprice, r->bill, r->refundnum, r->mdate});
    }
}

void storeFlashCash(PageContext& ctx, ByteView page, int) {
    const auto totals = DecodeFlashCash(page);
    ctx.db.execute("DELETE FROM flashcash");
    for (int k = 0; k < kFlashCashGroups; ++k)
        ctx.db.execute("INSERT INTO flashcash(type,total) VALUES(?,?)", {k, totals[static_cast<std::size_t>(k)]});
}

} // namespace

void AddFiscalKinds(PageRegistry& registry) {
    registry.add(kind::Fiscal, {"GetData_GetFiscal", storeFiscal, {}, "DELETE FROM fiscal"});
    registry.add(kind::FlashCash, {"GetData_GetFlashCash", storeFlashCash, {}});
}

} // namespace ecr::rows
