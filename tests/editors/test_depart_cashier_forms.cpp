// The department and cashier editors driven by object name.
#include "FormsFixture.h"
#include "editors/CashierForm.h"
#include "editors/DepartForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

using namespace ecr;
using namespace ecr::editors;
using namespace ecr::ui;
using Icon = ecr::ui::Prompter::Icon;

namespace {

struct DepartFormTest : FormsFixture {
    void depart(int id, const std::string& name, double price = 0, int discount = 0, double tax = 0, int kitchen = 0) {
        db->execute("INSERT INTO depart(id, name, price, discounten, tax, addr, KitchenEn) VALUES(?,?,?,?,?,?,?)",
                    {id, name, price, discount, tax, id, kitchen});
    }
};

struct CashierFormTest : FormsFixture {
    void cashier(int id, const std::string& name, const std::string& passwd = "1") {
        db->execute("INSERT INTO cashier(id, name, passwd, a0, a1, a2, a3, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16) "
                    "VALUES(?,?,?,1,1,1,1,1,1,1,1,1,1,1,1,1,0)",
                    {id, name, passwd});
    }
};

struct IdLimitTest : FormsFixture {};

} // namespace

TEST_F(DepartFormTest, ListTexts) {
    depart(1, "Drinks", 0, 1, 13, 0);
    depart(2, "Bakery", 2.5, 0, 9.5, 2);
    depart(3, "Odd", 1.25, 0, 0, 7); // a kitchen printer the list has no name for
    DepartForm f;
    QTreeWidget* l = listOf(&f);
    ASSERT_EQ(l->topLevelItemCount(), 3);
    EXPECT_EQ(rowTexts(l->topLevelItem(0)), QStringList({"1", "Drinks", "0.00", "S111232", "13", "S111487"}));
    EXPECT_EQ(rowTexts(l->topLevelItem(1)), QStringList({"2", "Bakery", "2.50", "", "9.5", "S111489"}));
    EXPECT_EQ(rowTexts(l->topLevelItem(2)), QStringList({"3", "Odd", "1.25", "", "0", ""}));
    EXPECT_EQ(l->topLevelItem(1)->data(0, Qt::UserRole).toString(), "K2");
}

TEST_F(DepartFormTest, AddOffersAnother) {
    DepartForm f;
    f.show();
    prompter.answers = {true, false};
    auto seen = whenModal("frmDepart_S", [&](QDialog* d) {
        auto* kitchen = child<QComboBox>(d, "cboKitchenEn");
        EXPECT_EQ(kitchen->currentIndex(), 1);
        EXPECT_EQ(child<QLabel>(d, "lblDepartID")->text(), "1");

        setText(d, "txtDepartName", "Joe's Bakery");
        setText(d, "txtPrice", "2.5");
        setText(d, "txtTaxRate", "9.5");
        child<QCheckBox>(d, "chkDiscountEn")->setChecked(true);
        kitchen->setCurrentIndex(2);
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111111");
        EXPECT_TRUE(prompter.shown.last().question);
        EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
        // Yes: the next id, name emptied, price 0, the rest kept.
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(child<QLabel>(d, "lblDepartID")->text(), "2");
        EXPECT_EQ(text(d, "txtDepartName"), "");
        EXPECT_EQ(text(d, "txtPrice"), "0");
        EXPECT_EQ(text(d, "txtTaxRate"), "9.5");
        EXPECT_EQ(focusName(d), "txtDepartName");
        setText(d, "txtDepartName", "Second");
        setText(d, "txtPrice", ""); // an empty price is 0
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    auto rows = db->query("SELECT id, name, price, discounten, tax, addr, KitchenEn FROM depart ORDER BY id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows.rows[0], (std::vector<db::Value>{1, "Joe's Bakery", 2.5, 1, 9.5, 1, 2}));
    EXPECT_EQ(rows.rows[1], (std::vector<db::Value>{2, "Second", 0.0, 1, 9.5, 2, 2}));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)),
              QStringList({"1", "Joe's Bakery", "2.50", "S111232", "9.5", "S111489"}));
}

