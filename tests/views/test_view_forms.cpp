// The view forms offscreen: the journal's month tree, bill and line pages,
// the fiscal dates and export, the flash-cash names and delete-all.
#include "editors/FormsFixture.h"
#include "import/Spreadsheet.h"
#include "ui/SheetExport.h"
#include "views/FiscalForm.h"
#include "views/FlashCashForm.h"
#include "views/SaleDataForm.h"

#include <QLabel>
#include <QTreeView>

using namespace ecr;
using namespace ecr::views;

namespace {

struct ViewFormsTest : FormsFixture {
    int sid = 0;
    void line(long long bill, const std::string& time, const std::string& pluid = "1", int operation = 0,
              double price = 1) {
        db->execute("INSERT INTO plurecord(billnumber,pluid,price,quantity,time,operation,depart,cashier,opentable,sid)"
                    " VALUES(?,?,?,1,?,?,3,2,0,?)",
                    {bill, pluid, price, time, operation, sid++});
    }
    static QStringList treeTexts(QTreeWidget* tree) {
        QStringList t;
        for (QTreeWidgetItemIterator it(tree); *it; ++it) t << (*it)->text(0);
        return t;
    }
    static QTreeWidgetItem* node(QTreeWidget* tree, const QString& text) {
        const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    static void clickNode(QTreeWidget* tree, QTreeWidgetItem* item) {
        ASSERT_NE(item, nullptr);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    }
    static QStringList row(QTreeView* view, int r) {
        QStringList t;
        for (int c = 0; c < view->model()->columnCount(); ++c) t << view->model()->index(r, c).data().toString();
        return t;
    }
    static void clickRow(QTreeView* view, int r) {
        const QRect rect = view->visualRect(view->model()->index(r, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static QString label(QWidget* f, const char* name) { return child<QLabel>(f, name)->text(); }
};

} // namespace

TEST_F(ViewFormsTest, AnEmptyJournalShowsOnlyTheRootAndPagingDoesNothing) {
    SaleDataForm f;
    f.show();
    EXPECT_EQ(treeTexts(f.tree()), QStringList({"S120602"}));
    EXPECT_TRUE(f.tree()->topLevelItem(0)->isExpanded());
    for (int index : {0, 1})
        for (PageMove m : {PageMove::First, PageMove::Prev, PageMove::Next, PageMove::Last}) {
            ASSERT_EQ(f.pagingButton(m, index)->property("index").toInt(), index);
            QTest::mouseClick(f.pagingButton(m, index), Qt::LeftButton);
        }
    EXPECT_EQ(f.billModel()->rowCount(), 0);
    EXPECT_EQ(f.lineModel()->rowCount(), 0);
    EXPECT_EQ(label(&f, "Label5"), "");
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(ViewFormsTest, ThirtyOneBillsGiveTwoPagesAndTheLinesFollowTheChosenBill) {
    for (int b = 1; b <= 31; ++b) line(b, "2009-10-0" + std::to_string(b % 9 + 1) + " 10:00:00", std::to_string(b));
    line(7, "2009-10-20 11:30:00", "77", 16, -0.5); // bill 7 again that month, a discount
    line(7, "2010-01-02 09:00:00", "70");           // and in January
    for (int i = 0; i < 34; ++i) line(40, "2010-01-03 09:00:00", std::to_string(9000 + i));
    SaleDataForm f;
    f.show();
    EXPECT_EQ(treeTexts(f.tree()), QStringList({"S120602", "200910", "201001"}));

    clickNode(f.tree(), node(f.tree(), "200910"));
    EXPECT_EQ(f.chosenMonth(), "200910");
    EXPECT_EQ(label(&f, "Label5"), "1(2)");
    ASSERT_EQ(f.billModel()->rowCount(), 30);
    EXPECT_EQ(row(f.billView(), 0), QStringList({"1", "2009-10-02", "2", "1", "1.00"}));
    // The lines of the page's first bill.
    EXPECT_EQ(label(&f, "Label6"), "1(1)");
    EXPECT_EQ(row(f.lineView(), 0), QStringList({"1", "3", "1", "1.00", "0", "0"}));

    QTest::mouseClick(f.pagingButton(PageMove::Next, 0), Qt::LeftButton);
    EXPECT_EQ(label(&f, "Label5"), "2(2)");
    EXPECT_EQ(f.billModel()->rowCount(), 2);
    QTest::mouseClick(f.pagingButton(PageMove::Prev, 0), Qt::LeftButton);

    // Bill 7 of October: both its October lines, not January's.
    const int seventh = 7; // rows 0..5 are bills 1..6; bill 7 has two time stamps
    EXPECT_EQ(row(f.billView(), 6)[0], "7");
    EXPECT_EQ(row(f.billView(), seventh)[0], "7");
    clickRow(f.billView(), seventh);
    ASSERT_EQ(f.lineModel()->rowCount(), 2);
    EXPECT_EQ(row(f.lineView(), 0)[0], "7");
    EXPECT_EQ(row(f.lineView(), 1), QStringList({"77", "3", "1", "-0.50", "S111591 (16)", "0"}));

    // The root, or a month left for the root: paging does nothing.
    clickNode(f.tree(), f.tree()->topLevelItem(0));
    QTest::mouseClick(f.pagingButton(PageMove::Next, 0), Qt::LeftButton);
    QTest::mouseClick(f.pagingButton(PageMove::Next, 1), Qt::LeftButton);
    EXPECT_EQ(label(&f, "Label5"), "1(2)");
    EXPECT_EQ(f.lineModel()->rowCount(), 2);

    // January: bill 7's January line; bill 40's 34 lines on two pages.
    clickNode(f.tree(), node(f.tree(), "201001"));
    EXPECT_EQ(label(&f, "Label5"), "1(1)");
    EXPECT_EQ(row(f.lineView(), 0)[0], "70");
    clickRow(f.billView(), 1);
    EXPECT_EQ(label(&f, "Label6"), "1(2)");
    QTest::mouseClick(f.pagingButton(PageMove::Last, 1), Qt::LeftButton);
    EXPECT_EQ(label(&f, "Label6"), "2(2)");
    ASSERT_EQ(f.lineModel()->rowCount(), 4);
    EXPECT_EQ(row(f.lineView(), 3)[0], "9033");

    // Query reads the database again and keeps the month.
    db->execute("DELETE FROM plurecord WHERE billnumber=40");
    click(&f, "cmdFind");
    EXPECT_EQ(f.chosenMonth(), "201001");
    EXPECT_EQ(f.billModel()->rowCount(), 1);
    db->execute("DELETE FROM plurecord WHERE time LIKE '2010%'");
    click(&f, "cmdFind");
    EXPECT_EQ(treeTexts(f.tree()), QStringList({"S120602", "200910"}));
    EXPECT_EQ(f.billModel()->rowCount(), 0);
    EXPECT_EQ(label(&f, "Label5"), "");
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(ViewFormsTest, ThreeFiscalDatesGiveThreeNodesAndTheExportReadsBack) {
    db->executeScript("INSERT INTO fiscal(fyear,fday,saleprice,refundprice,taxprice,bill,refundnum,mdate) VALUES"
                      "(2009,1,812.45,0,48.75,90,0,'2009-01-01 00:00:00'),"
                      "(2009,33,1000,12.5,60,93,1,'2009-02-01 00:00:00'),"
                      "(2010,417,20,0,1.2,8,0,'2009-02-01 00:00:00'),"
                      "(2009,2,7.5,0,0.45,3,0,'2009-01-02 00:00:00');");
    FiscalForm f;
    f.show();
    EXPECT_EQ(treeTexts(f.tree()), QStringList({"2009-01-01", "2009-01-02", "2009-02-01"}));
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 0);
    clickNode(f.tree(), f.tree()->topLevelItem(2));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)), QStringList({"33", "1000.00", "12.50", "60.00", "93", "1"}));
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(1))[0], "417");

