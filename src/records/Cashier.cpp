#include "Cashier.h"

#include "db/Database.h"

namespace ecr::records {

std::optional<CashierRecord> DecodeCashier(ByteView rec, int index) {
    if (IsBlankBytes(rec.subspan(0, 20))) return std::nullopt;
    CashierRecord r;
    r.id = index;
    r.name = CleanText(BytesToText(rec.subspan(0, 20)));
    r.passwd = ReverseText(CleanText(BytesToText(rec.subspan(20, 6))));
    const auto word = static_cast<std::uint32_t>(static_cast<std::int64_t>(BytesToNumber(rec.subspan(28, 4), 0, false, 0)));
    for (int i = 0; i < kCashierRightCount; ++i)
        r.rights[static_cast<std::size_t>(i)] = (word >> kCashierRights[i].bit) & 1u ? 0 : 1;
    return r;
}

void EncodeCashier(const CashierRecord& r, ByteSpan rec) {
    TextToBytes(r.name, rec.subspan(0, 20));
    TextToBytes(ReverseText(r.passwd), rec.subspan(20, 6));
    std::uint32_t word = 0;
    for (int i = 0; i < kCashierRightCount; ++i)
        if (r.rights[static_cast<std::size_t>(i)] == 0) word |= 1u << kCashierRights[i].bit;
    NumberToBytes(static_cast<double>(word), rec.subspan(28, 4), 0, false);
    NumberToBytes(r.id, rec.subspan(32, 2), 0, false);
}

void GetCashierStruct(PageContext& ctx, ByteView page, int i) {
    auto r = DecodeCashier(page.subspan(static_cast<std::size_t>(i) * kCashierRecordSize, kCashierRecordSize), i);
    if (!r) return;
    db::Params p{r->id, r->name, r->passwd};
    for (int v : r->rights) p.emplace_back(v);
    ctx.db.execute("INSERT INTO cashier(id,name,passwd,a0,a1,a2,a3,a7,a8,a9,a10,a11,a12,a13,a14,a15,a16) "
                   "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   p);
}

namespace {

void storePage(PageContext& ctx, ByteView page, int) {
    ctx.db.execute("DELETE FROM cashier");
    for (int i = 0; i < kCashierRecords; ++i) GetCashierStruct(ctx, page, i);
}

void buildPage(PageContext& ctx, ByteSpan page, int) {
    auto rows = ctx.db.query("SELECT id,name,passwd,a0,a1,a2,a3,a7,a8,a9,a10,a11,a12,a13,a14,a15,a16 "
                             "FROM cashier ORDER BY id");
    for (const auto& row : rows.rows) {
        CashierRecord r;
        r.id = static_cast<int>(row[0].toInt());
        if (r.id < 0 || r.id >= kCashierRecords) continue; // no slot for it in the page
        r.name = row[1].toText();
        r.passwd = row[2].toText();
        for (int i = 0; i < kCashierRightCount; ++i)
            r.rights[static_cast<std::size_t>(i)] = row[static_cast<std::size_t>(3 + i)].toInt() != 0 ? 1 : 0;
        EncodeCashier(r, page.subspan(static_cast<std::size_t>(r.id) * kCashierRecordSize, kCashierRecordSize));
    }
}

} // namespace

void RegisterCashierKind(PageRegistry& registry) {
    registry.add(kind::Cashier, {"GetData_GetCashierStruct", storePage, buildPage});
}

} // namespace ecr::records