TEST_F(DepartFormTest, ModifyTakesTheRowAndTheStoredKitchenPrinter) {
    depart(4, "Meat", 3, 1, 9, 3);
    depart(6, "Odd", 0, 0, 0, 9);
    DepartForm f;
    f.show();
    selectRow(&f, 0);
    auto seen = whenModal("frmDepart_S", [&](QDialog* d) {
        EXPECT_EQ(child<QLabel>(d, "lblDepartID")->text(), "4");
        EXPECT_EQ(text(d, "txtDepartName"), "Meat");
        EXPECT_EQ(text(d, "txtPrice"), "3.00");
        EXPECT_EQ(text(d, "txtTaxRate"), "9");
        EXPECT_TRUE(child<QCheckBox>(d, "chkDiscountEn")->isChecked());
        EXPECT_EQ(child<QComboBox>(d, "cboKitchenEn")->currentIndex(), 3);
        setText(d, "txtDepartName", "Fish");
        child<QCheckBox>(d, "chkDiscountEn")->setChecked(false);
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT name, price, discounten, tax, KitchenEn FROM depart WHERE id=4").rows.at(0),
              (std::vector<db::Value>{"Fish", 3.0, 0, 9.0, 3}));
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)), QStringList({"4", "Fish", "3.00", "", "9", "S111490"}));

    // A kitchen printer outside the combo's items shows none and is kept.
    selectRow(&f, 1);
    seen = whenModal("frmDepart_S", [&](QDialog* d) {
        EXPECT_EQ(child<QComboBox>(d, "cboKitchenEn")->currentIndex(), -1);
        click(d, "cmdSave");
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->scalar("SELECT KitchenEn FROM depart WHERE id=6").toInt(), 9);
}

TEST_F(CashierFormTest, ARowShowsEachRight) {
    cashier(3, "Anna", "1234");
    CashierForm f;
    QTreeWidget* l = listOf(&f);
    ASSERT_EQ(l->topLevelItemCount(), 1);
    QStringList expected{"3", "Anna", "1234"};
    for (int i = 0; i < 13; ++i) expected << "S111232";
    expected << ""; // a16 withheld
    EXPECT_EQ(rowTexts(l->topLevelItem(0)), expected);
}

TEST_F(CashierFormTest, AddStoresTheCheckedRightsAndOffersAnother) {
    cashier(1, "Boss");
    CashierForm f;
    f.show();
    prompter.answers = {true, false};
    auto seen = whenModal("frmCashier_S", [&](QDialog* d) {
        EXPECT_EQ(child<QLabel>(d, "lblCashierId")->text(), "2");
        setText(d, "txtCashierName", "O'Neil");
        QLineEdit* pw = child<QLineEdit>(d, "txtPasswd");
        pw->setFocus();
        QTest::keyClicks(pw, "12ab345678");
        EXPECT_EQ(pw->text(), "123456"); // digits, six at most
        child<QCheckBox>(d, "chkA9")->setChecked(true);
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111111");
        EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
        EXPECT_EQ(child<QLabel>(d, "lblCashierId")->text(), "3");
        EXPECT_EQ(text(d, "txtCashierName"), "");
        EXPECT_EQ(text(d, "txtPasswd"), "");
        EXPECT_EQ(focusName(d), "txtCashierName");
        // A cashier may be saved without name or password.
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    auto r = db->query("SELECT * FROM cashier WHERE id=2");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r.at(0, "name").toText(), "O'Neil");
    EXPECT_EQ(r.at(0, "passwd").toText(), "123456");
    for (const char* c : kRightColumns) EXPECT_EQ(r.at(0, c).toInt(), std::string(c) == "a9" ? 1 : 0) << c;
    EXPECT_EQ(db->scalar("SELECT a9 FROM cashier WHERE id=3").toInt(), 1); // boxes kept for the next one
    EXPECT_EQ(db->scalar("SELECT name FROM cashier WHERE id=3").toText(), "");
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 3);
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(9), "S111232"); // a9
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(3), "");
}

