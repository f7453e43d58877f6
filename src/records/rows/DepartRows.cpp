// The department page over the depart table.
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "records/Department.h"
#include "records/Fields.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

void storePage(PageContext& ctx, ByteView page, int) {
    ctx.db.execute("DELETE FROM depart");
    const std::string insert = DepartColumns().insert();
    for (int i = 0; i < kDepartRecords; ++i)
        if (auto r = DecodeDepart(RecordAt(page, i, kDepartRecordSize), i)) ctx.db.execute(insert, DepartRow(*r));
}

void buildPage(PageContext& ctx, ByteSpan page, int) {
    auto rows = ctx.db.query(DepartColumns().select() + " ORDER BY id");
    for (const auto& row : rows.rows) {
        const long long id = row[0].toInt();
        if (id < 0 || id >= kDepartRecords) continue; // the check lists it
        EncodeDepart(DepartFromRow(row), RecordAt(page, static_cast<int>(id), kDepartRecordSize));
    }
}

void check(PageContext& ctx, int, int, int, std::vector<link::RowProblem>& out) {
    RowCheck c(out, kind::Depart, 0);
    for (const auto& row : ctx.db.query(DepartColumns().select() + " ORDER BY id").rows) {
        const DepartRecord r = DepartFromRow(row);
        c.row(row[0].toText())
            .number("id", DepartLimits::id, row[0].toDouble())
            .text("name", DepartLimits::name, r.name)
            .number("price", DepartLimits::price, r.price)
            .number("tax", DepartLimits::tax, r.tax)
            .number("addr", DepartLimits::byte, row[5].toDouble())
            .number("KitchenEn", DepartLimits::byte, row[6].toDouble());
    }
}

} // namespace

void AddDepartKind(PageRegistry& registry) {
    registry.add(kind::Depart, {"GetData_GetDepartmentStruct", storePage, buildPage, {}, check});
}

} // namespace ecr::rows
