// The system parameter form offscreen: the codings of the packed columns as
// the register reads them, filling from a row or the defaults, the version
// rules, the duplicate printing exclusion and the save with its refusals.
#include "FormsFixture.h"
#include "app/AppState.h"
#include "app/CodePage.h"
#include "editors/ParamsFields.h"
#include "editors/ParamsForm.h"
#include "records/rows/Tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

#include <set>

using namespace ecr;
using namespace ecr::editors;

namespace {

struct ParamsFormTest : FormsFixture {
    // Data version and the register version made of it, as start-up sets them.
    void setVersion(int dataVersion) {
        db->execute("DELETE FROM info");
        db->execute("INSERT INTO info(ver, keyboard) VALUES(?, 2)", {dataVersion});
        App().dataVersion = dataVersion;
        App().registerVersion = 100000 + dataVersion;
    }
    ParamsFormTest() {
        setVersion(322);
        SetRegisterCodePage(kDefaultCodePage);
    }

    static QComboBox* combo(ParamsForm& f, const char* name) { return child<QComboBox>(&f, name); }
    static QCheckBox* box(ParamsForm& f, const char* name) { return child<QCheckBox>(&f, name); }
    static QLineEdit* edit(ParamsForm& f, const char* name) { return child<QLineEdit>(&f, name); }
    static std::string array(const char* stem, int n, int i) {
        return stem + std::to_string(n) + "(" + std::to_string(i) + ")";
    }
    static void checkAll(ParamsForm& f, const char* stem, bool on) {
        for (int n = 1; n <= 9; ++n)
            for (int i = 0; i < 3; ++i) box(f, array(stem, n, i).c_str())->setChecked(on);
    }
    // Every print option on (item 1, checked) or off; the exclusion is left
    // out so that the mask alone is seen.
    static void printOptions(ParamsForm& f, bool on) {
        for (const char* c : {"cboPrintLogo", "cboPrintAddress", "cboPrintBill", "cboGdQt", "cboGdHt", "cboJzQt",
                              "cboJzHt", "cboSfSg", "cboCfSg", "cboCutPortA", "cboCutPortB", "cboZfSg"}) {
            const QSignalBlocker block(combo(f, c));
            combo(f, c)->setCurrentIndex(on);
        }
        for (const char* b : {"chkCopyBill", "chkBillPrintDouble", "chkGoodsPrintDouble", "chkLoginPrint"}) {
            const QSignalBlocker block(box(f, b));
            box(f, b)->setChecked(on);
        }
    }
    // Sets a control by name: a combo to the item, a box checked on "1", a
    // line to the text. "chkHeadEn*" and "chkEndEn*" are all 27 boxes,
    // "print*" every print option, "other*" every box of the other tab.
    static void set(ParamsForm& f, const std::string& name, const QString& value) {
        const bool on = value == "1";
        if (name == "chkHeadEn*" || name == "chkEndEn*") return checkAll(f, name.substr(0, name.size() - 1).c_str(), on);
        if (name == "print*") return printOptions(f, on);
        if (name == "other*") {
            for (QCheckBox* b : f.findChildren<QCheckBox*>())
                if (b->parentWidget()->objectName() == "tabOther") b->setChecked(on);
            return;
        }
        QWidget* w = child<QWidget>(&f, name.c_str());
        ASSERT_NE(w, nullptr);
        if (auto* c = qobject_cast<QComboBox*>(w)) c->setCurrentIndex(value.toInt());
        else if (auto* b = qobject_cast<QCheckBox*>(w)) b->setChecked(on);
        else qobject_cast<QLineEdit*>(w)->setText(value);
    }
    // What a control shows: a combo its item ("=name": its text), a box "1"
    // or "0", a line its text; "chkHeadEn*" the 27 header boxes in order.
    static QString shown(ParamsForm& f, const std::string& name) {
        if (name == "chkHeadEn*") {
            QString bits;
            for (int n = 1; n <= 9; ++n)
                for (int i = 0; i < 3; ++i) bits += box(f, array("chkHeadEn", n, i).c_str())->isChecked() ? '1' : '0';
            return bits;
        }
        if (name[0] == '=') return combo(f, name.c_str() + 1)->currentText();
        QWidget* w = child<QWidget>(&f, name.c_str());
        if (auto* c = qobject_cast<QComboBox*>(w)) return QString::number(c->currentIndex());
        if (auto* b = qobject_cast<QCheckBox*>(w)) return b->isChecked() ? "1" : "0";
        return qobject_cast<QLineEdit*>(w)->text();
    }
    db::Value stored(const char* column) { return db->scalar(std::string("SELECT ") + column + " FROM params"); }
    long long rows() { return db->scalar("SELECT count(*) FROM params").toInt(); }
};

} // namespace

