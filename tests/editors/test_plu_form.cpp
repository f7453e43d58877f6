// The PLU editor driven by object name: list, tree, paging, search, entry
// form checks and flows, delete, export.
#include "FormsFixture.h"
#include "app/AppState.h"
#include "editors/PluForm.h"
#include "ui/SheetExport.h"
#include "import/Spreadsheet.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QRadioButton>

#include <filesystem>
#include <fstream>

using namespace ecr;
using namespace ecr::editors;
using namespace ecr::ui;
using Icon = ecr::ui::Prompter::Icon;

namespace {

struct PluFormTest : FormsFixture {
    void plu(const std::string& id, const std::string& name, int depart, long long sid, double price = 1, int a0 = 0) {
        db->execute("INSERT INTO plu(id, name, depart, price, safestock, stockvalue, a0, memberprice, AveragePrice, sid) "
                    "VALUES(?,?,?,?,0,0,?,0,0,?)",
                    {id, name, depart, price, a0, sid});
    }
    void depart(int id, const std::string& name) {
        db->execute("INSERT INTO depart(id, name) VALUES(?, ?)", {id, name});
    }
    long long count(const char* where = "1") {
        return db->scalar(std::string("SELECT count(*) FROM plu WHERE ") + where).toInt();
    }
    QString position(PluForm& f) { return child<QLabel>(&f, "Label3")->text(); }
    QTreeWidgetItem* node(PluForm& f, const QString& key) {
        QTreeWidgetItem* root = f.tree()->topLevelItem(0);
        if (key == "root") return root;
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->data(0, Qt::UserRole).toString() == key) return root->child(i);
        return nullptr;
    }
    void clickNode(PluForm& f, QTreeWidgetItem* n) {
        ASSERT_NE(n, nullptr);
        QTest::mouseClick(f.tree()->viewport(), Qt::LeftButton, {}, f.tree()->visualItemRect(n).center());
    }
    // Fills the entry form and saves.
    static void fill(QDialog* d, const QString& id, const QString& name, const QString& dep, const QString& price,
                     const QString& safe, const QString& stock) {
        setText(d, "txtId", id);
        setText(d, "txtName", name);
        setText(d, "txtDepart", dep);
        setText(d, "txtPrice", price);
        setText(d, "txtSafeStock", safe);
        setText(d, "txtStockValue", stock);
    }
    // Adds one PLU through cmdAdd, answering the add-another question No.
    void addThroughForm(PluForm& f, const QString& id) {
        prompter.answers = {false};
        auto seen = whenModal("frmPLU_S", [&](QDialog* d) {
            fill(d, id, "Item " + id, "1", "2", "0", "5");
            click(d, "cmdSave");
        });
        click(&f, "cmdAdd");
        EXPECT_TRUE(*seen);
    }
};

} // namespace

TEST_F(PluFormTest, CaptionsColumnsAndDecimalPlaces) {
    PluForm f;
    EXPECT_EQ(f.objectName(), "frmPLU");
    EXPECT_EQ(f.windowTitle(), "S110020");
    EXPECT_EQ(child<QLabel>(&f, "Label1")->text(), "S111071");
    EXPECT_EQ(child<QLabel>(&f, "Label2")->text(), "S111072");
    EXPECT_EQ(child<QLabel>(&f, "Label36")->text(), "S111424:");
    EXPECT_EQ(child<QLabel>(&f, "Label7")->text(), "S111522:");
    EXPECT_EQ(child<QLabel>(&f, "Label8")->text(), "S111523:");
    const std::pair<const char*, const char*> buttons[] = {
        {"cmdContinue", "S111527"}, {"cmdStop", "S111524"},   {"cmdClose", "S111525"}, {"cmdUpload", "S111014"},
        {"cmdDownload", "S111015"}, {"cmdDelAll", "S111357"}, {"cmdExcel", "S111315"}, {"cmdAdd", "S111017"},
        {"cmdModify", "S111018"},   {"cmdDelete", "S111016"}, {"cmdSearch", "S111387"}, {"cmdExit", "S111019"}};
    for (auto [name, caption] : buttons) EXPECT_EQ(child<QPushButton>(&f, name)->text(), caption) << name;
    QStringList headers;
    for (int c = 0; c < listOf(&f)->columnCount(); ++c) headers << listOf(&f)->headerItem()->text(c);
    EXPECT_EQ(headers, QStringList({"S111074", "S111075", "S111076", "S111077", "S111448", "S111449", "S111078",
                                    "S111079", "S111080"}));
    // The decimals prices are read and written with, and where they come from:
    // the default without a params row, then the register's parameters.
    EXPECT_EQ(child<QLabel>(&f, "Label6")->text(), "S120831 2");
    db->execute("INSERT INTO params(PointEn) VALUES(3)");
    PluForm g;
    EXPECT_EQ(child<QLabel>(&g, "Label6")->text(), "S120830 3");
    db->execute("UPDATE params SET PointEn = 0");
    PluForm h;
    EXPECT_EQ(child<QLabel>(&h, "Label6")->text(), "S120830 0"); // prices without decimals
    EXPECT_FALSE(child<QWidget>(&g, "fraProgress")->isVisible());
}

