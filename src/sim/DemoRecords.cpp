#include "DemoRecords.h"

#include "records/Bundle.h"
#include "records/Fields.h"
#include "records/Hotkey.h"
#include "records/Journal.h"
#include "records/Member.h"
#include "records/PageKinds.h"
#include "records/Params.h"
#include "records/Plu.h"
#include "records/Promotion.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace ecr::sim {

std::string DemoText(const records::FieldLimit& limit, const std::string& text) {
    if (records::CheckText(limit, text, 2))
        throw std::logic_error("demo text \"" + text + "\" does not fit its field of " + std::to_string(limit.bytes) +
                               " bytes");
    return text;
}

namespace {

using namespace ecr::records;

Bytes blank() {
    return Bytes(kSimPageSize, 0xFF);
}

struct Article {
    const char* code;
    const char* name;
    int depart;
    double price;
};
// Departments as in the demo department page: 1 Drinks, 2 Bakery, 3 Dairy,
// 4 Fruit & Veg, 5 Meat, 6 Frozen, 7 Household, 8 饮料, 9 Hot Food, 10 Tobacco,
// 11 Newspapers, 12 Deposit.
constexpr Article kArticles[] = {
    {"6901234567892", "Mineral water 1.5l", 1, 0.89},
    {"6901234567908", "Cola 0.33l", 1, 1.20},
    {"6901234567915", "Orange juice 1l", 1, 2.49},
    {"4006381333931", "Apple juice 1l", 1, 1.99},
    {"2000001", "Baguette", 2, 1.10},
    {"2000002", "Croissant", 2, 0.95},
    {"2000003", "Rye bread 750g", 2, 2.80},
    {"4008400402222", "Milk 1l", 3, 1.09},
    {"4008400401621", "Yoghurt natural", 3, 0.69},
    {"4008400401232", "Butter 250g", 3, 2.29},
    {"4023600001234", "Gouda sliced", 3, 1.89},
    {"21", "Bananas per kg", 4, 1.69},
    {"22", "Apples per kg", 4, 2.49},
    {"23", "Tomatoes per kg", 4, 3.20},
    {"31", "Minced beef per kg", 5, 8.90},
    {"32", "Chicken per kg", 5, 9.80},
    {"4311501000011", "Frozen pizza", 6, 2.99},
    {"4311501000028", "Ice cream 500ml", 6, 3.49},
    {"4005808123456", "Washing-up liquid", 7, 1.45},
    {"4005808654321", "Kitchen roll 4x", 7, 2.75},
    {"6920202888883", "绿茶 500ml", 8, 3.50},
    {"6920202888890", "乌龙茶 500ml", 8, 4.00},
    {"9001", "Soup of the day", 9, 4.50},
    {"9002", "Grilled sausage", 9, 3.80},
    {"9003", "Coffee", 9, 2.20},
    {"4000000100001", "Cigarettes 20", 10, 7.00},
    {"977000000001", "Daily newspaper", 11, 1.80},
    {"977000000002", "Weekly magazine", 11, 3.90},
    {"100", "Bottle deposit", 12, 0.25},
    {"101", "Crate deposit", 12, 1.50},
};
constexpr int kArticleCount = static_cast<int>(std::size(kArticles));

// Articles first, then numbered ones to fill the first page and part of the
// second: 100 PLUs on pages 0 and 1.
void pluAt(int n, PluRecord& r) {
    if (n < kArticleCount) {
        const Article& a = kArticles[n];
        r.id = a.code;
        r.name = DemoText(PluLimits::name, a.name);
        r.depart = a.depart;
        r.price = a.price;
    } else {
        char code[16], name[32];
        std::snprintf(code, sizeof code, "8000%03d", n);
        std::snprintf(name, sizeof name, "Article %03d", n);
        r.id = code;
        r.name = DemoText(PluLimits::name, name);
        r.depart = n % 7 + 1;
        r.price = 0.5 + (n % 40) * 0.25;
    }
    r.memberprice = r.price > 1 ? r.price - 0.10 : r.price;
    r.averagePrice = static_cast<double>(static_cast<long long>(r.price * 60)) / 100;
    r.safestock = n % 9 == 0 ? -2 : 5;
    r.stockvalue = 20 + n % 13;
    r.a0 = r.depart == 4 || r.depart == 5 ? 1 : 0; // weighed goods
}

} // namespace

