#include "ParamsFields.h"

#include "app/AppState.h"
#include "records/Params.h"

#include <set>
#include <string>

namespace ecr::editors {

using ui::Field;
using ui::FieldKind;
using ui::EntryRule;

bool IsVersion320To400(long long v) { return v >= 100320 && v <= 100400; }

QString RegisterVersionText(long long v) {
    if (!IsVersion320To400(v)) return QStringLiteral("(None)");
    const QString digits = QString::number(v - 100000);
    return digits.left(1) + QLatin1Char('.') + digits.mid(1);
}

ui::ComboItems PrinterItems(long long v) {
    if (IsVersion320To400(v)) return {{111374, 111634, 111635, 111636, 111637}, {0, 1, 2, 4, 5}};
    return {{111374, 111375, 111376, 111377, 111378, 111379, 111380}, {}};
}

namespace {

// Object names built from a stem and a number outlive the table.
const char* name(const std::string& s) {
    static std::set<std::string> names;
    return names.insert(s).first->c_str();
}
std::string num(int n) { return std::to_string(n); }

constexpr int kNo = 111233, kYes = 111232;
const std::vector<int> kNoYes = {kNo, kYes};

std::optional<records::FieldLimit> pageLimit(const char* column) {
    const AppState& a = App();
    return records::ParamLimit(column, records::ChooseParamLayout(a.modelName, a.registerVersion));
}
// A 4-byte whole number of the page, typed as digits.
records::FieldLimit wholeLimit(const char* column) {
    const auto [lo, hi] = records::LimitRange(*pageLimit(column), 0);
    return records::WholeLimit(0, static_cast<long long>(hi));
}

bool from321() { return App().dataVersion >= 321; }
bool from322() { return App().dataVersion >= 322; }

// A register text: as typed, within what its page field holds in the layout in force.
Field text(const char* column, int caption, int tab, const char* arg = nullptr) {
    return {.column = column, .caption = caption, .object = name(std::string("txt") + column),
            .label = name(std::string("lbl") + column), .limitAt = [column] { return pageLimit(column); },
            .initial = "", .section = tab, .captionArg = arg, .keepBlanks = true};
}
Field number(const char* column, int caption, FieldKind kind, EntryRule rule, const char* initial, int tab,
             const char* arg = nullptr) {
    return {.column = column, .caption = caption, .object = name(std::string("txt") + column), .kind = kind,
            .label = name(std::string("lbl") + column), .rule = rule, .limit = pageLimit(column),
            .initial = initial, .section = tab, .captionArg = arg};
}
Field combo(const char* column, const char* object, int caption, std::vector<int> items, int initial, int tab) {
    return {.column = column, .caption = caption, .object = object, .kind = FieldKind::Combo,
            .label = name(std::string("lbl") + (object + 3)), .initial = initial, .itemCaptions = std::move(items),
            .section = tab};
}
Field check(const char* column, const char* object, int caption, int initial, int tab) {
    return {.column = column, .caption = caption, .object = object, .kind = FieldKind::Check, .initial = initial,
            .section = tab};
}
// An option packed into a column: the bit is 1 when the option is off (the
// box unchecked, the two-item combo on its first item).
Field bitBox(const char* column, const char* object, int bit, int caption, int tab) {
    return {.column = column, .caption = caption, .object = object, .kind = FieldKind::Bit, .initial = 0,
            .bit = bit, .inverted = true, .section = tab};
}
Field bitCombo(const char* column, const char* object, int bit, int caption, int initial, int tab) {
    Field f = combo(column, object, caption, kNoYes, initial, tab);
    f.kind = FieldKind::Bit;
    f.bit = bit;
    f.inverted = true;
    return f;
}

void receiptLines(std::vector<Field>& out, const char* stem, const char* boxStem, const char* mask, int caption) {
    for (int n = 1; n <= 9; ++n) {
        out.push_back(text(name(stem + num(n)), caption, HeaderFooter, name(num(n))));
        const int boxCaptions[] = {111058, 111059, 111467};
        for (int i = 0; i < 3; ++i)
            out.push_back(bitBox(mask, name(boxStem + num(n) + "(" + num(i) + ")"), 3 * (n - 1) + i, boxCaptions[i],
                                 HeaderFooter));
    }
}

} // namespace

ui::FieldTable ParamFieldTable() {
    std::vector<Field> f;
    auto add = [&f](Field x) { f.push_back(std::move(x)); };

    // General.
    Field language = combo("Language", "cboLanguage", 110051, {}, 0, General);
    language.itemTexts = App().langCode == 1 ? std::vector<std::string>{"中文", "英文"}
                                             : std::vector<std::string>{"Chinese", "English"};
    add(language);
    Field machine = number("MachineNumber", 120500, FieldKind::Digits, EntryRule::Digits, "", General);
    machine.limit = wholeLimit("MachineNumber");
    machine.required = 111161;
    add(machine);
    add(combo("PassWordEn", "cboPassWordEn", 120501, {kYes, kNo}, 0, General));
    Field cashiers = number("CashierTotal", 120502, FieldKind::Digits, EntryRule::Digits, "20", General);
    cashiers.limit = wholeLimit("CashierTotal");
    cashiers.required = 111162;
    add(cashiers);
    Field sales = number("SaleTotal", 120503, FieldKind::Digits, EntryRule::Digits, "", General);
    sales.limit = wholeLimit("SaleTotal");
    add(sales);
    Field pwd = number("ManagerPwd", 120504, FieldKind::Digits, EntryRule::Digits, "602417", General);
    pwd.object = "txtAdminPwd";
    pwd.label = "lblAdminPwd";
    pwd.maxLength = pwd.limit->bytes;
    add(pwd);
    Field point = combo("PointEn", "cboPointEn", 111424, {kNo}, 1, General);
    point.itemTexts = {"1", "2", "3"};
    add(point);
    add(text("RegNo", 120505, General));
    add({.caption = 120506, .object = "Label108", .kind = FieldKind::Label, .label = "Label107", .section = General});
    for (int i = 0; i < 3; ++i)
        add(check(name("ModeSelect" + num(i)), name("chkModeSelect(" + num(i) + ")"), 111407 + i, 1, General));
    for (int n = 1; n <= 6; ++n) add(text(name("UserNameAndAddress" + num(n)), 120509, General, name(num(n))));

    // Receipt header and footer: a line, then its three print options.
    receiptLines(f, "NoteHead", "chkHeadEn", "NoteHeadEn", 120507);
    receiptLines(f, "NoteEnd", "chkEndEn", "NoteEndEn", 120508);

    // Print options; the bit of value 8 belongs to no option.
    add(bitCombo("NotePrint", "cboPrintLogo", 0, 120510, 1, PrintOptions));
    add(bitCombo("NotePrint", "cboPrintAddress", 1, 120511, 1, PrintOptions));
    add(bitCombo("NotePrint", "cboPrintBill", 2, 120512, 1, PrintOptions));
    const char* printedWhere[] = {"cboGdQt", "cboGdHt", "cboJzQt", "cboJzHt", "cboSfSg", "cboCfSg"};
    for (int i = 0; i < 6; ++i) add(bitCombo("NotePrint", printedWhere[i], 4 + i, 120513 + i, 1, PrintOptions));
    add(bitCombo("NotePrint", "cboZfSg", 15, 120519, 0, PrintOptions));
    add(bitBox("NotePrint", "chkCopyBill", 12, 111371, PrintOptions));
    add(bitBox("NotePrint", "chkBillPrintDouble", 13, 120522, PrintOptions));
    add(bitBox("NotePrint", "chkGoodsPrintDouble", 14, 120523, PrintOptions));
    add(bitBox("NotePrint", "chkLoginPrint", 16, 120524, PrintOptions));
    Field density = combo("PrintDensity", "cboPrintDensity", 120525, {}, 8, PrintOptions);
    for (int d = 0; d <= 9; ++d) density.itemTexts.push_back(num(d));
    add(density);

    // Payment methods 3..6: name and exchange rate (local for foreign).
    for (int n = 3; n <= 6; ++n) {
        const char* arg = name(num(n));
        add(text(name("Price" + num(n)), 111417 + n, Payments));
        for (const char* side : {"Native", "Foreign"})
            add(number(name("PayWay" + num(n) + side + "Currency"), side[0] == 'N' ? 120537 : 120538,
                       FieldKind::Amount, EntryRule::Amount, "1", Payments, arg));
    }

    // Tax, rounding, service charge, member points.
    Field tax = combo("TaxItem", "cboTaxType", 120528, {}, 0, TaxRounding);
    tax.itemTexts = {"None", "TAX", "VAT", "GST"};
    add(tax);
    add(number("TaxDefaultValue", 111386, FieldKind::Decimal, EntryRule::DecimalNoEnter, "0", TaxRounding));
    add(bitCombo("TaxPrintEn", "cboIsPrint", 0, 120526, 0, TaxRounding));
    add(bitCombo("TaxPrintEn", "cboIsPrintTax", 1, 120527, 0, TaxRounding));
    add(combo("RoundingMethod", "cboRoundingMethod", 120529, {111451, 111452, 111453, 111454, 111455, 111569}, 0,
              TaxRounding));
    add(combo("RoundPosition", "cboRoundPosition", 120530, {111459, 111460, 111461, 111462}, 2, TaxRounding));
    // A stored 0 is the first item; any other value the second.
    Field service = combo("ServiceChargeEn", "cboServiceChargeEn", 111410, {kYes, kNo}, 0, TaxRounding);
    service.fallbackItem = 1;
    add(service);
    add(number("ServiceChargeValue", 120531, FieldKind::Decimal, EntryRule::DecimalNoEnter, "0", TaxRounding));
    add(number("MemberScoreRule", 120532, FieldKind::Decimal, EntryRule::DecimalNoEnter, "100", TaxRounding));
    const char* names322[] = {"Discount1Name", "Discount2Name", "ServiceCharge1Name", "ServiceCharge2Name"};
    for (int i = 0; i < 4; ++i) {
        Field n = text(names322[i], 111617 + i, TaxRounding);
        n.shown = from322;
        add(n);
    }

    // Printers and the register's serial port.
    for (const char* port : {"PortA", "PortB"}) {
        Field p = combo(port, port[4] == 'A' ? "cboPrinterA" : "cboPrinterB", port[4] == 'A' ? 120533 : 120534, {}, 0,
                        Printers);
        p.itemsAt = [] { return PrinterItems(App().registerVersion); };
        add(p);
    }
    add(bitCombo("NotePrint", "cboCutPortA", 10, 120520, 1, Printers));
    add(bitCombo("NotePrint", "cboCutPortB", 11, 120521, 1, Printers));
    // The rate itself is stored; a rate without an item shows the first.
    Field bps = combo("UART_BPS", "cboUART_BPS", 111521, {}, 0, Printers);
    bps.itemTexts = {"115200", "57600", "19200", "9600"};
    bps.itemValues = {115200, 57600, 19200, 9600};
    bps.fallbackItem = 0;
    add(bps);

    // In-store barcodes 20..29: digit i of InStoreCode is the format of prefix 2i.
    for (int i = 0; i < 10; ++i) {
        const std::string prefix = "2" + num(i);
        Field code{.column = "InStoreCode", .caption = 120535, .object = name("cboInStoreCode(" + num(i) + ")"),
                   .kind = FieldKind::Digit, .label = name("lblInStoreCode(" + num(i) + ")"), .initial = 0,
                   .digit = i, .section = BarcodesTastes, .captionArg = name(prefix)};
        for (const char* format : {"XXXXXXXXXXC", "XXXXCPPPPPC", "XXXXCOWWWWC", "XXXXCWW.WWWC"})
            code.itemTexts.push_back(prefix + format);
        add(code);
    }
    for (int n = 1; n <= 8; ++n) add(text(name("Taste" + num(n)), 120536, BarcodesTastes, name(num(n))));

    // Device options, then the fiscal fields of data version 321.
    const char* devices[] = {"chkKeyVoice", "chkBackLight", "chkPaperDetect", "chkDisplayLogo",
                             "chkZReport(0)", "chkZReport(1)", "chkZReport(2)"};
    const int deviceCaptions[] = {111602, 111603, 111604, 111605, 111599, 111600, 111601};
    for (int i = 0; i < 7; ++i) add(bitBox("OtherSetting", devices[i], i, deviceCaptions[i], Other));
    add({.caption = 111611, .object = "lblFiscalMode", .kind = FieldKind::Label, .section = Other, .shown = from321});
    for (const char* column : {"LocalCurrencyAbbr", "FiscalInfo"}) {
        Field t = text(column, column[0] == 'L' ? 111612 : 111613, Other);
        t.shown = from321;
        add(t);
    }

    return {.fields = std::move(f),
            .sections = {{},
                         {.caption = 111253, .object = "tabGeneral", .columns = 2},
                         {.caption = 111254, .object = "tabHeaderFooter", .columns = 4},
                         {.caption = 111255, .object = "tabPrintOptions", .columns = 2},
                         {.caption = 111256, .object = "tabPayments", .columns = 3},
                         {.caption = 111475, .object = "tabTaxRounding", .columns = 2},
                         {.caption = 111478, .object = "tabPrinters", .columns = 2},
                         {.caption = 111532, .object = "tabBarcodesTastes", .columns = 2},
                         {.caption = 111562, .object = "tabOther", .columns = 2}},
            .tabs = true};
}

} // namespace ecr::editors