TEST_F(PluFormTest, TreeOfDepartmentsAndRowsAsShown) {
    depart(3, "Dairy");
    depart(1, "Drinks");
    plu("100", "Milk", 3, 0, 12.5, 1);
    db->execute("UPDATE plu SET memberprice = 1.234, AveragePrice = 8, safestock = 2, stockvalue = 10.5 WHERE id='100'");
    plu("200", "Cola", 1, 1, 3);
    PluForm f;
    QTreeWidgetItem* root = f.tree()->topLevelItem(0);
    EXPECT_EQ(root->text(0), "S111032");
    EXPECT_TRUE(root->isExpanded());
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(0)->text(0), " ( S111171 ) ");
    EXPECT_EQ(root->child(1)->text(0), "1 - Drinks");
    EXPECT_EQ(root->child(2)->text(0), "3 - Dairy");
    EXPECT_EQ(root->child(2)->data(0, Qt::UserRole).toString(), "id3");
    // Opens on every PLU, in code order.
    EXPECT_EQ(f.tree()->currentItem(), root->child(0));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)),
              QStringList({"100", "Milk", "3", "12.50", "1.234", "8.00", "2.000", "10.500", "S111232"}));
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(1)),
              QStringList({"200", "Cola", "1", "3.00", "0.00", "0.00", "0.000", "0.000", ""}));
    EXPECT_EQ(listOf(&f)->topLevelItem(0)->data(0, Qt::UserRole).toString(), "id100");
}

TEST_F(PluFormTest, PagesOfThirtyWithPositionLabel) {
    depart(2, "Two");
    depart(5, "Empty");
    db::Transaction tx(*db);
    for (int i = 0; i < 75; ++i) plu(QString("%1").arg(i, 3, 10, QChar('0')).toStdString(), "P", i < 40 ? 2 : 1, i);
    tx.commit();
    PluForm f;
    f.show();
    QTreeWidget* l = listOf(&f);
    auto page = [&] { return std::make_pair(position(f), l->topLevelItemCount()); };
    EXPECT_EQ(page(), std::make_pair(QString("1(3)"), 30));
    EXPECT_EQ(l->topLevelItem(0)->text(0), "000");
    click(&f, "cmdNext");
    EXPECT_EQ(page(), std::make_pair(QString("2(3)"), 30));
    EXPECT_EQ(l->topLevelItem(0)->text(0), "030");
    click(&f, "cmdLast");
    EXPECT_EQ(page(), std::make_pair(QString("3(3)"), 15));
    EXPECT_EQ(l->topLevelItem(14)->text(0), "074");
    click(&f, "cmdNext"); // not past the last page
    EXPECT_EQ(page(), std::make_pair(QString("3(3)"), 15));
    click(&f, "cmdPrev");
    EXPECT_EQ(page(), std::make_pair(QString("2(3)"), 30));
    click(&f, "cmdFirst");
    click(&f, "cmdPrev"); // not before the first
    EXPECT_EQ(page(), std::make_pair(QString("1(3)"), 30));

    // A department: its PLUs only, from its first page.
    click(&f, "cmdLast");
    clickNode(f, node(f, "id2"));
    EXPECT_EQ(page(), std::make_pair(QString("1(2)"), 30));
    click(&f, "cmdNext");
    EXPECT_EQ(page(), std::make_pair(QString("2(2)"), 10));
    // A department without PLUs empties the list and shows no page of none.
    const qsizetype mark = prompter.shown.size();
    clickNode(f, node(f, "id5"));
    EXPECT_EQ(page(), std::make_pair(QString("0(0)"), 0));
    EXPECT_EQ(prompter.shown.size(), mark); // no search: nothing to say
    // The root node changes nothing.
    clickNode(f, node(f, "all"));
    EXPECT_EQ(page(), std::make_pair(QString("1(3)"), 30));
    clickNode(f, node(f, "root"));
    EXPECT_EQ(page(), std::make_pair(QString("1(3)"), 30));
}

