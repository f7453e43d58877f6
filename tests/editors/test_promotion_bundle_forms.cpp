// The promotion and bundle editors driven by object name.
#include "FormsFixture.h"
#include "editors/BundleForm.h"
#include "editors/MemberForm.h"
#include "editors/PromotionForm.h"
#include "import/Spreadsheet.h"
#include "ui/SheetExport.h"

#include <QDateTimeEdit>

using namespace ecr;
using namespace ecr::editors;
using Icon = ecr::ui::Prompter::Icon;

namespace {

struct PromotionFormTest : FormsFixture {
    void promotion(long long address, const std::string& name, const std::string& plu,
                   const std::string& start = "2009-10-01 00:00:00", const std::string& end = "2009-10-31 23:59:00") {
        db->execute("INSERT INTO promotion(address, promotionname, pluid, sdate, edate, quantity, discountprice, "
                    "PresentPluId, PresentQuantity) VALUES(?,?,?,?,?,6,5.99,'',0)",
                    {address, name, plu, start, end});
    }
    static void day(QDialog* d, const char* picker, QDate date) { child<QDateTimeEdit>(d, picker)->setDate(date); }
};

struct BundleFormTest : FormsFixture {
    BundleFormTest() { db->execute("INSERT INTO plu(id, name, sid) VALUES('9001', 'Tea', 0), ('9002', 'Scone', 1)"); }
    void bundle(const std::string& number, const std::string& name, long long sid, double price = 3.5) {
        db->execute("INSERT INTO bundle(bundlenumber, bundlename, price, address, sid, plu0number, plu0quantity, "
                    "plu1number, plu1quantity) VALUES(?,?,?,0,?,'9001',2,'4711',1.5)",
                    {number, name, price, sid});
    }
};

} // namespace

// ---- promotions ----------------------------------------------------------------

TEST_F(PromotionFormTest, TheListByPlace) {
    promotion(1, "2 pizzas", "4311501000011", "2009-10-15 00:00:00", "2009-11-15 00:00:00");
    promotion(0, "Cola six-pack", "6901234567908");
    PromotionForm f;
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)),
              QStringList({"Cola six-pack", "6901234567908", "2009-10-01", "2009-10-31", "6", "5.99", "", "0"}));
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->data(0, Qt::UserRole).toString(), "P1");
}

TEST_F(PromotionFormTest, AddWithAnEndBeforeTheStartStoresTheStart) {
    PromotionForm f;
    f.show();
    prompter.answers = {true, false};
    auto seen = whenModal("frmPromotion_S", [&](QDialog* d) {
        EXPECT_EQ(child<QDateTimeEdit>(d, "dtpStartDate")->date(), QDate::currentDate());
        EXPECT_EQ(child<QDateTimeEdit>(d, "dtpEndDate")->displayFormat(), "yyyy-MM-dd");

        setText(d, "txtPromotionName", "Coffee 'n' cake");
        setText(d, "txtPLUId", "9003");
        setText(d, "txtQuantity", "1");
        setText(d, "txtDiscountPrice", "2.2");
        setText(d, "txtPresentPluId", "2000002");
        setText(d, "txtPresentQuantity", "1");
        day(d, "dtpStartDate", QDate(2009, 10, 20));
        day(d, "dtpEndDate", QDate(2009, 10, 1));
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111111");
        EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
        // The end picker shows what was stored; Yes resets the rest.
        EXPECT_EQ(child<QDateTimeEdit>(d, "dtpEndDate")->date(), QDate(2009, 10, 20));
        for (const char* box : {"txtPromotionName", "txtPLUId", "txtPresentPluId"})
            EXPECT_EQ(text(d, box), "") << box;
        for (const char* box : {"txtQuantity", "txtDiscountPrice", "txtPresentQuantity"})
            EXPECT_EQ(text(d, box), "0") << box;
        EXPECT_EQ(focusName(d), "txtPromotionName");
        setText(d, "txtPromotionName", "Second");
        setText(d, "txtPLUId", "9004");
        day(d, "dtpEndDate", QDate(2009, 12, 31));
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT * FROM promotion ORDER BY address").rows,
              (std::vector<std::vector<db::Value>>{
                  {0, "Coffee 'n' cake", "9003", "2009-10-20 00:00:00", "2009-10-20 00:00:00", 1, 2.2, "2000002", 1},
                  {1, "Second", "9004", "2009-10-20 00:00:00", "2009-12-31 00:00:00", 0, 0.0, "", 0}}));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)),
              QStringList({"Coffee 'n' cake", "9003", "2009-10-20", "2009-10-20", "1", "2.20", "2000002", "1"}));
}

