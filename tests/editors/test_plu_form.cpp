// The PLU editor driven by object name: list, tree, paging, search, entry
// form flows, delete, export.
#include "FormsFixture.h"
#include "app/AppState.h"
#include "editors/PluForm.h"
#include "ui/SheetExport.h"
#include "import/Spreadsheet.h"

#include <QComboBox>
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
    // Fills the boxes the entry form requires.
    static void fill(QDialog* d, const QString& id, const QString& name, const QString& dep, const QString& price,
                     const QString& safe, const QString& stock) {
        setText(d, "txtId", id);
        setText(d, "txtName", name);
        setText(d, "txtDepart", dep);
        setText(d, "txtPrice", price);
        setText(d, "txtSafeStock", safe);
        setText(d, "txtStockValue", stock);
    }
};

} // namespace

// The decimals prices are read and written with, and where they come from:
// the default without a params row, then the register's parameters.
TEST_F(PluFormTest, DecimalPlacesFollowTheParameters) {
    const struct {
        const char* sql;
        const char* label;
    } cases[] = {{"DELETE FROM params", "S120831 2"},
                 {"INSERT INTO params(PointEn) VALUES(3)", "S120830 3"},
                 {"UPDATE params SET PointEn = 0", "S120830 0"}}; // prices without decimals
    for (const auto& c : cases) {
        db->execute(c.sql);
        PluForm f;
        EXPECT_EQ(child<QLabel>(&f, "Label6")->text(), c.label);
    }
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
    EXPECT_EQ(search(false, "ab"), QStringList({"5", "6"})); // in any case
    qsizetype mark = prompter.shown.size();
    EXPECT_EQ(search(false, "100_"), QStringList()); // _ is no wildcard
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

TEST_F(PluFormTest, AddPresetsTheTreesDepartmentAndAddAnotherResetsTheRightFields) {
    depart(3, "Dairy");
    PluForm f;
    f.show();
    // "all" selected: no preset.
    auto seen = whenModal("frmPLU_S", [&](QDialog* d) {
        EXPECT_EQ(text(d, "txtDepart"), "");
        EXPECT_EQ(child<QComboBox>(d, "cboA0")->currentIndex(), 0);
    });
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
        // Yes: ready for the next one, the department and the two extra prices kept.
        EXPECT_TRUE(d->isVisible());
        QStringList boxes;
        for (const char* b : {"txtId", "txtName", "txtDepart", "txtPrice", "txtMemberPrice", "txtAveragePrice",
                              "txtSafeStock", "txtStockValue"})
            boxes << text(d, b);
        EXPECT_EQ(boxes, QStringList({"", "", "3", "0", "1.4", "0.9", "0", "0"}));
        EXPECT_EQ(child<QComboBox>(d, "cboA0")->currentIndex(), 1);
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
}

TEST_F(PluFormTest, ModifyEditsTheSelectedRowAndKeepsItsCodeAndSid) {
    plu("7", "Old", 2, 42, 1.25, 1);
    PluForm f;
    f.show();
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
        EXPECT_TRUE(opened.last().endsWith(".xlsx"));
        EXPECT_EQ(messagesSince(mark).size(), 1);
        EXPECT_TRUE(prompter.shown.last().text.startsWith(lang == 1 ? "S111196\n" : "E111196\n"));

        const sheets::ReadSheet s = sheets::ReadFirstSheet(opened.last().toStdString());
        EXPECT_EQ(s.name, "PLU");
        ASSERT_EQ(s.rows.size(), 3u);
        EXPECT_EQ(s.at(0, 8).text, (lang == 1 ? "S" : "E") + std::string("111313"));
        // sid order: Cola (2) before Tom's (5); codes stay text.
        EXPECT_EQ(s.at(1, 0).text, "7");
        EXPECT_EQ(s.at(2, 0).text, "0042");
        EXPECT_EQ(s.at(2, 0).type, sheets::ReadCell::Type::Text);
        EXPECT_EQ(s.at(2, 1).text, "Tom's");
        std::vector<double> numbers;
        for (int c = 2; c < 8; ++c) numbers.push_back(s.at(2, c).number);
        EXPECT_EQ(numbers, (std::vector<double>{3, 12.5, 11, 8.25, 1, 20}));
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