// What each coding stores, from the defaults with a machine number typed.
TEST_F(ParamsFormTest, CodingsStoreWhatTheRegisterReads) {
    struct Case {
        int dataVersion;
        std::vector<std::pair<const char*, QString>> set; // in order; see set()
        const char* column;
        db::Value expected;
    };
    const Case cases[] = {
        {322, {{"chkHeadEn*", "1"}}, "NoteHeadEn", 0},
        {322, {{"chkHeadEn*", "1"}, {"chkHeadEn2(1)", "0"}}, "NoteHeadEn", 16},
        {322, {{"chkHeadEn*", "0"}}, "NoteHeadEn", (1 << 27) - 1},
        {322, {{"chkEndEn*", "1"}, {"chkEndEn9(2)", "0"}}, "NoteEndEn", 1 << 26},
        {322, {{"print*", "1"}, {"cboPrintLogo", "0"}}, "NotePrint", 1},
        {322, {{"print*", "0"}}, "NotePrint", 131063},
        {322, {{"print*", "1"}, {"cboCutPortB", "0"}}, "NotePrint", 2048},
        {322, {{"cboInStoreCode(0)", "2"}}, "InStoreCode", "2000000000"},
        {322, {{"cboInStoreCode(9)", "3"}}, "InStoreCode", "0000000003"},
        {322, {{"cboUART_BPS", "2"}}, "UART_BPS", 19200},
        {325, {{"cboPrinterA", "3"}}, "PortA", 4},
        {400, {{"cboPrinterB", "4"}}, "PortB", 5},
        {500, {{"cboPrinterA", "3"}}, "PortA", 3},
        {322, {{"other*", "1"}, {"chkZReport(2)", "0"}}, "OtherSetting", 64},
        {322, {}, "OtherSetting", 127}, // device options unchecked
        {322, {{"cboIsPrint", "1"}, {"cboIsPrintTax", "0"}}, "TaxPrintEn", 2},
        {322, {{"cboServiceChargeEn", "1"}}, "ServiceChargeEn", 1},
        {322, {{"txtNoteHead1", "  It's \"ours\"  "}}, "NoteHead1", "  It's \"ours\"  "},
        {322, {{"txtPayWay5NativeCurrency", "7.5"}}, "PayWay5NativeCurrency", 7.5},
        {322, {{"txtMachineNumber", "007"}}, "MachineNumber", 7},
        {322, {{"chkModeSelect(0)", "0"}, {"chkModeSelect(1)", "0"}, {"chkModeSelect(2)", "0"}}, "ModeSelect2", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.expected.toText());
        setVersion(c.dataVersion);
        db->execute("DELETE FROM params");
        ParamsForm f;
        edit(f, "txtMachineNumber")->setText("1");
        for (const auto& [name, value] : c.set) set(f, name, value);
        ASSERT_TRUE(f.Save());
        EXPECT_EQ(rows(), 1);
        EXPECT_EQ(stored(c.column), c.expected);
    }
}

