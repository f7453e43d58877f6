#include "Tables.h"

namespace ecr::rows {

using namespace ecr::records;

std::string Columns::list() const {
    std::string s;
    for (const char* n : names) {
        if (!s.empty()) s += ',';
        s += n;
    }
    return s;
}

std::string Columns::select() const { return "SELECT " + list() + " FROM " + table; }

std::string Columns::insert(bool replace) const {
    std::string marks;
    for (std::size_t i = 0; i < names.size(); ++i) marks += i ? ",?" : "?";
    return std::string(replace ? "INSERT OR REPLACE INTO " : "INSERT INTO ") + table + "(" + list() + ") VALUES(" +
           marks + ")";
}

namespace {
int toInt(const db::Value& v) { return static_cast<int>(v.toInt()); }
} // namespace

// ---- cashier ----

const Columns& CashierColumns() {
    static const Columns c = [] {
        Columns c{"cashier", {"id", "name", "passwd"}};
        for (const char* r : kCashierRightColumns) c.names.push_back(r);
        return c;
    }();
    return c;
}

Row CashierRow(const CashierRecord& r) {
    Row row{r.id, r.name, r.passwd};
    for (int v : r.rights) row.emplace_back(v != 0 ? 1 : 0);
    return row;
}

CashierRecord CashierFromRow(const Row& row) {
    CashierRecord r;
    r.id = toInt(row[0]);
    r.name = row[1].toText();
    r.passwd = row[2].toText();
    for (std::size_t i = 0; i < r.rights.size(); ++i) r.rights[i] = row[3 + i].toInt() != 0 ? 1 : 0;
    return r;
}

// ---- depart ----

const Columns& DepartColumns() {
    static const Columns c{"depart", {"id", "name", "price", "discounten", "tax", "addr", "KitchenEn"}};
    return c;
}

Row DepartRow(const DepartRecord& r) { return {r.id, r.name, r.price, r.discounten, r.tax, r.addr, r.kitchenEn}; }

DepartRecord DepartFromRow(const Row& row) {
    DepartRecord r;
    r.id = toInt(row[0]);
    r.name = row[1].toText();
    r.price = row[2].toDouble();
    r.discounten = toInt(row[3]);
    r.tax = row[4].toDouble();
    r.addr = toInt(row[5]);
    r.kitchenEn = toInt(row[6]);
    return r;
}

// ---- hotkey ----

const Columns& KeyColumns() {
    static const Columns c{"hotkey", {"keyaddress", "content", "content2", "function"}};
    return c;
}

Row KeyRow(const KeyRecord& r) { return {r.keyaddress, r.content, r.content2, r.function}; }

KeyRecord KeyFromRow(const Row& row) {
    KeyRecord r;
    r.keyaddress = toInt(row[0]);
    r.content = row[1].toInt();
    r.content2 = row[2].toInt();
    r.function = row[3].toText();
    return r;
}

// ---- plu ----

const Columns& PluColumns() {
    static const Columns c{
        "plu", {"id", "name", "depart", "price", "safestock", "stockvalue", "a0", "memberprice", "AveragePrice", "sid"}};
    return c;
}

Row PluRow(const PluRecord& r) {
    return {r.id, r.name, r.depart, r.price, r.safestock, r.stockvalue, r.a0 != 0 ? 1 : 0, r.memberprice,
            r.averagePrice, r.sid};
}

PluRecord PluFromRow(const Row& row) {
    PluRecord r;
    r.id = row[0].toText();
    r.name = row[1].toText();
    r.depart = toInt(row[2]);
    r.price = row[3].toDouble();
    r.safestock = row[4].toDouble();
    r.stockvalue = row[5].toDouble();
    r.a0 = row[6].toInt() != 0 ? 1 : 0;
    r.memberprice = row[7].toDouble();
    r.averagePrice = row[8].toDouble();
    r.sid = toInt(row[9]);
    return r;
}

void WritePlu(db::Database& db, const PluRecord& r) {
    db.execute("DELETE FROM plu WHERE id=?", {r.id});
    db.execute(PluColumns().insert(), PluRow(r));
}

// ---- member ----

const Columns& MemberColumns() {
    static const Columns c{"member", {"userid", "username", "useraddress", "tel", "score", "addr", "sid"}};
    return c;
}

Row MemberRow(const MemberRecord& r) { return {r.userid, r.username, r.useraddress, r.tel, r.score, r.addr, r.sid}; }

MemberRecord MemberFromRow(const Row& row) {
    MemberRecord r;
    r.userid = row[0].toText();
    r.username = row[1].toText();
    r.useraddress = row[2].toText();
    r.tel = row[3].toText();
    r.score = row[4].toDouble();
    r.addr = toInt(row[5]);
    r.sid = toInt(row[6]);
    return r;
}

// ---- bundle ----

const Columns& BundleColumns() {
    static const Columns c = [] {
        Columns c{"bundle", {"bundlenumber", "bundlename", "price", "address", "sid"}};
        static const char* const items[] = {
            "plu0number", "plu0quantity", "plu1number", "plu1quantity", "plu2number", "plu2quantity", "plu3number",
            "plu3quantity", "plu4number", "plu4quantity", "plu5number", "plu5quantity", "plu6number", "plu6quantity",
            "plu7number", "plu7quantity", "plu8number", "plu8quantity", "plu9number", "plu9quantity"};
        for (const char* n : items) c.names.push_back(n);
        return c;
    }();
    return c;
}

Row BundleRow(const BundleRecord& r) {
    Row row{r.bundlenumber, r.bundlename, r.price, r.address, r.sid};
    for (const auto& item : r.items) {
        row.emplace_back(item.number);
        row.emplace_back(item.quantity);
    }
    return row;
}

BundleRecord BundleFromRow(const Row& row) {
    BundleRecord r;
    r.bundlenumber = row[0].toText();
    r.bundlename = row[1].toText();
    r.price = row[2].toDouble();
    r.address = toInt(row[3]);
    r.sid = toInt(row[4]);
    for (std::size_t n = 0; n < kBundleItems; ++n) {
        r.items[n].number = row[5 + 2 * n].toText();
        r.items[n].quantity = row[6 + 2 * n].toDouble();
    }
    return r;
}

// ---- promotion ----

const Columns& PromotionColumns() {
    static const Columns c{"promotion",
                           {"address", "promotionname", "pluid", "sdate", "edate", "quantity", "discountprice",
                            "PresentPluId", "PresentQuantity"}};
    return c;
}

Row PromotionRow(const PromotionRecord& r) {
    return {r.address, r.promotionname, r.pluid, r.sdate, r.edate, r.quantity, r.discountprice, r.presentPluId,
            r.presentQuantity};
}

PromotionRecord PromotionFromRow(const Row& row) {
    PromotionRecord r;
    r.address = toInt(row[0]);
    r.promotionname = row[1].toText();
    r.pluid = row[2].toText();
    r.sdate = row[3].toText();
    r.edate = row[4].toText();
    r.quantity = row[5].toInt();
    r.discountprice = row[6].toDouble();
    r.presentPluId = row[7].toText();
    r.presentQuantity = row[8].toInt();
    return r;
}

// ---- plurecord ----

const Columns& JournalColumns() {
    static const Columns c{
        "plurecord",
        {"billnumber", "pluid", "price", "quantity", "time", "operation", "depart", "cashier", "opentable", "sid"}};
    return c;
}

JournalRecord JournalFromRow(const Row& row) {
    JournalRecord r;
    r.billnumber = row[0].toInt();
    r.pluid = row[1].toText();
    r.price = row[2].toDouble();
    r.quantity = row[3].toDouble();
    r.time = row[4].toText();
    r.operation = toInt(row[5]);
    r.depart = toInt(row[6]);
    r.cashier = toInt(row[7]);
    r.opentable = toInt(row[8]);
    r.sid = toInt(row[9]);
    return r;
}

// ---- params ----

const std::vector<ParamColumn>& ParamColumns() {
    static const std::vector<ParamColumn> columns = {
    {"Language", false},
    {"MachineNumber", false},
    {"PassWordEn", false},
    {"CashierTotal", false},
    {"SaleTotal", false},
    {"ManagerPwd", true},
    {"NoteHeadEn", false},
    {"NoteEndEn", false},
    {"NotePrint", false},
    {"NoteHead1", true},
    {"NoteHead2", true},
    {"NoteHead3", true},
    {"NoteHead4", true},
    {"NoteHead5", true},
    {"NoteHead6", true},
    {"NoteHead7", true},
    {"NoteHead8", true},
    {"NoteHead9", true},
    {"NoteEnd1", true},
    {"NoteEnd2", true},
    {"NoteEnd3", true},
    {"NoteEnd4", true},
    {"NoteEnd5", true},
    {"NoteEnd6", true},
    {"NoteEnd7", true},
    {"NoteEnd8", true},
    {"NoteEnd9", true},
    {"UserNameAndAddress1", true},
    {"UserNameAndAddress2", true},
    {"UserNameAndAddress3", true},
    {"UserNameAndAddress4", true},
    {"UserNameAndAddress5", true},
    {"UserNameAndAddress6", true},
    {"ModeSelect0", false},
    {"ModeSelect1", false},
    {"ModeSelect2", false},
    {"PointEn", false},
    {"PayWay3NativeCurrency", false},
    {"PayWay3ForeignCurrency", false},
    {"PayWay4NativeCurrency", false},
    {"PayWay4ForeignCurrency", false},
    {"PayWay5NativeCurrency", false},
    {"PayWay5ForeignCurrency", false},
    {"PayWay6NativeCurrency", false},
    {"PayWay6ForeignCurrency", false},
    {"Price3", true},
    {"Price4", true},
    {"Price5", true},
    {"Price6", true},
    {"RoundingMethod", false},
    {"RoundPosition", false},
    {"PrintDensity", false},
    {"InStoreCode", true},
    {"ServiceChargeEn", false},
    {"ServiceChargeValue", false},
    {"Taste1", true},
    {"Taste2", true},
    {"Taste3", true},
    {"Taste4", true},
    {"Taste5", true},
    {"Taste6", true},
    {"Taste7", true},
    {"Taste8", true},
    {"UART_BPS", false},
    {"RegNo", true},
    {"OtherSetting", false},
    {"LocalCurrencyAbbr", true},
    {"FiscalInfo", true},
    {"TaxItem", false},
    {"TaxDefaultValue", false},
    {"PortA", false},
    {"PortB", false},
    {"TaxPrintEn", false},
    {"MemberScoreRule", false},
    {"Discount1Name", true},
    {"Discount2Name", true},
    {"ServiceCharge1Name", true},
    {"ServiceCharge2Name", true},
    };
    return columns;
}

} // namespace ecr::rows
