// Bundle pages over the bundle table.
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "records/Bundle.h"
#include "records/Fields.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    const std::string insert = BundleColumns().insert();
    for (int i = 0; i < kBundleRecords; ++i)
        if (auto r = DecodeBundle(RecordAt(page, i, kBundleRecordSize), pageIndex, i))
            ctx.db.execute(insert, BundleRow(*r));
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const long long first = static_cast<long long>(pageIndex) * 100;
    auto rows = ctx.db.query(BundleColumns().select() + " WHERE sid>=? AND sid<=? ORDER BY sid",
                             {first, first + kBundleRecords - 1});
    for (const auto& row : rows.rows) {
        const BundleRecord r = BundleFromRow(row);
        EncodeBundle(r, RecordAt(page, static_cast<int>(r.sid - first), kBundleRecordSize));
    }
}

void check(PageContext& ctx, int first, int last, int pageCount, std::vector<link::RowProblem>& out) {
    RowCheck c(out, kind::Bundle, 0);
    for (const auto& row : ctx.db.query(BundleColumns().select() + " ORDER BY sid").rows) {
        const BundleRecord r = BundleFromRow(row);
        c.row(r.bundlenumber);
        if (!c.slot("sid", row[4].toInt(), 100, kBundleRecords, pageCount) || !InRange(r.sid, 100, first, last))
            continue;
        c.text("bundlenumber", BundleLimits::bundlenumber, r.bundlenumber)
            .text("bundlename", BundleLimits::bundlename, r.bundlename)
            .number("price", BundleLimits::price, r.price);
        for (std::size_t n = 0; n < kBundleItems; ++n) {
            c.text(BundleColumns().names[5 + 2 * n], BundleLimits::pluNumber, r.items[n].number)
                .number(BundleColumns().names[6 + 2 * n], BundleLimits::quantity, r.items[n].quantity);
        }
    }
}

} // namespace

void AddBundleKind(PageRegistry& registry) {
    registry.add(kind::Bundle, {"GetData_GetBundle", storePage, buildPage, "DELETE FROM bundle", check});
}

} // namespace ecr::rows