// Each stored mask and code shown on its controls and saved back unchanged.
TEST_F(ParamsFormTest, StoredValuesFillTheControlsAndSaveBackUnchanged) {
    struct Case {
        const char* column;
        db::Value value;
        std::vector<std::pair<const char*, QString>> shown; // see shown()
    };
    const Case cases[] = {
        {"NoteHeadEn", 16, {{"chkHeadEn*", "111101111111111111111111111"}}},
        {"NotePrint", 1, {{"cboPrintLogo", "0"}, {"cboZfSg", "1"}, {"chkBillPrintDouble", "1"}, {"chkGoodsPrintDouble", "1"}}},
        {"NotePrint", 131063, {{"cboCutPortA", "0"}, {"chkLoginPrint", "0"}}},
        {"InStoreCode", "0123012301", {{"=cboInStoreCode(3)", "23XXXXCWW.WWWC"}, {"=cboInStoreCode(9)", "29XXXXCPPPPPC"}}},
        {"UART_BPS", 9600, {{"=cboUART_BPS", "9600"}}},
        {"ServiceChargeEn", 0, {{"cboServiceChargeEn", "0"}}},
        {"TaxPrintEn", 1, {{"cboIsPrint", "0"}, {"cboIsPrintTax", "1"}}},
        {"MemberScoreRule", 2.5, {{"txtMemberScoreRule", "2.5"}}},
        {"NoteEnd2", " 欢迎 'again' ", {{"txtNoteEnd2", " 欢迎 'again' "}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.value.toText());
        db->execute("DELETE FROM params");
        db->execute("INSERT INTO params(MachineNumber, CashierTotal, " + std::string(c.column) + ") VALUES(1, 6, ?)",
                    {c.value});
        ParamsForm f;
        for (const auto& [name, expected] : c.shown) EXPECT_EQ(shown(f, name), expected) << name;
        ASSERT_TRUE(f.Save());
        EXPECT_EQ(stored(c.column), c.value);
    }
}

// Values that have no item of their own: the rate shows 115200 and stores
// it, a service charge switch other than 0 the second item.
TEST_F(ParamsFormTest, StoredValuesWithoutAnItem) {
    db->execute("INSERT INTO params(MachineNumber, CashierTotal, UART_BPS, ServiceChargeEn) VALUES(1, 6, 38400, 7)");
    ParamsForm f;
    EXPECT_EQ(combo(f, "cboUART_BPS")->currentText(), "115200");
    EXPECT_EQ(combo(f, "cboServiceChargeEn")->currentIndex(), 1);
    ASSERT_TRUE(f.Save());
    EXPECT_EQ(db->query("SELECT UART_BPS, ServiceChargeEn FROM params").rows.at(0), (std::vector<db::Value>{115200, 1}));
}

// Printer codes by register version: five kinds stored as 0, 1, 2, 4, 5
// inside 100320..100400, seven stored as their index elsewhere. A code with
// no item shows none and is saved back as it was, not as the first item.
TEST_F(ParamsFormTest, PrinterCodesByRegisterVersion) {
    struct Case {
        int dataVersion;
        long long stored;
        int shown;
    };
    const Case cases[] = {
        {325, 0, 0}, {325, 2, 2}, {325, 4, 3}, {325, 5, 4}, {325, 3, -1}, {325, 6, -1},
        {500, 3, 3}, {500, 4, 4}, {500, 6, 6}, {500, 7, -1}, {319, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dataVersion) + " code " + std::to_string(c.stored));
        setVersion(c.dataVersion);
        db->execute("DELETE FROM params");
        db->execute("INSERT INTO params(MachineNumber, CashierTotal, PortA, PortB) VALUES(1, 6, ?, ?)",
                    {c.stored, c.stored});
        ParamsForm f;
        EXPECT_EQ(combo(f, "cboPrinterA")->currentIndex(), c.shown);
        EXPECT_EQ(combo(f, "cboPrinterB")->currentIndex(), c.shown);
        ASSERT_TRUE(f.Save());
        EXPECT_EQ(db->query("SELECT PortA, PortB FROM params").rows.at(0),
                  (std::vector<db::Value>{c.stored, c.stored}));
    }
}