void FillDemoParams(RegisterMemory& mem) {
    ParamValues v;
    auto num = [&](const char* c, double x) { v.numbers[c] = x; };
    auto txt = [&](const char* c, const char* t) {
        const auto limit = ParamLimit(c, ParamLayout::B);
        v.texts[c] = limit ? DemoText(*limit, t) : std::string(t);
    };
    num("Language", 1);
    num("MachineNumber", 1);
    num("PassWordEn", 0);
    num("CashierTotal", 6);
    num("SaleTotal", 0);
    num("PointEn", 2);
    num("NotePrint", 1);
    num("NoteHeadEn", 0);
    num("NoteEndEn", 0);
    num("ModeSelect0", 1);
    num("ModeSelect1", 1);
    num("ModeSelect2", 1);
    num("RoundingMethod", 0);
    num("RoundPosition", 0);
    num("PrintDensity", 2);
    num("TaxPrintEn", 1);
    num("TaxItem", 0);
    num("TaxDefaultValue", 6);
    num("MemberScoreRule", 1);
    num("PayWay3NativeCurrency", 1);
    num("PayWay3ForeignCurrency", 1);
    num("PayWay4NativeCurrency", 1);
    num("PayWay4ForeignCurrency", 1);
    num("PayWay5NativeCurrency", 7);
    num("PayWay5ForeignCurrency", 1);
    num("PayWay6NativeCurrency", 8);
    num("PayWay6ForeignCurrency", 1);
    num("ServiceChargeEn", 0);
    num("ServiceChargeValue", 10);
    num("UART_BPS", 115200);
    num("OtherSetting", 0);
    num("PortA", 0);
    num("PortB", 1);
    txt("NoteHead1", "CORNER SHOP");
    txt("NoteHead2", "12 Market Street");
    txt("NoteHead3", "Tel. 555-0199");
    txt("NoteEnd1", "Thank you for your visit!");
    txt("NoteEnd2", "欢迎再次光临");
    txt("UserNameAndAddress1", "Corner Shop Ltd.");
    txt("UserNameAndAddress2", "12 Market Street");
    txt("Price3", "Card");
    txt("Price4", "Voucher");
    txt("Price5", "USD");
    txt("Price6", "EUR");
    txt("ManagerPwd", "9999");
    txt("InStoreCode", "2000000000");
    const char* tastes[] = {"No ice", "Less sugar", "Extra hot", "Spicy", "Mild", "No onion", "Take away", "Eat in"};
    for (int i = 0; i < 8; ++i)
        txt(("Taste" + std::to_string(i + 1)).c_str(), tastes[i]);
    txt("RegNo", "REG-0001-DEMO");
    txt("FiscalInfo", "Demo fiscal memory");
    txt("LocalCurrencyAbbr", "$");
    txt("Discount1Name", "Staff");
    txt("Discount2Name", "Senior");
    txt("ServiceCharge1Name", "Service");
    txt("ServiceCharge2Name", "Delivery");
    // A register holds every field: those not named above are 0 or blank.
    for (const auto& f : kParamNumbers)
        v.numbers.try_emplace(f.column, 0);
    for (const auto& f : ParamTextFields(ParamLayout::B))
        v.texts.try_emplace(f.column);
    Bytes page = blank();
    EncodeParams(v, page, ParamLayout::B, 322);
    mem.write(kind::Params, page);
}

void FillDemoKeys(RegisterMemory& mem) {
    // 59-key layout: level-1 keys 1..24 sell the first articles; a few keys
    // carry other functions (discount, member, set meal, bank card).
    Bytes page = blank();
    for (int k = 1; k <= 24; ++k) {
        std::int32_t hi = 0, lo = 0;
        DigitsToLongs(kArticles[k - 1].code, hi, lo);
        EncodeKey({k, hi, lo, "P"}, RecordAt(ByteSpan(page), k, kKeyRecordSize));
    }
    for (int code : {151, 127, 126, 128})
        EncodeKey({code, code, 0, "F"}, RecordAt(ByteSpan(page), code, kKeyRecordSize));
    mem.write(kind::Keyboard, page);
}

