// The editors from the keyboard and at a glance: the keys of the list forms,
// the tab order of the PLU entry form, the default answer of every
// destructive question, numbers on the trailing side, columns fitted to what
// they show, and an export that no program can open.
#include "FormsFixture.h"
#include "editors/BundleForm.h"
#include "editors/CashierForm.h"
#include "editors/DepartForm.h"
#include "editors/MemberForm.h"
#include "editors/PluForm.h"
#include "editors/PromotionForm.h"
#include "ui/SheetExport.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

using namespace ecr;
using namespace ecr::editors;
using namespace ecr::ui;

namespace {

struct ListKeysTest : FormsFixture {
    void plu(const std::string& id, const std::string& name, int depart, long long sid, double stock = 0) {
        db->execute("INSERT INTO plu(id, name, depart, price, safestock, stockvalue, a0, memberprice, AveragePrice, sid) "
                    "VALUES(?,?,?,1.5,?,0,0,0,0,?)",
                    {id, name, depart, stock, sid});
    }
    static void key(QWidget* w, int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(w, static_cast<Qt::Key>(k), m);
    }
};

} // namespace

TEST_F(ListKeysTest, ListKeysOpenAddModifyDeleteSearchAndRefresh) {
    plu("1001", "Tea", 1, 0);
    plu("1002", "Coffee", 1, 1);
    PluForm f;
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTreeWidget* list = listOf(&f);
    list->setFocus();
    selectRow(&f, 1);

    // Each key opens what its button opens; the button names its key.
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* button;
        const char* tip;
        const char* dialog; // nullptr: a question
    } keys[] = {
        {Qt::Key_Insert, Qt::NoModifier, "cmdAdd", "Ins", "frmPLU_S"},
        {Qt::Key_Return, Qt::NoModifier, "cmdModify", "Return", "frmPLU_S"},
        {Qt::Key_Enter, Qt::NoModifier, "cmdModify", "Return", "frmPLU_S"},
        {Qt::Key_F, Qt::ControlModifier, "cmdSearch", "Ctrl+F", "frmPLUSearch"},
        {Qt::Key_Delete, Qt::NoModifier, "cmdDelete", "Del", nullptr},
    };
    for (const auto& k : keys) {
        // Back in the list after the dialog before, as a user is.
        f.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
        list->setFocus();
        EXPECT_EQ(child<QPushButton>(&f, k.button)->toolTip(), k.tip) << k.button;
        if (k.dialog) {
            bool modify = false;
            auto seen = whenModal(k.dialog, [&](QDialog* d) {
                if (auto* id = d->findChild<QLineEdit*>("txtId")) modify = !id->isEnabled();
            });
            key(list, k.key, k.modifiers);
            EXPECT_TRUE(*seen) << k.button;
            EXPECT_EQ(modify, QString(k.button) == "cmdModify") << k.button;
        } else {
            const qsizetype mark = prompter.shown.size();
            prompter.answers = {false};
            key(list, k.key, k.modifiers);
            ASSERT_EQ(prompter.shown.size(), mark + 1) << k.button;
            EXPECT_EQ(prompter.shown.last().text, "S111169\n1002 Coffee");
        }
    }
    EXPECT_EQ(child<QPushButton>(&f, "cmdExit")->toolTip(), "Esc");

    // Delete and Enter belong to the list: in a text box they edit the text.
    auto* start = child<QLineEdit>(&f, "txtStartPage");
    start->setText("12");
    start->setFocus();
    start->setCursorPosition(0);
    const qsizetype mark = prompter.shown.size();
    key(start, Qt::Key_Delete);
    EXPECT_EQ(start->text(), "2");
    EXPECT_EQ(prompter.shown.size(), mark);

    // F5 reads the list again where it stands.
    plu("1003", "Cocoa", 1, 2);
    EXPECT_EQ(list->topLevelItemCount(), 2);
    key(&f, Qt::Key_F5);
    EXPECT_EQ(list->topLevelItemCount(), 3);
    // Not while a transfer holds the form.
    plu("1004", "Milk", 1, 3);
    f.SetControlsEnabled(false);
    key(&f, Qt::Key_F5);
    EXPECT_EQ(list->topLevelItemCount(), 3);
    f.SetControlsEnabled(true);

    // Escape closes the form.
    key(&f, Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible());
}