TEST_F(PluFormTest, SearchByCodeAndByNameTakesTheTextLiterallyInAnyCase) {
    plu("1", "Tom's Tea", 1, 0);
    plu("2", "Toms Tea", 1, 1);
    plu("3", "100% Juice", 1, 2);
    plu("4", "1000 Juice", 1, 3);
    plu("5", "Drab", 1, 4);
    plu("6", "Abba", 1, 5);
    PluForm f;
    f.show();
    auto search = [&](bool byCode, const QString& text) {
        auto seen = whenModal("frmPLUSearch", [&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), "S111387");
            EXPECT_EQ(child<QRadioButton>(d, "Option1")->text(), "S111307");
            EXPECT_EQ(child<QRadioButton>(d, "Option2")->text(), "S111308");
            EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "S111388:");
            child<QRadioButton>(d, byCode ? "Option1" : "Option2")->setChecked(true);
            setText(d, "txtPlu", text);
            click(d, "cmdSearch");
            EXPECT_FALSE(d->isVisible());
        });
        click(&f, "cmdSearch");
        EXPECT_TRUE(*seen);
        QStringList ids;
        for (int i = 0; i < listOf(&f)->topLevelItemCount(); ++i) ids << listOf(&f)->topLevelItem(i)->text(0);
        return ids;
    };
    EXPECT_EQ(search(false, "Tom's"), QStringList({"1"}));
    EXPECT_EQ(f.tree()->currentItem(), node(f, "root"));
    EXPECT_EQ(position(f), "1(1)");
    EXPECT_EQ(search(false, "100%"), QStringList({"3"})); // % is no wildcard
    EXPECT_EQ(search(false, "ab"), QStringList({"5", "6"})); // in any case
    EXPECT_EQ(search(false, "TEA"), QStringList({"1", "2"}));
    qsizetype mark = prompter.shown.size();
    EXPECT_EQ(search(false, "100_"), QStringList());          // _ is no wildcard either
    // A search without hits says so and shows no page of none.
    EXPECT_EQ(messagesSince(mark), QStringList({"S120832 100_"}));
    EXPECT_EQ(position(f), "0(0)");
    EXPECT_EQ(search(true, "2"), QStringList({"2"}));
    mark = prompter.shown.size();
    EXPECT_EQ(search(true, "'; DROP TABLE plu; --"), QStringList());
    EXPECT_EQ(messagesSince(mark), QStringList({"S120832 '; DROP TABLE plu; --"}));
    EXPECT_EQ(count(), 6);
    // Clicking the root keeps the results; another node ends the search.
    search(false, "Tea");
    clickNode(f, node(f, "root"));
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 2);
    clickNode(f, node(f, "all"));
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 6);
    EXPECT_TRUE(f.searchName.isEmpty());
}