TEST_F(PromotionFormTest, ModifyKeepsTheTimeOfDay) {
    promotion(0, "Cola six-pack", "6901234567908");
    promotion(2, "Coffee", "9003", "2009-10-01 07:00:00", "2009-12-31 10:00:00");
    PromotionForm f;
    f.show();
    selectRow(&f, 1);
    auto seen = whenModal("frmPromotion_S", [&](QDialog* d) {
        EXPECT_EQ(text(d, "txtPromotionName"), "Coffee");
        EXPECT_EQ(child<QDateTimeEdit>(d, "dtpStartDate")->date(), QDate(2009, 10, 1));
        EXPECT_EQ(text(d, "txtDiscountPrice"), "5.99");
        day(d, "dtpEndDate", QDate(2010, 1, 31));
        setText(d, "txtPromotionName", "Coffee + croissant");
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT promotionname, sdate, edate FROM promotion WHERE address = 2").rows.at(0),
              (std::vector<db::Value>{"Coffee + croissant", "2009-10-01 07:00:00", "2010-01-31 10:00:00"}));
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(3), "2010-01-31");
}

// ---- bundles ---------------------------------------------------------------------

TEST_F(BundleFormTest, ThirtyThreeColumnsWithThePluNamesLookedUp) {
    bundle("502", "Lunch's menu", 1, 7.9);
    bundle("501", "Breakfast", 0);
    BundleForm f;
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    QStringList row{"501", "Breakfast", "3.50", "9001", "Tea", "2", "4711", "", "1.5"};
    for (int i = 2; i < 10; ++i) row << "" << "" << ""; // no quantity stored
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)), row);
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(1), "Lunch's menu");
}

TEST_F(BundleFormTest, AddWithTheFirstPluOnlyAsksNothing) {
    bundle("501", "Breakfast", 0);
    BundleForm f;
    f.show();
    auto seen = whenModal("frmBundle_S", [&](QDialog* d) {
        setText(d, "txtBundleID", "503");
        setText(d, "txtBundleName", "Tea for one");
        setText(d, "txtPrice", "4.2");
        setText(d, "txtPluID1", "9001");
        setText(d, "txtQuantity1", "1.5");
        const qsizetype mark = prompter.shown.size();
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.size(), mark); // no question
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    const auto r = db->query("SELECT * FROM bundle WHERE bundlenumber = '503'");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r.at(0, "bundlename").toText(), "Tea for one");
    EXPECT_EQ(r.at(0, "price").toDouble(), 4.2);
    EXPECT_EQ(r.at(0, "sid").toInt(), 1);
    EXPECT_EQ(r.at(0, "address").toInt(), 0);
    EXPECT_EQ(r.at(0, "plu0number").toText(), "9001");
    EXPECT_EQ(r.at(0, "plu0quantity").toDouble(), 1.5);
    for (int i = 1; i < 10; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(r.at(0, "plu" + n + "number"), db::Value("")) << i;
        EXPECT_EQ(r.at(0, "plu" + n + "quantity"), db::Value(0.0)) << i;
    }
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(4), "Tea");
}