void FillDemoPlus(RegisterMemory& mem) {
    Bytes pages[2] = {blank(), blank()};
    for (int n = 0; n < 100; ++n) {
        PluRecord r;
        pluAt(n, r);
        Bytes& page = pages[n / kPluRecords];
        ByteSpan rec = RecordAt(ByteSpan(page), n % kPluRecords, kPluRecordSize);
        EncodePlu(r, rec, 2);
        // Some articles were sold since the last programming: the register
        // wrote their new stock into the next slot.
        if (n % 5 == 1) NumberToBytes(r.stockvalue - 3, rec.subspan(24, 4), 3, true);
    }
    mem.write(kind::Plu, pages[0]);
    mem.write(kind::Plu + 1, pages[1]);
}

void FillDemoMembers(RegisterMemory& mem) {
    const MemberRecord members[] = {
        {0, "13800138000", "Li Wei", "8 Garden Road", "13800138000", 1250, 0},
        {0, "13912345678", "Maria O'Brien", "3 Harbour View", "555-0142", 310, 0},
        {0, "1001", "Tom Schulz", "Hauptstr. 1", "555-0107", 0, 0},
        {0, "1002", "Nguyen Van An", "", "555-0188", 42, 0},
        {0, "1003", "Fatima Haddad", "21 Cedar Lane", "", 980, 0},
        {0, "1004", "张伟", "上海路 15 号", "021-5550123", 77, 0},
    };
    Bytes page = blank();
    int i = 0;
    for (const MemberRecord& m : members) {
        for (const std::string* t : {&m.username, &m.useraddress, &m.tel}) DemoText(MemberLimits::text, *t);
        EncodeMember(m, RecordAt(ByteSpan(page), i++, kMemberRecordSize));
    }
    mem.write(kind::Member, page);
}

void FillDemoBundles(RegisterMemory& mem) {
    Bytes page = blank();
    BundleRecord b;
    b.bundlenumber = "501";
    b.bundlename = DemoText(BundleLimits::bundlename, "Breakfast set");
    b.price = 3.50;
    b.items[0] = {"2000002", 2};
    b.items[1] = {"9003", 1};
    EncodeBundle(b, RecordAt(ByteSpan(page), 0, kBundleRecordSize));
    b = {};
    b.bundlenumber = "502";
    b.bundlename = DemoText(BundleLimits::bundlename, "Lunch menu");
    b.price = 7.90;
    b.items[0] = {"9001", 1};
    b.items[1] = {"9002", 1};
    b.items[2] = {"6901234567908", 1};
    EncodeBundle(b, RecordAt(ByteSpan(page), 1, kBundleRecordSize));
    b = {};
    b.bundlenumber = "503";
    b.bundlename = DemoText(BundleLimits::bundlename, "Fruit basket");
    b.price = 5.00;
    b.items[0] = {"21", 1.5};
    b.items[1] = {"22", 1};
    EncodeBundle(b, RecordAt(ByteSpan(page), 2, kBundleRecordSize));
    mem.write(kind::Bundle, page);
}

void FillDemoPromotions(RegisterMemory& mem) {
    const PromotionRecord promos[] = {
        {0, "6901234567908", "2009-10-01 00:00:00", "2009-10-31 23:59:00", 6, 5.99, "", 0, "Cola six-pack"},
        {1, "4311501000011", "2009-10-15 00:00:00", "2009-11-15 00:00:00", 2, 5.00, "", 0, "2 pizzas"},
        {2, "9003", "2009-10-01 07:00:00", "2009-12-31 10:00:00", 1, 2.20, "2000002", 1, "Coffee + croissant"},
        {3, "4008400402222", "2009-11-01 00:00:00", "2009-11-30 00:00:00", 1, 0.99, "", 0, "Milk week"},
    };
    Bytes page = blank();
    for (const PromotionRecord& p : promos) {
        DemoText(PromotionLimits::promotionname, p.promotionname);
        EncodePromotion(p, RecordAt(ByteSpan(page), p.address, kPromotionRecordSize), 2);
    }
    mem.write(kind::Promotion, page);
}

