// Promotion pages over the promotion table.
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "app/Config.h"
#include "records/Fields.h"
#include "records/Promotion.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    const std::string insert = PromotionColumns().insert();
    for (int i = 0; i < kPromotionRecords; ++i) {
        const ByteView rec = RecordAt(page, i, kPromotionRecordSize);
        auto r = DecodePromotion(rec, pageIndex, i, p);
        if (!r) continue;
        if (r->sdate.empty() || r->edate.empty()) {
            // A promotion without real start and end days cannot be stored.
            const ByteView bad = r->sdate.empty() ? rec.subspan(8, 4) : rec.subspan(12, 4);
            ctx.skip(pageIndex, i,
                     std::string(r->sdate.empty() ? "start" : "end") + " date " + PackedToDateText(ReadWord(bad)) +
                         " is not a real date");
            continue;
        }
        ctx.db.execute(insert, PromotionRow(*r));
    }
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    const long long first = static_cast<long long>(pageIndex) * 100;
    auto rows = ctx.db.query(PromotionColumns().select() + " WHERE address>=? AND address<=? ORDER BY address",
                             {first, first + kPromotionRecords - 1});
    for (const auto& row : rows.rows) {
        const PromotionRecord r = PromotionFromRow(row);
        EncodePromotion(r, RecordAt(page, static_cast<int>(r.address - first), kPromotionRecordSize), p);
    }
}

void check(PageContext& ctx, int first, int last, int pageCount, std::vector<link::RowProblem>& out) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    RowCheck c(out, kind::Promotion, p);
    for (const auto& row : ctx.db.query(PromotionColumns().select() + " ORDER BY address").rows) {
        const PromotionRecord r = PromotionFromRow(row);
        c.row(row[0].toText());
        if (!c.slot("address", row[0].toInt(), 100, kPromotionRecords, pageCount) ||
            !InRange(r.address, 100, first, last))
            continue;
        c.text("pluid", PromotionLimits::pluid, r.pluid)
            .text("PresentPluId", PromotionLimits::presentPluId, r.presentPluId)
            .text("promotionname", PromotionLimits::promotionname, r.promotionname)
            .number("quantity", PromotionLimits::quantity, row[5].toDouble())
            .number("PresentQuantity", PromotionLimits::quantity, row[8].toDouble())
            .number("discountprice", PromotionLimits::discountprice, r.discountprice);
    }
}

} // namespace

void AddPromotionKind(PageRegistry& registry) {
    registry.add(kind::Promotion, {"GetData_GetPromotion", storePage, buildPage, "DELETE FROM promotion", check});
}

} // namespace ecr::rows