TEST_F(PluFormTest, EntryChecksInOrderWithFocusAndNothingWritten) {
    PluForm f;
    f.show();
    struct Step {
        const char* box;
        QString value; // typed before the next save
        const char* message;
        const char* focus;
    };
    const QString tenHanzi = QString::fromUtf8("一二三四五六七八九十");
    auto seen = whenModal("frmPLU_S", [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "S111073");
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "S111074:");
        EXPECT_EQ(child<QLabel>(d, "Label9")->text(), "S111449:");
        EXPECT_EQ(child<QPushButton>(d, "cmdSave")->text(), "S111009");
        EXPECT_EQ(child<QPushButton>(d, "cmdCancel")->text(), "S111010");
        auto* cbo = child<QComboBox>(d, "cboA0");
        ASSERT_EQ(cbo->count(), 2);
        EXPECT_EQ(cbo->itemText(0), "S111233");
        EXPECT_EQ(cbo->itemText(1), "S111232");
        EXPECT_EQ(cbo->currentIndex(), 0);
        const std::vector<Step> steps = {
            {"txtId", "  ", "S111172", "txtId"}, // blanks only
            {"txtId", "690001", "S111173", "txtName"},
            {"txtName", tenHanzi + QString::fromUtf8("十"), "S111174", "txtName"}, // 22 bytes
            {"txtName", tenHanzi, "S111175", "txtDepart"},                          // 20 bytes pass
            {"txtDepart", "4", "S111176", "txtPrice"},
            {"txtPrice", "9.90", "S111177", "txtSafeStock"},
            {"txtSafeStock", "1", "S111178", "txtStockValue"},
        };
        for (const Step& s : steps) {
            setText(d, s.box, s.value);
            const qsizetype mark = prompter.shown.size();
            click(d, "cmdSave");
            ASSERT_EQ(prompter.shown.size(), mark + 1) << s.message;
            EXPECT_EQ(prompter.shown.last().text, s.message);
            EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
            EXPECT_EQ(prompter.shown.last().title, "S111115");
            EXPECT_EQ(focusName(d), s.focus) << s.message;
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(count(), 0);
        }
        click(d, "cmdCancel");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(count(), 0);
}

