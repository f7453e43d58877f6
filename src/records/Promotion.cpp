#include "Promotion.h"

#include "Fields.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

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

namespace {

void storeRecord(PageContext& ctx, ByteView page, int pageIndex, int i, int p) {
    auto r = DecodePromotion(RecordAt(page, i, kPromotionRecordSize), pageIndex, i, p);
    if (!r) return;
    if (r->sdate.empty() || r->edate.empty()) {
        // A promotion without real start and end days cannot be stored.
        WriteErrorLog("GetData_GetPromotion", 13,
                      "promotion " + std::to_string(r->address) + ": start or end is not a valid date");
        return;
    }
    ctx.db.execute("INSERT INTO promotion(address,promotionname,pluid,sdate,edate,quantity,discountprice,"
                   "PresentPluId,PresentQuantity) VALUES(?,?,?,?,?,?,?,?,?)",
                   {r->address, r->promotionname, r->pluid, r->sdate, r->edate, r->quantity, r->discountprice,
                    r->presentPluId, r->presentQuantity});
}

void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    for (int i = 0; i < kPromotionRecords; ++i)
        storeRecord(ctx, page, pageIndex, i, p);
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    const long long first = static_cast<long long>(pageIndex) * 100;
    auto rows = ctx.db.query("SELECT address,promotionname,pluid,sdate,edate,quantity,discountprice,PresentPluId,"
                             "PresentQuantity FROM promotion WHERE address>=? AND address<=? ORDER BY address",
                             {first, first + kPromotionRecords - 1});
    for (const auto& row : rows.rows) {
        PromotionRecord r;
        r.address = static_cast<int>(row[0].toInt());
        r.promotionname = row[1].toText();
        r.pluid = row[2].toText();
        r.sdate = row[3].toText();
        r.edate = row[4].toText();
        r.quantity = row[5].toInt();
        r.discountprice = row[6].toDouble();
        r.presentPluId = row[7].toText();
        r.presentQuantity = row[8].toInt();
        EncodePromotion(r, RecordAt(page, static_cast<int>(row[0].toInt() - first), kPromotionRecordSize), p);
    }
}

} // namespace

void GetPromotion(PageContext& ctx, ByteView page, int pageIndex, int recordIndex) {
    storeRecord(ctx, page, pageIndex, recordIndex, PriceDecimals(GetDecimalPlaces(ctx.db)));
}

void RegisterPromotionKind(PageRegistry& registry) {
    registry.add(kind::Promotion, {"GetData_GetPromotion", storePage, buildPage, "DELETE FROM promotion"});
}

} // namespace ecr::records
