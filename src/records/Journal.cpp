#include "Journal.h"

#include "Fields.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "db/Database.h"

#include <algorithm>
#include <map>

namespace ecr::records {

std::optional<JournalRecord> DecodeJournal(ByteView rec, int pageIndex, int recordIndex, int p) {
    if (IsBlankBytes(rec.subspan(0, 4))) return std::nullopt;
    JournalRecord r;
    r.sid = pageIndex * 1000 + recordIndex;
    r.billnumber = static_cast<long long>(BytesToNumber(rec.subspan(0, 4), 0, false, 0));
    r.pluid = ReadCode(rec.subspan(4, 8));
    r.price = BytesToNumber(rec.subspan(12, 4), p, false, 0);
    r.quantity = BytesToNumber(rec.subspan(16, 4), 3, false, 0);
    r.time = PackedToIsoDateTime(ReadWord(rec.subspan(20, 4))).value_or(std::string());
    r.operation = rec[24];
    r.depart = rec[25];
    r.cashier = rec[26];
    r.opentable = rec[27];
    return r;
}

bool EncodeJournal(const JournalRecord& r, ByteSpan rec, int p) {
    if (!WriteCode(r.pluid, rec.subspan(4, 8))) return false;
    PutNumber(static_cast<double>(r.billnumber), rec.subspan(0, 4), 0, false);
    PutNumber(r.price, rec.subspan(12, 4), p, false);
    PutNumber(r.quantity, rec.subspan(16, 4), 3, false);
    PutNumber(StoredDateToPacked(r.time), rec.subspan(20, 4), 0, false);
    rec[24] = static_cast<std::uint8_t>(r.operation);
    rec[25] = static_cast<std::uint8_t>(r.depart);
    rec[26] = static_cast<std::uint8_t>(r.cashier);
    rec[27] = static_cast<std::uint8_t>(r.opentable);
    return true;
}

namespace {

constexpr const char* kJournalLocation = "GetData_GetPluRecordStruct";

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
    auto r = DecodeJournal(RecordAt(page, i, kJournalRecordSize), pageIndex, i, p);
    if (!r) return;
    if (r->time.empty()) {
        // The register's date does not name a day; the line cannot be dated,
        // so it is left out like any record that fails to convert.
        WriteErrorLog(kJournalLocation, 13,
                      "journal record " + std::to_string(r->sid) + ": date " +
                          PackedToDateText(ReadWord(RecordAt(page, i, kJournalRecordSize).subspan(20, 4))) +
                          " is not a valid date");
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
    auto rows = ctx.db.query("SELECT billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable,sid "
                             "FROM plurecord WHERE sid>=? AND sid<=? ORDER BY sid",
                             {first, first + kJournalRecords - 1});
    for (const auto& row : rows.rows) {
        JournalRecord r;
        r.billnumber = row[0].toInt();
        r.pluid = row[1].toText();
        r.price = row[2].toDouble();
        r.quantity = row[3].toDouble();
        r.time = row[4].toText();
        r.operation = static_cast<int>(row[5].toInt());
        r.depart = static_cast<int>(row[6].toInt());
        r.cashier = static_cast<int>(row[7].toInt());
        r.opentable = static_cast<int>(row[8].toInt());
        const int index = static_cast<int>(row[9].toInt() - first);
        EncodeJournal(r, RecordAt(page, index, kJournalRecordSize), p);
    }
}

void storeAllocation(PageContext& ctx, ByteView page, int pageIndex) {
    GetDataPages(ctx, page, pageIndex);
}

void buildAllocation(PageContext& ctx, ByteSpan page, int pageIndex) {
    const db::Value list = ctx.db.scalar(pageIndex == 0 ? "SELECT fat1 FROM plurecordfat LIMIT 1"
                                                        : "SELECT fat2 FROM plurecordfat LIMIT 1");
    if (list.isNull()) return;
    const Bytes bytes = ListToBytes(list.toText(), kPageSize);
    std::copy(bytes.begin(), bytes.end(), page.begin());
}

} // namespace

void GetPluRecordStruct(PageContext& ctx, ByteView page, int pageIndex, int recordIndex) {
    if (IsBlankBytes(page.subspan(0, kPageSize))) {
        ctx.endOfData = true;
        return;
    }
    LookUps look;
    storeRecord(ctx, page, pageIndex, recordIndex, PriceDecimals(GetDecimalPlaces(ctx.db)), look);
}

void DecodeJournalAllocation(ByteView page, int pageIndex, JournalPageTable& table) {
    const std::size_t base = pageIndex == 0 ? 0 : 1024;
    for (std::size_t k = 0; k < 1024; ++k) {
        ByteView entry = page.subspan(k * 4, 4);
        table.entries[base + k] =
            IsBlankBytes(entry) ? -1 : static_cast<std::int32_t>(BytesToNumber(entry, 0, false, -1));
    }
}

void GetDataPages(PageContext& ctx, ByteView page, int pageIndex) {
    const std::string list = BytesToList(page.subspan(0, kPageSize));
    const char* column = pageIndex == 0 ? "fat1" : "fat2";
    const std::string update = std::string("UPDATE plurecordfat SET ") + column + "=?";
    ctx.db.execute(update, {list});
    if (ctx.db.changes() == 0) // the one row is seeded; put it back when it went missing
        ctx.db.execute(std::string("INSERT INTO plurecordfat(") + column + ") VALUES(?)", {list});
    DecodeJournalAllocation(page, pageIndex, ctx.journal);
}

void LoadJournalPageTable(db::Database& db, JournalPageTable& table) {
    table.entries.fill(-1);
    auto rows = db.query("SELECT fat1,fat2 FROM plurecordfat LIMIT 1");
    if (rows.empty()) return;
    for (int i = 0; i < 2; ++i) {
        const db::Value& v = rows.rows[0][static_cast<std::size_t>(i)];
        if (v.isNull()) continue;
        DecodeJournalAllocation(ListToBytes(v.toText(), kPageSize), i, table);
    }
}

void RegisterJournalKinds(PageRegistry& registry) {
    registry.add(kind::Journal, {"GetData_GetPluRecordStruct", storePage, buildPage});
    registry.add(kind::Journal2, {"GetData_GetPluRecordStruct", storePage, buildPage});
    registry.add(kind::JournalFat, {"GetData_GetDataPages", storeAllocation, buildAllocation});
}

} // namespace ecr::records
