#include "Bundle.h"

#include "Fields.h"
#include "db/Database.h"

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

namespace {

const char* const kItemColumns =
    "plu0number,plu0quantity,plu1number,plu1quantity,plu2number,plu2quantity,plu3number,plu3quantity,"
    "plu4number,plu4quantity,plu5number,plu5quantity,plu6number,plu6quantity,plu7number,plu7quantity,"
    "plu8number,plu8quantity,plu9number,plu9quantity";

} // namespace

void GetBundle(PageContext& ctx, ByteView page, int pageIndex, int i) {
    auto r = DecodeBundle(RecordAt(page, i, kBundleRecordSize), pageIndex, i);
    if (!r) return;
    db::Params p{r->bundlenumber, r->bundlename, r->price, r->address, r->sid};
    for (const auto& item : r->items) {
        p.emplace_back(item.number);
        p.emplace_back(item.quantity);
    }
    static const std::string sql = std::string("INSERT INTO bundle(bundlenumber,bundlename,price,address,sid,") +
                                   kItemColumns + ") VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    ctx.db.execute(sql, p);
}

namespace {

void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    for (int i = 0; i < kBundleRecords; ++i)
        GetBundle(ctx, page, pageIndex, i);
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const long long first = static_cast<long long>(pageIndex) * 100;
    static const std::string sql = std::string("SELECT bundlenumber,bundlename,price,address,sid,") + kItemColumns +
                                   " FROM bundle WHERE sid>=? AND sid<=? ORDER BY sid";
    auto rows = ctx.db.query(sql, {first, first + kBundleRecords - 1});
    for (const auto& row : rows.rows) {
        BundleRecord r;
        r.bundlenumber = row[0].toText();
        r.bundlename = row[1].toText();
        r.price = row[2].toDouble();
        r.address = static_cast<int>(row[3].toInt());
        r.sid = static_cast<int>(row[4].toInt());
        for (std::size_t n = 0; n < kBundleItems; ++n) {
            r.items[n].number = row[5 + 2 * n].toText();
            r.items[n].quantity = row[6 + 2 * n].toDouble();
        }
        EncodeBundle(r, RecordAt(page, static_cast<int>(row[4].toInt() - first), kBundleRecordSize));
    }
}

} // namespace

void RegisterBundleKind(PageRegistry& registry) {
    registry.add(kind::Bundle, {"GetData_GetBundle", storePage, buildPage, "DELETE FROM bundle"});
}

} // namespace ecr::records