    QStringList opened;
    ui::Exports().folder = QString::fromStdString(dir.file("out"));
    ui::Exports().open = [&](const QString& p) { opened << p; };
    click(&f, "cmdExcel");
    ui::Exports() = {};
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(prompter.shown.last().text, "S111196\n" + opened[0]);
    const sheets::ReadSheet s = sheets::ReadFirstSheet(opened[0].toStdString());
    EXPECT_EQ(s.name, "S111360");
    ASSERT_EQ(s.rows.size(), 5u);
    std::vector<std::string> captions;
    for (int c = 0; c < 7; ++c) captions.push_back(s.at(0, c).text);
    EXPECT_EQ(captions, (std::vector<std::string>{"S111362", "S111363", "S111364", "S111365", "S111382", "S111366",
                                                  "S111367"}));
    // The date stays text; the figures are numbers.
    EXPECT_EQ(s.at(1, 0).type, sheets::ReadCell::Type::Text);
    EXPECT_EQ(s.at(1, 0).text, "2009-01-01");
    EXPECT_EQ(s.at(1, 2).type, sheets::ReadCell::Type::Number);
    EXPECT_EQ(s.at(1, 2).number, 812.45);
    EXPECT_FALSE(child<QWidget>(&f, "fraProgress")->isVisible());
}

TEST_F(ViewFormsTest, FlashCashNamesFollowTheSavedParametersAndDeleteAllAsksNothing) {
    db->executeScript("INSERT INTO flashcash(type,total) VALUES(0,1024.75),(4,30),(12,5);"
                      "INSERT INTO params(Price3,Price4) VALUES('USD','Visa');");
    FlashCashForm f;
    f.show();
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)), QStringList({"S111548", "1024.75"}));
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(1)), QStringList({"Visa", "30.00"}));
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(2)), QStringList({"", "5.00"}));
    click(&f, "cmdDelAll");
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 0);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM flashcash").toInt(), 0);
}