// The row's language and modes give way to the interface language and all
// three modes; TaxDefault follows the stored rate. Without a row the
// defaults show, and a save of them writes every column of params.
TEST_F(ParamsFormTest, FillingOverridesAndDefaults) {
    db->execute("INSERT INTO params(Language, MachineNumber, CashierTotal, ModeSelect0, ModeSelect1, ModeSelect2, "
                "TaxDefaultValue) VALUES(0, 1, 6, 0, 0, 0, 6.5)");
    App().langCode = 3;
    {
        ParamsForm f;
        EXPECT_EQ(combo(f, "cboLanguage")->currentText(), "English");
        EXPECT_EQ(combo(f, "cboLanguage")->currentIndex(), 1);
        EXPECT_DOUBLE_EQ(App().taxDefault, 6.5);
        ASSERT_TRUE(f.Save());
        EXPECT_EQ(db->query("SELECT Language, ModeSelect0, ModeSelect1, ModeSelect2 FROM params").rows.at(0),
                  (std::vector<db::Value>{1, 1, 1, 1}));
    }
    App().langCode = 1;
    db->execute("DELETE FROM params");
    ParamsForm f;
    EXPECT_EQ(combo(f, "cboLanguage")->currentText(), "中文");
    EXPECT_DOUBLE_EQ(App().taxDefault, 0);
    EXPECT_EQ(edit(f, "txtMachineNumber")->text(), "");
    edit(f, "txtMachineNumber")->setText("3");
    ASSERT_TRUE(f.Save());
    const db::Rows saved = db->query("SELECT * FROM params");
    ASSERT_EQ(saved.size(), 1u);
    std::set<std::string> columns;
    for (const auto& c : rows::ParamColumns()) columns.insert(c.name);
    for (const auto& [column, value] : f.fields().values()) EXPECT_EQ(columns.erase(column), 1u) << column;
    EXPECT_TRUE(columns.empty()) << "not held by the form: " << *columns.begin();
    const std::pair<const char*, db::Value> defaults[] = {
        {"Language", 0},         {"PointEn", 1},          {"RoundingMethod", 0},  {"MemberScoreRule", 100.0},
        {"RoundPosition", 2},    {"CashierTotal", 20},    {"PassWordEn", 0},      {"TaxDefaultValue", 0.0},
        {"TaxItem", 0},          {"PrintDensity", 8},     {"ModeSelect1", 1},     {"ManagerPwd", "602417"},
        {"ServiceChargeEn", 0},  {"ServiceChargeValue", 0.0}, {"UART_BPS", 115200}, {"PayWay6ForeignCurrency", 1.0},
        {"Taste8", ""},          {"ServiceCharge2Name", ""}, {"MachineNumber", 3}, {"InStoreCode", "0000000000"},
        // Options on item 1 are on (bit clear): logo, address, receipt, where
        // items and payments print, cutting; the five from 4096 up are off.
        {"NotePrint", 0x1F000}, {"TaxPrintEn", 3}, {"PortA", 0}};
    for (const auto& [column, value] : defaults) EXPECT_EQ(saved.at(0, column), value) << column;
}

TEST_F(ParamsFormTest, VersionRules) {
    struct Case {
        int dataVersion;
        const char* label108;
        bool duplicates;
        int printers;
        bool fiscal, names;
    };
    const Case cases[] = {
        {320, "3.20", true, 5, false, false}, {321, "3.21", true, 5, true, false},
        {322, "3.22", true, 5, true, true},   {400, "4.00", true, 5, true, true},
        {401, "(None)", false, 7, true, true}, {319, "(None)", false, 7, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dataVersion);
        setVersion(c.dataVersion);
        ParamsForm f;
        EXPECT_EQ(child<QLabel>(&f, "Label108")->text(), c.label108);
        for (const char* b : {"chkCopyBill", "chkBillPrintDouble", "chkGoodsPrintDouble"})
            EXPECT_EQ(box(f, b)->isEnabled(), c.duplicates) << b;
        EXPECT_EQ(combo(f, "cboPrinterA")->count(), c.printers);
        EXPECT_EQ(combo(f, "cboPrinterB")->itemText(c.printers - 1), c.printers == 5 ? "S111637" : "S111380");
        for (const char* w : {"txtLocalCurrencyAbbr", "lblLocalCurrencyAbbr", "txtFiscalInfo", "lblFiscalInfo",
                              "lblFiscalMode"})
            EXPECT_EQ(child<QWidget>(&f, w)->isHidden(), !c.fiscal) << w;
        for (const char* w : {"txtDiscount1Name", "lblDiscount1Name", "txtDiscount2Name", "txtServiceCharge1Name",
                              "txtServiceCharge2Name", "lblServiceCharge2Name"})
            EXPECT_EQ(child<QWidget>(&f, w)->isHidden(), !c.names) << w;
    }
}

