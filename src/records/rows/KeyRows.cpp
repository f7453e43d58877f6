// The keyboard page over the hotkey table.
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "records/Fields.h"
#include "records/Hotkey.h"

namespace ecr::rows {

using namespace ecr::records;

namespace {

void storePage(PageContext& ctx, ByteView page, int) {
    ctx.db.execute("DELETE FROM hotkey");
    const std::string insert = KeyColumns().insert();
    for (int i = 0; i < kKeyRecords; ++i) ctx.db.execute(insert, KeyRow(DecodeKey(RecordAt(page, i, kKeyRecordSize), i)));
}

void buildPage(PageContext& ctx, ByteSpan page, int) {
    auto rows = ctx.db.query(KeyColumns().select() + " ORDER BY keyaddress");
    for (const auto& row : rows.rows) {
        const long long address = row[0].toInt();
        if (address < 0 || address >= kKeyRecords) continue; // the check lists it
        EncodeKey(KeyFromRow(row), RecordAt(page, static_cast<int>(address), kKeyRecordSize));
    }
}

// A key without a function stays as the page has it, so only keys that are
// written are checked.
void check(PageContext& ctx, int, int, int, std::vector<link::RowProblem>& out) {
    RowCheck c(out, kind::Keyboard, 0);
    for (const auto& row : ctx.db.query(KeyColumns().select() + " ORDER BY keyaddress").rows) {
        const KeyRecord r = KeyFromRow(row);
        if (r.function.empty()) continue;
        c.row(row[0].toText())
            .number("keyaddress", KeyLimits::keyaddress, row[0].toDouble())
            .number("content", KeyLimits::content, row[1].toDouble())
            .number("content2", KeyLimits::content, row[2].toDouble())
            .text("function", KeyLimits::function, r.function);
    }
}

} // namespace

void AddKeyboardKind(PageRegistry& registry) {
    registry.add(kind::Keyboard, {"GetData_GetKeyboardStruct", storePage, buildPage, {}, check});
}

} // namespace ecr::rows
