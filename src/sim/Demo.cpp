#include "Demo.h"

#include "DemoRecords.h"

#include "records/Cashier.h"
#include "records/Limits.h"
#include "records/Department.h"
#include "records/PageKinds.h"

namespace ecr::sim {

namespace {

using namespace ecr::records;

void fillCashiers(RegisterMemory& mem) {
    struct Row {
        const char* name;
        const char* passwd;
        std::initializer_list<int> withheld; // indexes into the rights list
    };
    const Row rows[] = {
        {"Manager", "9999", {}},
        {"Anna Berg", "1111", {4, 5}},          // no a7, a8
        {"Ben Okafor", "2222", {4, 5, 6}},
        {"王芳", "3333", {4, 5, 6, 7}},
        {"Chloé Martin", "4444", {0, 4, 5, 6, 7, 8}},
        {"Trainee", "0000", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    Bytes page(kPageSize, 0xFF);
    int id = 1;
    for (const Row& r : rows) {
        CashierRecord c;
        c.id = id;
        c.name = DemoText(CashierLimits::name, r.name);
        c.passwd = r.passwd;
        c.rights.fill(1);
        for (int w : r.withheld) c.rights[static_cast<std::size_t>(w)] = 0;
        EncodeCashier(c, ByteSpan(page).subspan(static_cast<std::size_t>(id) * kCashierRecordSize, kCashierRecordSize));
        ++id;
    }
    mem.write(kind::Cashier, page);
}

void fillDepartments(RegisterMemory& mem) {
    struct Row {
        const char* name;
        double price, tax;
        int discounten, addr, kitchen;
    };
    const Row rows[] = {
        {"Drinks", 0, 13, 1, 1, 0},       {"Bakery", 2.50, 9, 1, 2, 0},     {"Dairy", 0, 9, 1, 3, 0},
        {"Fruit & Veg", 0, 9, 1, 4, 0},   {"Meat", 0, 9, 0, 5, 0},          {"Frozen", 0, 13, 1, 6, 0},
        {"Household", 0, 13, 1, 7, 0},    {"饮料", 3.00, 13, 1, 8, 0},      {"Hot Food", 6.80, 6, 1, 9, 1},
        {"Tobacco", 0, 0, 0, 10, 0},      {"Newspapers", 1.20, 0, 0, 11, 0}, {"Deposit", 0.25, 0, 0, 12, 0},
    };
    Bytes page(kPageSize, 0xFF);
    int id = 1;
    for (const Row& r : rows) {
        DepartRecord d;
        d.id = id;
        d.name = DemoText(DepartLimits::name, r.name);
        d.price = r.price;
        d.tax = r.tax;
        d.discounten = r.discounten;
        d.addr = r.addr;
        d.kitchenEn = r.kitchen;
        EncodeDepart(d, ByteSpan(page).subspan(static_cast<std::size_t>(id) * kDepartRecordSize, kDepartRecordSize));
        ++id;
    }
    mem.write(kind::Depart, page);
}

} // namespace

const std::vector<DemoPart>& DemoParts() {
    static const std::vector<DemoPart> parts = {
        {"cashiers", fillCashiers},
        {"departments", fillDepartments},
        {"params", FillDemoParams},
        {"keys", FillDemoKeys},
        {"plu", FillDemoPlus},
        {"members", FillDemoMembers},
        {"bundles", FillDemoBundles},
        {"promotions", FillDemoPromotions},
        {"fiscal", FillDemoFiscal},
        {"flashcash", FillDemoFlashCash},
        {"journal", FillDemoJournal},
    };
    return parts;
}

void FillDemo(RegisterMemory& memory) {
    for (const auto& p : DemoParts()) p.fill(memory);
}

} // namespace ecr::sim