TEST_F(PluFormTest, DuplicateCodeIsRefusedAndNothingWritten) {
    plu("690001", "Old", 1, 0, 5);
    PluForm f;
    f.show();
    auto seen = whenModal("frmPLU_S", [&](QDialog* d) {
        fill(d, "690001", "New", "2", "7", "0", "0");
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111401");
        EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
        EXPECT_TRUE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(db->scalar("SELECT name FROM plu").toText(), "Old");
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 1);
}

TEST_F(PluFormTest, SidsRunZeroToSixtyThreeThenNextPageAndReuseTheFreedHighest) {
    PluForm f;
    f.show();
    auto selectByCode = [&](const QString& code) {
        auto seen = whenModal("frmPLUSearch", [&](QDialog* d) {
            setText(d, "txtPlu", code);
            click(d, "cmdSearch");
        });
        click(&f, "cmdSearch");
        ASSERT_TRUE(*seen);
        ASSERT_EQ(listOf(&f)->topLevelItemCount(), 1);
        selectRow(&f, 0);
    };
    auto sidOf = [&](const char* id) { return db->scalar("SELECT sid FROM plu WHERE id=?", {id}).toInt(); };

    addThroughForm(f, "9000");
    EXPECT_EQ(sidOf("9000"), 0);
    // Slots 1..63 taken: the next PLU starts the second page.
    {
        db::Transaction tx(*db);
        for (int s = 1; s <= 63; ++s) plu("S" + std::to_string(s), "x", 1, s);
        tx.commit();
    }
    addThroughForm(f, "9001");
    EXPECT_EQ(sidOf("9001"), 100);
    {
        db::Transaction tx(*db);
        for (int s = 101; s <= 162; ++s) plu("S" + std::to_string(s), "x", 1, s);
        plu("9999", "x", 1, 163);
        tx.commit();
    }
    // Deleting the highest frees its slot for the next PLU...
    selectByCode("9999");
    prompter.answers = {true};
    click(&f, "cmdDelete");
    EXPECT_EQ(count("id='9999'"), 0);
    addThroughForm(f, "9002");
    EXPECT_EQ(sidOf("9002"), 163);
    // ...a gap in the middle stays a gap.
    selectByCode("S5");
    prompter.answers = {true};
    click(&f, "cmdDelete");
    addThroughForm(f, "9003");
    EXPECT_EQ(sidOf("9003"), 200);
    EXPECT_EQ(count("sid=5"), 0);
}

// With keyboard 0 the register has 64 PLU pages of 64: once all 4096 places
// are taken the next add is refused with a message and nothing is written;
// a freed place is taken again.
TEST_F(PluFormTest, AFullTableRefusesTheNextAdd) {
    db->execute("INSERT INTO info(keyboard) VALUES(0)");
    {
        db::Transaction tx(*db);
        for (int page = 0; page < 64; ++page)
            for (int r = 0; r < 64; ++r) plu(std::to_string(100000 + page * 100 + r), "x", 1, page * 100 + r);
        tx.commit();
    }
    PluForm f;
    f.show();
    QStringList shown;
    auto seen = whenModal("frmPLU_S", [&](QDialog* d) {
        fill(d, "777", "Full", "1", "2", "0", "5");
        const qsizetype mark = prompter.shown.size();
        click(d, "cmdSave");
        shown = messagesSince(mark);
        EXPECT_TRUE(d->isVisible());
    });
    click(&f, "cmdAdd");
    ASSERT_TRUE(*seen);
    EXPECT_EQ(shown, QStringList({"S120110"}));
    EXPECT_EQ(count(), 4096);
    EXPECT_EQ(count("id='777'"), 0);

    db->execute("DELETE FROM plu WHERE sid = 1234");
    addThroughForm(f, "777");
    EXPECT_EQ(db->scalar("SELECT sid FROM plu WHERE id='777'").toInt(), 1234);
}

TEST_F(PluFormTest, AddPresetsTheTreesDepartmentAndAddAnotherResetsTheRightFields) {
    depart(3, "Dairy");
    PluForm f;
    f.show();
    // "all" selected: no preset.
    auto seen = whenModal("frmPLU_S", [&](QDialog* d) { EXPECT_EQ(text(d, "txtDepart"), ""); });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);

    clickNode(f, node(f, "id3"));
    prompter.answers = {true, false};
    seen = whenModal("frmPLU_S", [&](QDialog* d) {
        EXPECT_EQ(text(d, "txtDepart"), "3");
        EXPECT_EQ(focusName(d), "txtId");
        fill(d, "111", "Yoghurt", "3", "1.5", "2", "30");
        setText(d, "txtMemberPrice", "1.4");
        setText(d, "txtAveragePrice", "0.9");
        child<QComboBox>(d, "cboA0")->setCurrentIndex(0);
        click(d, "cmdSave");
        ASSERT_TRUE(prompter.shown.last().question);
        EXPECT_EQ(prompter.shown.last().text, "S111179");
        EXPECT_EQ(prompter.shown.last().icon, Icon::Exclamation);
        // Yes: ready for the next one.
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(text(d, "txtId"), "");
        EXPECT_EQ(text(d, "txtName"), "");
        EXPECT_EQ(text(d, "txtPrice"), "0");
        EXPECT_EQ(text(d, "txtSafeStock"), "0");
        EXPECT_EQ(text(d, "txtStockValue"), "0");
        EXPECT_EQ(child<QComboBox>(d, "cboA0")->currentIndex(), 1);
        EXPECT_EQ(text(d, "txtDepart"), "3");
        EXPECT_EQ(text(d, "txtMemberPrice"), "1.4");
        EXPECT_EQ(text(d, "txtAveragePrice"), "0.9");
        EXPECT_EQ(focusName(d), "txtId");
        setText(d, "txtId", "112");
        setText(d, "txtName", "Kefir");
        click(d, "cmdSave"); // No: the form closes
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    auto rows = db->query("SELECT id, name, depart, price, safestock, stockvalue, a0, memberprice, AveragePrice, sid "
                          "FROM plu ORDER BY sid");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows.rows[0], (std::vector<db::Value>{"111", "Yoghurt", 3, 1.5, 2.0, 30.0, 0, 1.4, 0.9, 0}));
    EXPECT_EQ(rows.rows[1], (std::vector<db::Value>{"112", "Kefir", 3, 0.0, 0.0, 0.0, 1, 1.4, 0.9, 1}));
    // Rows appended as a fill shows them.
    QTreeWidget* l = listOf(&f);
    ASSERT_EQ(l->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(l->topLevelItem(0)),
              QStringList({"111", "Yoghurt", "3", "1.50", "1.40", "0.90", "2.000", "30.000", ""}));
    EXPECT_EQ(rowTexts(l->topLevelItem(1)),
              QStringList({"112", "Kefir", "3", "0.00", "1.40", "0.90", "0.000", "0.000", "S111232"}));
    f.FillData("first");
    EXPECT_EQ(rowTexts(l->topLevelItem(0)),
              QStringList({"111", "Yoghurt", "3", "1.50", "1.40", "0.90", "2.000", "30.000", ""}));
}

TEST_F(PluFormTest, ModifyEditsTheSelectedRowAndKeepsItsCodeAndSid) {
    plu("7", "Old", 2, 42, 1.25, 1);
    PluForm f;
    f.show();
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdModify");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111168"}));

    selectRow(&f, 0);
    auto seen = whenModal("frmPLU_S", [&](QDialog* d) {
        EXPECT_FALSE(child<QLineEdit>(d, "txtId")->isEnabled());
        EXPECT_EQ(text(d, "txtId"), "7");
        EXPECT_EQ(text(d, "txtName"), "Old");
        EXPECT_EQ(text(d, "txtDepart"), "2");
        EXPECT_EQ(text(d, "txtPrice"), "1.25");
        EXPECT_EQ(text(d, "txtStockValue"), "0.000");
        EXPECT_EQ(child<QComboBox>(d, "cboA0")->currentIndex(), 1);
        setText(d, "txtName", "Joe's");
        setText(d, "txtPrice", "2.5");
        child<QComboBox>(d, "cboA0")->setCurrentIndex(0);
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*seen);
    auto r = db->query("SELECT name, price, a0, sid FROM plu WHERE id='7'");
    EXPECT_EQ(r.rows.at(0), (std::vector<db::Value>{"Joe's", 2.5, 0, 42}));
    // The row as a fill shows it.
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)),
              QStringList({"7", "Joe's", "2", "2.50", "0.00", "0.00", "0.000", "0.000", ""}));

    // A double click opens the same form without a message.
    selectRow(&f, 0);
    seen = whenModal("frmPLU_S", [&](QDialog* d) { EXPECT_EQ(text(d, "txtName"), "Joe's"); });
    emit listOf(&f)->itemDoubleClicked(listOf(&f)->topLevelItem(0), 0);
    EXPECT_TRUE(*seen);
}

