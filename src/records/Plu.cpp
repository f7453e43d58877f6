#include "Plu.h"

#include "Fields.h"
#include "app/Config.h"
#include "db/Database.h"

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

namespace {

void storeRecord(PageContext& ctx, ByteView page, int pageIndex, int i, int p) {
    auto r = DecodePlu(RecordAt(page, i, kPluRecordSize), pageIndex, i, p);
    if (!r) return;
    ctx.db.execute("DELETE FROM plu WHERE id=?", {r->id});
    ctx.db.execute("INSERT INTO plu(id,depart,price,safestock,stockvalue,name,a0,memberprice,AveragePrice,sid) "
                   "VALUES(?,?,?,?,?,?,?,?,?,?)",
                   {r->id, r->depart, r->price, r->safestock, r->stockvalue, r->name, r->a0, r->memberprice,
                    r->averagePrice, r->sid});
}

void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    for (int i = 0; i < kPluRecords; ++i)
        storeRecord(ctx, page, pageIndex, i, p);
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    const long long first = static_cast<long long>(pageIndex) * 100;
    auto rows = ctx.db.query("SELECT id,name,depart,price,safestock,stockvalue,a0,memberprice,AveragePrice,sid "
                             "FROM plu WHERE sid>=? AND sid<=? ORDER BY sid",
                             {first, first + kPluRecords - 1});
    for (const auto& row : rows.rows) {
        PluRecord r;
        r.id = row[0].toText();
        r.name = row[1].toText();
        r.depart = static_cast<int>(row[2].toInt());
        r.price = row[3].toDouble();
        r.safestock = row[4].toDouble();
        r.stockvalue = row[5].toDouble();
        r.a0 = row[6].toInt() != 0 ? 1 : 0;
        r.memberprice = row[7].toDouble();
        r.averagePrice = row[8].toDouble();
        const int index = static_cast<int>(row[9].toInt() - first);
        EncodePlu(r, RecordAt(page, index, kPluRecordSize), p);
    }
}

} // namespace

void GetPluStruct(PageContext& ctx, ByteView page, int pageIndex, int recordIndex) {
    storeRecord(ctx, page, pageIndex, recordIndex, PriceDecimals(GetDecimalPlaces(ctx.db)));
}

void RegisterPluKind(PageRegistry& registry) {
    registry.add(kind::Plu, {"GetData_GetPluStruct", storePage, buildPage});
}

} // namespace ecr::records