TEST_F(ListKeysTest, TabWalksThePluEntryFormInReadingOrder) {
    plu("1001", "Tea", 1, 0);
    PluForm f;
    f.show();
    const QStringList addOrder = {"txtId",         "txtName",         "txtDepart",   "txtPrice", "txtMemberPrice",
                                  "txtAveragePrice", "txtSafeStock", "txtStockValue", "cboA0",    "cmdSave",
                                  "cmdCancel",     "txtId"};
    auto walk = [&](QDialog* d, int steps) {
        QStringList seen{focusName(d)};
        for (int i = 0; i < steps; ++i) {
            QWidget* at = d->focusWidget();
            if (!at) break;
            QTest::keyClick(at, Qt::Key_Tab);
            seen << focusName(d);
        }
        return seen;
    };
    auto added = whenModal("frmPLU_S", [&](QDialog* d) { EXPECT_EQ(walk(d, 11), addOrder); });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*added);
    // Modifying: the code cannot change, so the walk leaves it out.
    selectRow(&f, 0);
    auto modified = whenModal("frmPLU_S", [&](QDialog* d) {
        EXPECT_EQ(walk(d, 10), addOrder.mid(1, 10) << "txtName");
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*modified);
}

// Without a row Modify and Delete say what they say (or nothing) and open
// nothing. Each delete question names the row and defaults to No; No keeps
// the row, Yes deletes it (Delete all: every row) and the list shows it.
TEST_F(ListKeysTest, ModifyAndDeleteNeedARowAndDeletesAskFirstDefaultingToNo) {
    plu("1001", "Tea", 1, 0);
    plu("1002", "Milk", 1, 1);
    db->execute("INSERT INTO depart(id, name) VALUES(1, 'Drinks')");
    db->execute("INSERT INTO cashier(id, name) VALUES(1, 'Anna')");
    db->execute("INSERT INTO member(userid, username, score, addr, sid) VALUES('7', 'Ben', 0, 0, 0)");
    db->execute("INSERT INTO promotion(address, promotionname, pluid, sdate, edate, quantity, discountprice, "
                "PresentPluId, PresentQuantity) VALUES(0, 'Cola', '1001', '2009-10-01 00:00:00', '2009-10-31 00:00:00', "
                "6, 5.99, '', 0), (1, 'Tea', '1002', '2009-10-01 00:00:00', '2009-10-31 00:00:00', 6, 5.99, '', 0)");
    db->execute("INSERT INTO bundle(bundlenumber, bundlename, price, address, sid) VALUES('501', 'Set', 1, 0, 0)");
    PluForm plu;
    DepartForm depart;
    CashierForm cashier;
    MemberForm member;
    PromotionForm promotion;
    BundleForm bundle;
    using Icon = Prompter::Icon;
    const struct {
        ListForm* form;
        const char* table;
        const char* button;
        QStringList withoutRow; // Modify then the button with no row selected
        QString question;
        Icon icon;
        QStringList afterYes;
        int left;
    } cases[] = {
        {&plu, "plu", "cmdDelete", {"S111168", "S111168"}, "S111169\n1001 Tea", Icon::Exclamation, {"S111170"}, 1},
        {&plu, "plu", "cmdDelAll", {"S111168"}, "S111358\nS120200 1", Icon::Exclamation, {"S111170"}, 0},
        {&depart, "depart", "cmdDelete", {"S111124"}, "S111125\n1 Drinks", Icon::Information, {}, 0},
        {&cashier, "cashier", "cmdDelete", {"S111114", "S111114"}, "S111116\n1 Anna", Icon::Information, {}, 0},
        {&member, "member", "cmdDelete", {}, "S111169\n7 Ben", Icon::Information, {}, 0},
        {&promotion, "promotion", "cmdDelete", {"S111168"}, "S111169\nCola 1001", Icon::Exclamation, {"S111170"}, 1},
        {&promotion, "promotion", "cmdDelAll", {}, "S111358\nS120200 1", Icon::Exclamation, {"S111170"}, 0},
        {&bundle, "bundle", "cmdDelete", {"S111168", "S111168"}, "S111169\n501 Set", Icon::Exclamation, {"S111170"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.question.toStdString());
        c.form->show();
        listOf(c.form)->setCurrentItem(nullptr);
        auto opened = whenModal(c.form->objectName() + "_S", [](QDialog*) {});
        qsizetype mark = prompter.shown.size();
        click(c.form, "cmdModify");
        if (QString(c.button) == "cmdDelete") click(c.form, c.button);
        EXPECT_EQ(messagesSince(mark), c.withoutRow);
        QTest::qWait(20);
        EXPECT_FALSE(*opened);

        auto rows = [&] { return db->scalar("SELECT count(*) FROM " + std::string(c.table)).toInt(); };
        const long long before = rows();
        selectRow(c.form, 0);
        prompter.answers = {false};
        mark = prompter.shown.size();
        click(c.form, c.button);
        ASSERT_EQ(messagesSince(mark), QStringList{c.question});
        EXPECT_TRUE(prompter.shown.last().question);
        EXPECT_FALSE(prompter.shown.last().defaultYes);
        EXPECT_EQ(prompter.shown.last().icon, c.icon);
        EXPECT_EQ(rows(), before);

        prompter.answers = {true};
        mark = prompter.shown.size();
        click(c.form, c.button);
        EXPECT_EQ(messagesSince(mark), QStringList{c.question} + c.afterYes);
        EXPECT_EQ(rows(), c.left);
        EXPECT_EQ(listOf(c.form)->topLevelItemCount(), c.left);
    }
}

TEST_F(ListKeysTest, NumbersSitOnTheTrailingSideAndColumnsFitWhatTheyShow) {
    plu("6901234567892", "Mineral water 1.5l", 12, 0, -2);
    plu("21", "Bananas per kg", 4, 1);
    PluForm f;
    f.show();
    QTreeWidget* list = listOf(&f);
    QCoreApplication::processEvents();
    auto* cells = qobject_cast<ListCellDelegate*>(list->itemDelegate());
    ASSERT_NE(cells, nullptr);
    EXPECT_TRUE(cells->isNumberColumn(3));
    EXPECT_FALSE(cells->isNumberColumn(0)); // codes read as text
    EXPECT_EQ(list->headerItem()->textAlignment(3) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const QList<QTreeWidgetItem*> water = list->findItems("6901234567892", Qt::MatchExactly, 0);
    ASSERT_EQ(water.size(), 1);
    EXPECT_EQ(water[0]->text(6), "-2.000");

    // No column is narrower than its caption or its widest cell, and the last
    // one takes the room left.
    QHeaderView* header = list->header();
    int total = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        EXPECT_GE(header->sectionSize(c), static_cast<QAbstractItemView*>(list)->sizeHintForColumn(c)) << c;
        EXPECT_GE(header->sectionSize(c), header->sectionSizeHint(c)) << c;
        total += header->sectionSize(c);
    }
    EXPECT_EQ(total, list->viewport()->width());
    const int last = header->sectionSize(list->columnCount() - 1);
    f.resize(f.width() + 100, f.height());
    QCoreApplication::processEvents();
    EXPECT_EQ(header->sectionSize(list->columnCount() - 1), last + 100);

    // A longer name added later widens its column.
    const int nameWidth = header->sectionSize(1);
    plu("22", "Apples from the orchard", 4, 2);
    f.FillData("first");
    QCoreApplication::processEvents();
    EXPECT_GT(header->sectionSize(1), nameWidth);
}

TEST_F(ListKeysTest, AnExportNoProgramOpensSaysWhereTheFileIs) {
    plu("1001", "Tea", 1, 0);
    Exports().folder = QString::fromStdString(dir.file("out"));
    QStringList opened;
    Exports().open = [&](const QString& p) { opened << p; };
    Exports().canOpen = [](const QString&) { return false; };
    PluForm f;
    f.show();
    click(&f, "cmdExcel");
    Exports() = {};
    ASSERT_FALSE(prompter.shown.isEmpty());
    const QStringList lines = prompter.shown.last().text.split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "S111196");
    ASSERT_TRUE(lines[1].startsWith("S120833 " + QString::fromStdString(dir.file("out")) + "/PLU ")) << lines[1].toStdString();
    EXPECT_TRUE(QFileInfo::exists(lines[1].mid(8)));
    EXPECT_TRUE(opened.isEmpty()); // nothing was started
}
