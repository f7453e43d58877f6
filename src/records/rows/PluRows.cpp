// PLU pages over the plu table.
#include "Checks.h"
#include "PageRegistry.h"
#include "RowsLog.h"
#include "Slots.h"
#include "Tables.h"
#include "app/Config.h"
#include "records/Fields.h"
#include "records/Plu.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

// A record from slot s replaces the row of its code; a row of another code
// that sits at s is moved to a free slot, so that no two rows share one and
// nothing the user entered is lost.
void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    std::vector<PluRecord> received;
    std::set<long long> taken;
    for (int i = 0; i < kPluRecords; ++i) {
        if (auto r = DecodePlu(RecordAt(page, i, kPluRecordSize), pageIndex, i, p)) {
            taken.insert(r->sid);
            received.push_back(std::move(*r));
        }
    }
    const int keyboard = GetKeyboardType(ctx.db);
    for (const PluRecord& r : received) {
        auto others = ctx.db.query("SELECT id FROM plu WHERE sid=? AND id<>?", {r.sid, r.id});
        bool placed = true;
        for (const auto& other : others.rows) {
            const auto to = NextSlot(ctx.db, PluSlots(), keyboard, taken);
            if (!to) {
                placed = false;
                break;
            }
            ctx.db.execute("UPDATE plu SET sid=? WHERE id=?", {*to, other[0]});
            qCInfo(lcRecords) << "PLU" << other[0].toText().c_str() << "moved from slot" << r.sid << "to" << *to;
            ctx.moved.push_back(other[0].toText());
        }
        if (!placed) {
            ctx.skip(pageIndex, r.sid % 100, "PLU " + r.id + ": no free place for the PLU that holds its slot");
            continue;
        }
        WritePlu(ctx.db, r);
    }
}

void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    const long long first = static_cast<long long>(pageIndex) * 100;
    auto rows = ctx.db.query(PluColumns().select() + " WHERE sid>=? AND sid<=? ORDER BY sid",
                             {first, first + kPluRecords - 1});
    for (const auto& row : rows.rows) {
        const PluRecord r = PluFromRow(row);
        EncodePlu(r, RecordAt(page, static_cast<int>(r.sid - first), kPluRecordSize), p);
    }
}

void check(PageContext& ctx, int first, int last, int pageCount, std::vector<link::RowProblem>& out) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    RowCheck c(out, kind::Plu, p);
    auto rows = ctx.db.query(PluColumns().select() + " ORDER BY sid, id");
    for (const auto& row : rows.rows) {
        const PluRecord r = PluFromRow(row);
        c.row(r.id);
        if (!c.slot("sid", row[9].toInt(), 100, kPluRecords, pageCount) || !InRange(r.sid, 100, first, last))
            continue;
        c.text("id", PluLimits::id, r.id)
            .text("name", PluLimits::name, r.name)
            .number("depart", PluLimits::depart, row[2].toDouble())
            .number("price", PluLimits::price, r.price)
            .number("memberprice", PluLimits::price, r.memberprice)
            .number("AveragePrice", PluLimits::price, r.averagePrice)
            .number("safestock", PluLimits::stock, r.safestock)
            .number("stockvalue", PluLimits::stock, r.stockvalue);
    }
}

} // namespace

void AddPluKind(PageRegistry& registry) {
    registry.add(kind::Plu, {"GetData_GetPluStruct", storePage, buildPage, {}, check});
}

} // namespace ecr::rows
