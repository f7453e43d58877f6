// The cashier page over the cashier table.
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "records/Cashier.h"
#include "records/Fields.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

void storePage(PageContext& ctx, ByteView page, int) {
    ctx.db.execute("DELETE FROM cashier");
    const std::string insert = CashierColumns().insert();
    for (int i = 0; i < kCashierRecords; ++i)
        if (auto r = DecodeCashier(RecordAt(page, i, kCashierRecordSize), i)) ctx.db.execute(insert, CashierRow(*r));
}

void buildPage(PageContext& ctx, ByteSpan page, int) {
    auto rows = ctx.db.query(CashierColumns().select() + " ORDER BY id");
    for (const auto& row : rows.rows) {
        const long long id = row[0].toInt();
        if (id < 0 || id >= kCashierRecords) continue; // no slot for it in the page; the check lists it
        EncodeCashier(CashierFromRow(row), RecordAt(page, static_cast<int>(id), kCashierRecordSize));
    }
}

void check(PageContext& ctx, int, int, int, std::vector<link::RowProblem>& out) {
    RowCheck c(out, kind::Cashier, 0);
    for (const auto& row : ctx.db.query(CashierColumns().select() + " ORDER BY id").rows) {
        const CashierRecord r = CashierFromRow(row);
        c.row(row[0].toText())
            .number("id", CashierLimits::id, row[0].toDouble())
            .text("name", CashierLimits::name, r.name)
            .text("passwd", CashierLimits::passwd, r.passwd);
    }
}

} // namespace

void AddCashierKind(PageRegistry& registry) {
    registry.add(kind::Cashier, {"GetData_GetCashierStruct", storePage, buildPage, {}, check});
}

} // namespace ecr::rows
