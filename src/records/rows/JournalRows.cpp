// Journal pages over plurecord, and the allocation pages over plurecordfat.
#include "Checks.h"
#include "PageRegistry.h"
#include "Tables.h"
#include "app/Config.h"
#include "records/Fields.h"
#include "records/Journal.h"

#include <algorithm>
#include <map>

namespace ecr::rows {

using namespace ecr::records;

namespace {

// Names, prices and tax rates looked up for the lines of one page; a page
// repeats the same departments and articles many times.
struct LookUps {
    struct Item {
        std::string name;
        double value = 0;
        bool found = false;
    };
    std::map<int, Item> departs;
    std::map<std::string, Item> plus, bundles;

    Item& find(db::Database& db, std::map<std::string, Item>& cache, const char* sql, const std::string& key) {
        auto [it, fresh] = cache.try_emplace(key);
        if (fresh) fill(db, sql, key, it->second);
        return it->second;
    }
    Item& depart(db::Database& db, int id) {
        auto [it, fresh] = departs.try_emplace(id);
        if (fresh) fill(db, "SELECT name,tax FROM depart WHERE id=? LIMIT 1", id, it->second);
        return it->second;
    }
    static void fill(db::Database& db, const char* sql, const db::Value& key, Item& item) {
        auto& st = db.prepared(sql);
        st.bindAll({key});
        if (st.step()) {
            item.found = true;
            item.name = st.columnText(0);
            item.value = st.columnDouble(1);
        }
        st.reset();
    }
};

void storeRecord(PageContext& ctx, ByteView page, int pageIndex, int i, int p, LookUps& look) {
    const ByteView rec = RecordAt(page, i, kJournalRecordSize);
    auto r = DecodeJournal(rec, pageIndex, i, p);
    if (!r) return;
    if (r->time.empty()) {
        // A line that cannot be dated cannot be reported on.
        ctx.skip(pageIndex, i, "date " + PackedToDateText(ReadWord(rec.subspan(20, 4))) + " is not a real date");
        return;
    }
    std::string pluname, departname;
    double unitprice = 0, taxvalue = 0;
    int depart = r->depart;
    if (depart == kBundleDepart) {
        depart = 0;
        const auto& b = look.find(ctx.db, look.bundles,
                                  "SELECT bundlename,price FROM bundle WHERE bundlenumber=? LIMIT 1", r->pluid);
        pluname = b.name;
        unitprice = b.value;
    } else {
        const auto& d = look.depart(ctx.db, depart);
        departname = d.name;
        taxvalue = d.found && d.value >= 0 ? d.value : ctx.state.taxDefault;
        const auto& a = look.find(ctx.db, look.plus, "SELECT name,price FROM plu WHERE id=? LIMIT 1", r->pluid);
        pluname = a.name;
        unitprice = a.value;
    }
    ctx.db.execute("DELETE FROM plurecord WHERE sid=?", {r->sid});
    ctx.db.execute("INSERT INTO plurecord(billnumber,pluid,pluname,unitprice,price,quantity,time,operation,depart,"
                   "departname,taxvalue,cashier,opentable,sid) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   {r->billnumber, r->pluid, pluname, unitprice, r->price, r->quantity, r->time, r->operation, depart,
                    departname, taxvalue, r->cashier, r->opentable, r->sid});
}

// An all-0xFF page is where the journal ends.
void storePage(PageContext& ctx, ByteView page, int pageIndex) {
    if (IsBlankBytes(page.subspan(0, kPageSize))) {
        ctx.endOfData = true;
        return;
    }
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    LookUps look;
    for (int i = 0; i < kJournalRecords; ++i)
        storeRecord(ctx, page, pageIndex, i, p, look);
}

// The page index comes from the area being written (4352 or 4256), so each
// area's pages are built from their own rows.
void buildPage(PageContext& ctx, ByteSpan page, int pageIndex) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    const long long first = static_cast<long long>(pageIndex) * 1000;
    auto rows = ctx.db.query(JournalColumns().select() + " WHERE sid>=? AND sid<=? ORDER BY sid",
                             {first, first + kJournalRecords - 1});
    for (const auto& row : rows.rows) {
        const JournalRecord r = JournalFromRow(row);
        EncodeJournal(r, RecordAt(page, static_cast<int>(r.sid - first), kJournalRecordSize), p);
    }
}

void check(PageContext& ctx, int first, int last, int pageCount, std::vector<link::RowProblem>& out) {
    const int p = PriceDecimals(GetDecimalPlaces(ctx.db));
    RowCheck c(out, kind::Journal, p);
    for (const auto& row : ctx.db.query(JournalColumns().select() + " ORDER BY sid").rows) {
        const JournalRecord r = JournalFromRow(row);
        c.row(row[9].toText());
        if (!c.slot("sid", row[9].toInt(), 1000, kJournalRecords, pageCount) || !InRange(r.sid, 1000, first, last))
            continue;
        c.number("billnumber", JournalLimits::billnumber, row[0].toDouble())
            .text("pluid", JournalLimits::pluid, r.pluid)
            .number("price", JournalLimits::price, r.price)
            .number("quantity", JournalLimits::quantity, r.quantity)
            .number("operation", JournalLimits::byte, row[5].toDouble())
            .number("depart", JournalLimits::byte, row[6].toDouble())
            .number("cashier", JournalLimits::byte, row[7].toDouble())
            .number("opentable", JournalLimits::byte, row[8].toDouble());
    }
}

// Stores an allocation page into plurecordfat (fat1 / fat2).
void storeAllocation(PageContext& ctx, ByteView page, int pageIndex) {
    const std::string list = BytesToList(page.subspan(0, kPageSize));
    const char* column = pageIndex == 0 ? "fat1" : "fat2";
    ctx.db.execute(std::string("UPDATE plurecordfat SET ") + column + "=?", {list});
    if (ctx.db.changes() == 0) // the one row is seeded; put it back when it went missing
        ctx.db.execute(std::string("INSERT INTO plurecordfat(") + column + ") VALUES(?)", {list});
}

void buildAllocation(PageContext& ctx, ByteSpan page, int pageIndex) {
    const db::Value list = ctx.db.scalar(pageIndex == 0 ? "SELECT fat1 FROM plurecordfat LIMIT 1"
                                                        : "SELECT fat2 FROM plurecordfat LIMIT 1");
    if (list.isNull()) return;
    const Bytes bytes = ListToBytes(list.toText(), kPageSize);
    std::copy(bytes.begin(), bytes.end(), page.begin());
}

} // namespace

JournalPageTable LoadJournalPageTable(db::Database& db) {
    JournalPageTable table;
    auto rows = db.query("SELECT fat1,fat2 FROM plurecordfat LIMIT 1");
    if (rows.empty()) return table;
    for (int i = 0; i < kJournalAllocationPages; ++i) {
        const db::Value& v = rows.rows[0][static_cast<std::size_t>(i)];
        if (v.isNull()) continue;
        DecodeJournalAllocation(ListToBytes(v.toText(), kPageSize), i, table);
    }
    return table;
}

void AddJournalKinds(PageRegistry& registry) {
    registry.add(kind::Journal, {"GetData_GetPluRecordStruct", storePage, buildPage, {}, check});
    registry.add(kind::Journal2, {"GetData_GetPluRecordStruct", storePage, buildPage, {}, check});
    registry.add(kind::JournalFat, {"GetData_GetDataPages", storeAllocation, buildAllocation});
}

} // namespace ecr::rows