TEST_F(PluFormTest, DeleteAndDeleteAllAskFirst) {
    plu("1", "a", 1, 0);
    plu("2", "b", 1, 1);
    plu("3", "c", 1, 2);
    PluForm f;
    f.show();
    qsizetype mark = prompter.shown.size();
    click(&f, "cmdDelete");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111168"}));

    selectRow(&f, 1);
    prompter.answers = {false};
    click(&f, "cmdDelete");
    EXPECT_EQ(count(), 3);
    // The question names the PLU and defaults to No.
    EXPECT_EQ(prompter.shown.last().text, "S111169\n2 b");
    EXPECT_EQ(prompter.shown.last().icon, Icon::Exclamation);
    EXPECT_FALSE(prompter.shown.last().defaultYes);

    prompter.answers = {true};
    mark = prompter.shown.size();
    click(&f, "cmdDelete");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111169\n2 b", "S111170"}));
    EXPECT_EQ(count("id='2'"), 0);
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 2);

    prompter.answers = {false};
    click(&f, "cmdDelAll");
    // How many go, and No by default.
    EXPECT_EQ(prompter.shown.last().text, "S111358\nS120200 2");
    EXPECT_FALSE(prompter.shown.last().defaultYes);
    EXPECT_EQ(count(), 2);
    prompter.answers = {true};
    mark = prompter.shown.size();
    click(&f, "cmdDelAll");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111358\nS120200 2", "S111170"}));
    EXPECT_EQ(count(), 0);
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 0);
}

// With the program's own message boxes: Enter on the "Delete all" question
// presses No, whatever the tree shows.
TEST_F(PluFormTest, DeleteAllAnsweredByEnterDeletesNothing) {
    depart(1, "Drinks");
    plu("1", "a", 1, 0);
    plu("2", "b", 2, 1);
    PluForm f;
    f.show();
    clickNode(f, node(f, "id1"));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 1);
    SetPrompter(nullptr);
    QString asked;
    QTimer enter;
    QObject::connect(&enter, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        enter.stop();
        asked = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    enter.start(1);
    click(&f, "cmdDelAll");
    SetPrompter(&prompter);
    EXPECT_EQ(asked, "S111358\nS120200 2");
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 1);
}