// Turning one duplicate printing option on turns the other two off; turning
// one off leaves the others.
TEST_F(ParamsFormTest, DuplicatePrintingOptionsExcludeEachOther) {
    ParamsForm f;
    QComboBox* zf = combo(f, "cboZfSg");
    QCheckBox* bill = box(f, "chkBillPrintDouble");
    QCheckBox* goods = box(f, "chkGoodsPrintDouble");
    auto state = [&] { return std::tuple{zf->currentIndex(), bill->isChecked(), goods->isChecked()}; };
    EXPECT_EQ(state(), std::tuple(0, false, false));
    bill->setChecked(true);
    EXPECT_EQ(state(), std::tuple(0, true, false));
    goods->setChecked(true);
    EXPECT_EQ(state(), std::tuple(0, false, true));
    zf->setCurrentIndex(1);
    EXPECT_EQ(state(), std::tuple(1, false, false));
    bill->setChecked(true);
    EXPECT_EQ(state(), std::tuple(0, true, false));
    zf->setCurrentIndex(1);
    goods->setChecked(true);
    EXPECT_EQ(state(), std::tuple(0, false, true));
    goods->setChecked(false);
    EXPECT_EQ(state(), std::tuple(0, false, false));
}

// A refused save names the field, puts the focus into it on its tab and
// leaves the stored row; an accepted one replaces it and says so.
TEST_F(ParamsFormTest, SaveRefusalsAndReplacement) {
    db->execute("INSERT INTO params(MachineNumber, CashierTotal, NoteHead3) VALUES(5, 6, 'old')");
    struct Case {
        const char* field;
        const char* typed;
        const char* message;
        int tab;
    };
    const std::string line33(33, 'x'), fiscal41(41, 'f');
    const Case cases[] = {
        {"txtMachineNumber", " ", "S111161", 0},
        {"txtCashierTotal", "", "S111162", 0},
        {"txtNoteHead3", line33.c_str(), "S120002 S120507 3 33 32", 1},
        {"txtNoteEnd9", " 欢迎光临欢迎光临欢迎光临欢迎光临", "S120002 S120508 9 33 32", 1},
        {"txtTaste2", "Phở", "S120003 S120536 2 ở", 6},
        {"txtPrice4", "Voucher 100", "S120002 S111421 11 10", 3},
        {"txtMachineNumber", "99999999999", "S120004 S120500 99999999999 0 2147483647", 0},
        {"txtTaxDefaultValue", "1.2.3", "S120005 S111386 1.2.3", 4},
        {"txtFiscalInfo", fiscal41.c_str(), "S120002 S111613 41 40", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        ParamsForm f;
        f.show();
        edit(f, c.field)->setText(QString::fromUtf8(c.typed));
        const qsizetype mark = prompter.shown.size();
        click(&f, "cmdModify");
        EXPECT_EQ(messagesSince(mark), QStringList({QString::fromUtf8(c.message)}));
        EXPECT_EQ(child<QTabWidget>(&f, "SSTab1")->currentIndex(), c.tab);
        EXPECT_EQ(focusName(&f), c.field);
        EXPECT_EQ(db->query("SELECT MachineNumber, NoteHead3 FROM params").rows,
                  (std::vector<std::vector<db::Value>>{{5, "old"}}));
    }
    ParamsForm f;
    edit(f, "txtNoteHead3")->setText("new");
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdModify");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111163"}));
    EXPECT_EQ(db->query("SELECT MachineNumber, NoteHead3 FROM params").rows,
              (std::vector<std::vector<db::Value>>{{5, "new"}}));
}

// With the catalogue's own texts, in Chinese and in English and with every
// field of data version 322 shown, no tab is cut: each page gets at least
// the room its fields ask for, and every tab caption is in sight.
TEST_F(ParamsFormTest, FitsTheScreenWithNothingCut) {
    auto real = db::OpenOrCreate(dir.file("catalogue.db"));
    App().conn = real.get();
    real->execute("INSERT INTO info(ver, keyboard) VALUES(322, 2)");
    for (int lang : {1, 3}) {
        SCOPED_TRACE(lang);
        App().langCode = lang;
        ParamsForm f;
        f.adjustSize();
        f.show();
        auto* tabs = child<QTabWidget>(&f, "SSTab1");
        ASSERT_EQ(tabs->count(), 8);
        EXPECT_GE(tabs->width(), tabs->tabBar()->sizeHint().width());
        EXPECT_TRUE(tabs->tabText(3).contains(lang == 3 ? "&&" : "与")) << tabs->tabText(3).toStdString();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QWidget* page = tabs->widget(i);
            EXPECT_GE(page->width(), page->minimumSizeHint().width()) << page->objectName().toStdString();
            EXPECT_GE(page->height(), page->minimumSizeHint().height()) << page->objectName().toStdString();
        }
    }
    App().conn = db.get();
}
