#include "Department.h"

#include "db/Database.h"

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

void GetDepartmentStruct(PageContext& ctx, ByteView page, int i) {
    auto r = DecodeDepart(page.subspan(static_cast<std::size_t>(i) * kDepartRecordSize, kDepartRecordSize), i);
    if (!r) return;
    ctx.db.execute("INSERT INTO depart(id,name,price,discounten,tax,addr,KitchenEn) VALUES(?,?,?,?,?,?,?)",
                   {r->id, r->name, r->price, r->discounten, r->tax, r->addr, r->kitchenEn});
}

namespace {

void storePage(PageContext& ctx, ByteView page, int) {
    ctx.db.execute("DELETE FROM depart");
    for (int i = 0; i < kDepartRecords; ++i) GetDepartmentStruct(ctx, page, i);
}

void buildPage(PageContext& ctx, ByteSpan page, int) {
    auto rows = ctx.db.query("SELECT id, name, price, discounten, tax, addr, KitchenEn FROM depart ORDER BY id");
    for (const auto& row : rows.rows) {
        DepartRecord r;
        r.id = static_cast<int>(row[0].toInt());
        if (r.id < 0 || r.id >= kDepartRecords) continue;
        r.name = row[1].toText();
        r.price = row[2].toDouble();
        r.discounten = static_cast<int>(row[3].toInt());
        r.tax = row[4].toDouble();
        r.addr = static_cast<int>(row[5].toInt());
        r.kitchenEn = static_cast<int>(row[6].toInt());
        EncodeDepart(r, page.subspan(static_cast<std::size_t>(r.id) * kDepartRecordSize, kDepartRecordSize));
    }
}

} // namespace

void RegisterDepartKind(PageRegistry& registry) {
    registry.add(kind::Depart, {"GetData_GetDepartmentStruct", storePage, buildPage});
}

} // namespace ecr::records