TEST_F(PluFormTest, ExportWritesTheSheetAndOpensIt) {
    plu("0042", "Tom's", 3, 5, 12.5, 1);
    plu("7", "Cola", 1, 2, 3, 0);
    db->execute("UPDATE plu SET memberprice = 11, AveragePrice = 8.25, safestock = 1, stockvalue = 20 WHERE id='0042'");
    QStringList opened;
    Exports().folder = QString::fromStdString(dir.file("out"));
    Exports().open = [&](const QString& p) { opened << p; };
    // Captions follow the interface language; the yes/no words the language
    // stored in info.lang (none stored: not language 1).
    for (auto [lang, stored] : {std::pair{1, 3}, {3, 1}, {1, 0}}) {
        App().langCode = lang;
        db->execute("DELETE FROM info");
        if (stored) db->execute("INSERT INTO info(lang) VALUES(?)", {stored});
        PluForm f;
        f.show();
        const qsizetype mark = prompter.shown.size();
        click(&f, "cmdExcel");
        ASSERT_FALSE(opened.isEmpty());
        EXPECT_TRUE(std::filesystem::exists(opened.last().toStdString()));
        EXPECT_TRUE(opened.last().endsWith(".xlsx"));
        ASSERT_EQ(messagesSince(mark).size(), 1);
        EXPECT_TRUE(prompter.shown.last().text.startsWith(lang == 1 ? "S111196\n" : "E111196\n"));
        EXPECT_FALSE(child<QWidget>(&f, "fraProgress")->isVisible());
        EXPECT_TRUE(child<QPushButton>(&f, "cmdExcel")->isEnabled());

        const sheets::ReadSheet s = sheets::ReadFirstSheet(opened.last().toStdString());
        EXPECT_EQ(s.name, "PLU");
        ASSERT_EQ(s.rows.size(), 3u);
        const std::string l = lang == 1 ? "S" : "E";
        std::vector<std::string> header;
        for (int c = 0; c < 9; ++c) header.push_back(s.at(0, c).text);
        EXPECT_EQ(header, (std::vector<std::string>{l + "111307", l + "111308", l + "111309", l + "111310",
                                                     l + "111448", l + "111449", l + "111311", l + "111312",
                                                     l + "111313"}));
        // sid order: Cola (2) before Tom's (5); codes stay text.
        EXPECT_EQ(s.at(1, 0).text, "7");
        EXPECT_EQ(s.at(2, 0).text, "0042");
        EXPECT_EQ(s.at(2, 0).type, sheets::ReadCell::Type::Text);
        EXPECT_EQ(s.at(2, 1).text, "Tom's");
        EXPECT_EQ(s.at(2, 2).number, 3);
        EXPECT_EQ(s.at(2, 3).number, 12.5);
        EXPECT_EQ(s.at(2, 4).number, 11);
        EXPECT_EQ(s.at(2, 5).number, 8.25);
        EXPECT_EQ(s.at(2, 6).number, 1);
        EXPECT_EQ(s.at(2, 7).number, 20);
        EXPECT_EQ(s.at(1, 8).text, stored == 1 ? "否" : "NO");
        EXPECT_EQ(s.at(2, 8).text, stored == 1 ? "是" : "YES");
    }
    EXPECT_EQ(opened.size(), 3);
    Exports() = {};
}

TEST_F(PluFormTest, ExportThatCannotBeWrittenSaysSoAndLogs) {
    plu("1", "a", 1, 0);
    // A folder that is a file: nobody can write below it.
    { std::ofstream(dir.file("plain")) << "x"; }
    Exports().folder = QString::fromStdString(dir.file("plain"));
    bool opened = false;
    Exports().open = [&](const QString&) { opened = true; };
    PluForm f;
    f.show();
    click(&f, "cmdExcel");
    Exports() = {};
    EXPECT_FALSE(opened);
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_EQ(prompter.shown.last().title, "Error");
    EXPECT_TRUE(prompter.shown.last().text.startsWith("S111465\n"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("ecr.log")));
    EXPECT_FALSE(child<QWidget>(&f, "fraProgress")->isVisible());
    EXPECT_TRUE(child<QPushButton>(&f, "cmdExcel")->isEnabled());
}