TEST_F(CashierFormTest, ModifyTakesTheRowAndItsRights) {
    cashier(1, "Anna", "11");
    cashier(2, "Ben", "22");
    CashierForm f;
    f.show();
    selectRow(&f, 1);
    auto seen = whenModal("frmCashier_S", [&](QDialog* d) {
        EXPECT_EQ(child<QLabel>(d, "lblCashierId")->text(), "2");
        EXPECT_EQ(text(d, "txtCashierName"), "Ben");
        EXPECT_EQ(text(d, "txtPasswd"), "22");
        EXPECT_TRUE(child<QCheckBox>(d, "chkA0")->isChecked());
        EXPECT_FALSE(child<QCheckBox>(d, "chkA16")->isChecked());
        child<QCheckBox>(d, "chkA0")->setChecked(false);
        child<QCheckBox>(d, "chkA16")->setChecked(true);
        setText(d, "txtPasswd", "9");
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT passwd, a0, a1, a16 FROM cashier WHERE id=2").rows.at(0),
              (std::vector<db::Value>{"9", 0, 1, 1}));
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(2), "9");
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(3), "");
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(16), "S111232");
}

// Ids are the highest plus one up to 99: the 100th is refused at Add, and
// "add another" after the 99th ends the entry form.
TEST_F(IdLimitTest, DepartmentAndCashierIdsStopAt99) {
    const struct {
        const char* table;
        std::function<std::unique_ptr<QDialog>()> open;
        const char* entry;
        const char* idLabel;
        const char* nameBox;
        const char* fullAtAdd;
    } cases[] = {
        {"depart", [] { return std::make_unique<DepartForm>(); }, "frmDepart_S", "lblDepartID", "txtDepartName",
         "S111112"},
        {"cashier", [] { return std::make_unique<CashierForm>(); }, "frmCashier_S", "lblCashierId", "txtCashierName",
         "S111113"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const std::string table = c.table;
        auto insert = [&](int from, int to) {
            for (int id = from; id <= to; ++id)
                db->execute("INSERT INTO " + table + "(id, name) VALUES(?, 'x')", {id});
        };
        insert(1, 10);
        db->execute("DELETE FROM " + table + " WHERE id = 5");
        std::unique_ptr<QDialog> f = c.open();
        f->show();
        auto seen = whenModal(c.entry, [&](QDialog* d) { EXPECT_EQ(child<QLabel>(d, c.idLabel)->text(), "11"); });
        click(f.get(), "cmdAdd");
        EXPECT_TRUE(*seen);

        insert(11, 99);
        seen = whenModal(c.entry, [](QDialog*) {});
        qsizetype mark = prompter.shown.size();
        click(f.get(), "cmdAdd");
        EXPECT_EQ(messagesSince(mark), QStringList({c.fullAtAdd}));
        QTest::qWait(20);
        EXPECT_FALSE(*seen);

        db->execute("DELETE FROM " + table + " WHERE id = 99");
        prompter.answers = {true};
        seen = whenModal(c.entry, [&](QDialog* d) {
            EXPECT_EQ(child<QLabel>(d, c.idLabel)->text(), "99");
            setText(d, c.nameBox, "Last");
            mark = prompter.shown.size();
            click(d, "cmdSave");
            EXPECT_EQ(messagesSince(mark), QStringList({"S111111", "S111112"}));
            EXPECT_FALSE(d->isVisible());
        });
        click(f.get(), "cmdAdd");
        EXPECT_TRUE(*seen);
        EXPECT_EQ(db->scalar("SELECT count(*) FROM " + table).toInt(), 98);
    }
}