void FillDemoFiscal(RegisterMemory& mem) {
    // One record per business day of 2009 from 1 January to 15 May; slot n
    // holds month n / 32 + 1, day n % 32.
    static constexpr int kDays[] = {31, 28, 31, 30, 15};
    Bytes pages[2] = {blank(), blank()};
    for (int m = 0; m < 5; ++m) {
        for (int d = 1; d <= kDays[m]; ++d) {
            const int n = m * 32 + d;
            ByteSpan rec = RecordAt(ByteSpan(pages[n / 128]), n % 128, 32);
            const double sale = 800 + (n * 37) % 400 + 0.45;
            NumberToBytes(sale, rec.subspan(0, 4), 2, false);
            NumberToBytes(n % 6 == 0 ? 12.5 : 0, rec.subspan(4, 4), 2, false);
            NumberToBytes(sale * 0.06, rec.subspan(8, 4), 2, false);
            NumberToBytes(90 + n % 30, rec.subspan(12, 4), 0, false);
            NumberToBytes(n % 6 == 0 ? 1 : 0, rec.subspan(16, 2), 0, false);
            NumberToBytes(2009, rec.subspan(18, 2), 0, false);
        }
    }
    mem.write(kind::Fiscal, pages[0]);
    mem.write(kind::Fiscal + 1, pages[1]);
}

void FillDemoFlashCash(RegisterMemory& mem) {
    Bytes page = blank();
    const double totals[12][3] = {{350.25, 812.40, 1024.75},
                                  {120.00, 455.10, 0},
                                  {64.80, 0, 0},
                                  {200, 0, 0},
                                  {0, 0, 0},
                                  {30, 45, 0},
                                  {0, 0, 0},
                                  {15.5, 0, 0},
                                  {1200, 2650.9, 0},
                                  {0, 0, 0},
                                  {8.2, 0, 0},
                                  {99.99, 0, 0}};
    for (std::size_t k = 0; k < 12; ++k) {
        std::uint32_t marker = 1;
        for (std::size_t j = 0; j < 3 && totals[k][j] != 0; ++j) {
            ByteSpan entry = ByteSpan(page).subspan(k * 300 + j * 8, 8);
            NumberToBytes(marker++, entry.subspan(0, 4), 0, false);
            NumberToBytes(totals[k][j], entry.subspan(4, 4), 2, false);
        }
    }
    mem.write(kind::FlashCash, page);
}

void FillDemoJournal(RegisterMemory& mem) {
    struct Line {
        const char* code;
        int depart;
        double quantity;
        int operation;
    };
    // Bills of a few lines each; bundles are sold with department 200, and
    // every bill ends with its payment line.
    const Line lines[] = {
        {"6901234567892", 1, 2, 0}, {"2000001", 2, 1, 0}, {"4008400402222", 3, 1, 0},  {"", 0, 0, 32},
        {"21", 4, 1.235, 0},        {"501", 200, 1, 0},   {"6920202888883", 8, 2, 0},  {"", 0, 0, 33},
        {"9001", 9, 1, 0},          {"9003", 9, 2, 1},    {"4311501000011", 6, -1, 8}, {"", 0, 0, 32},
        {"502", 200, 2, 0},         {"100", 12, 6, 0},    {"977000000001", 11, 1, 0},  {"", 0, 0, 34},
    };
    Bytes fat0 = blank();
    for (std::size_t k = 0; k < std::size(kDemoJournalEntries); ++k)
        NumberToBytes(kDemoJournalEntries[k], ByteSpan(fat0).subspan(k * 4, 4), 0, false);
    mem.write(kind::JournalFat, fat0);
    mem.write(kind::JournalFat + 1, blank());
    int bill = 1001;
    for (int p : {0, 1, 2, 4}) {
        Bytes page = blank();
        const int records = p == 1 ? 16 : 48;
        for (int i = 0; i < records; ++i) {
            const Line& l = lines[static_cast<std::size_t>(i) % std::size(lines)];
            JournalRecord r;
            r.billnumber = bill;
            r.pluid = l.code;
            r.depart = l.depart;
            r.quantity = l.quantity;
            r.operation = l.operation;
            r.price = l.operation >= 32 ? 25.80 : 1.10 * (l.quantity < 0 ? -1 : 1) * (i % 4 + 1);
            r.cashier = i % 3 + 1;
            r.opentable = 0;
            char time[32];
            std::snprintf(time, sizeof time, "2009-10-%02d %02d:%02d:00", 12 + p, 8 + i / 8, (i * 7) % 60);
            r.time = time;
            EncodeJournal(r, RecordAt(ByteSpan(page), i, kJournalRecordSize), 2);
            if (l.operation >= 32) ++bill;
        }
        mem.write(kind::Journal + p, page);
    }
}

} // namespace ecr::sim