TEST_F(BundleFormTest, ModifyAVanishedBundleAndExport) {
    bundle("501", "Breakfast", 0);
    bundle("502", "Lunch", 1);
    BundleForm f;
    f.show();
    selectRow(&f, 0);
    auto seen = whenModal("frmBundle_S", [&](QDialog* d) {
        EXPECT_FALSE(child<QLineEdit>(d, "txtBundleID")->isEnabled());
        EXPECT_EQ(text(d, "txtPrice"), "3.50");
        EXPECT_EQ(text(d, "txtPluID2"), "4711");
        EXPECT_EQ(text(d, "txtQuantity2"), "1.5");
        setText(d, "txtPluID2", "9002");
        setText(d, "txtPluID10", "9001");
        setText(d, "txtQuantity10", "3");
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(
        db->query("SELECT plu1number, plu9number, plu9quantity FROM bundle WHERE bundlenumber = '501'").rows.at(0),
        (std::vector<db::Value>{"9002", "9001", 3.0}));
    EXPECT_EQ(listOf(&f)->topLevelItem(0)->text(7), "Scone");
    EXPECT_EQ(listOf(&f)->topLevelItem(0)->text(31), "Tea");

    // Deleted meanwhile: "record not found!" and no form.
    db->execute("DELETE FROM bundle WHERE bundlenumber = '502'");
    selectRow(&f, 1);
    seen = whenModal("frmBundle_S", [](QDialog*) {});
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdModify");
    ASSERT_EQ(messagesSince(mark), QStringList({"record not found!"}));
    EXPECT_EQ(prompter.shown.last().title, "error");
    QTest::qWait(20);
    EXPECT_FALSE(*seen);
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 1);

    // The export: sheet name, captions, one row with ten pairs.
    QStringList opened;
    ui::Exports().folder = QString::fromStdString(dir.file("out"));
    ui::Exports().open = [&](const QString& p) { opened << p; };
    click(&f, "cmdExcel");
    ui::Exports() = {};
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(prompter.shown.last().text.startsWith("S111196\n"));
    const sheets::ReadSheet s = sheets::ReadFirstSheet(opened[0].toStdString());
    EXPECT_EQ(s.name, "套餐");
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_EQ(s.at(0, 22).text, "S111350");
    EXPECT_EQ(s.at(0, 23).text, "");
    QStringList cells;
    for (int c = 0; c < 24; ++c) cells << QString::fromStdString(s.at(1, c).text);
    QStringList expected{"501", "Breakfast", "3.5", "9001", "2", "9002", "1.5"};
    for (int i = 2; i < 9; ++i) expected << "" << "0";
    expected << "9001" << "3" << "";
    EXPECT_EQ(cells, expected);
    EXPECT_EQ(s.at(1, 0).type, sheets::ReadCell::Type::Text);
    EXPECT_EQ(s.at(1, 2).type, sheets::ReadCell::Type::Number);
}

// ---- all three -------------------------------------------------------------------

struct RefusedInsertTest : FormsFixture {};

// The database refuses the insert: the error is shown, the list gains no
// row, and the entry form stays open with what was typed.
TEST_F(RefusedInsertTest, NoListRowWithoutAStoredRow) {
    struct Case {
        const char* table;
        std::function<std::unique_ptr<ui::TableListForm>()> open;
        const char* entry;
        std::vector<std::pair<const char*, QString>> typed;
    };
    const Case cases[] = {
        {"member",
         [] { return std::make_unique<MemberForm>(); },
         "frmMember_S",
         {{"txtId", "1001"}, {"txtName", "Anna"}}},
        {"promotion",
         [] { return std::make_unique<PromotionForm>(); },
         "frmPromotion_S",
         {{"txtPromotionName", "Coffee"}, {"txtPLUId", "9003"}, {"txtQuantity", "1"}}},
        {"bundle",
         [] { return std::make_unique<BundleForm>(); },
         "frmBundle_S",
         {{"txtBundleID", "501"}, {"txtBundleName", "Breakfast"}, {"txtPrice", "3.5"}, {"txtPluID1", "9001"}}},
    };
    for (const Case& c : cases) {
        const std::string table = c.table;
        db->execute("CREATE TRIGGER refuse_" + table + " BEFORE INSERT ON " + table +
                    " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        std::unique_ptr<ui::TableListForm> f = c.open();
        f->show();
        const qsizetype mark = prompter.shown.size();
        auto seen = whenModal(c.entry, [&](QDialog* d) {
            for (const auto& [box, value] : c.typed)
                setText(d, box, value);
            click(d, "cmdSave");
            EXPECT_TRUE(d->isVisible()) << table;
            for (const auto& [box, value] : c.typed)
                EXPECT_EQ(text(d, box), value) << table << " " << box;
        });
        click(f.get(), "cmdAdd");
        EXPECT_TRUE(*seen) << table;
        const QStringList shown = messagesSince(mark);
        ASSERT_EQ(shown.size(), 1) << table;
        EXPECT_TRUE(shown[0].startsWith("S111465\n")) << shown[0].toStdString();
        EXPECT_TRUE(shown[0].contains("disk full")) << shown[0].toStdString();
        EXPECT_EQ(listOf(f.get())->topLevelItemCount(), 0) << table;
        EXPECT_EQ(db->scalar("SELECT count(*) FROM " + table).toInt(), 0) << table;
        db->execute("DROP TRIGGER refuse_" + table);
    }
}
