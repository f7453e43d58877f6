// A table editor from a description other than the department and cashier
// ones: list formats, an editor's own check and insert values, the messages
// of the row actions and the paged transfer's boxes.
#include "editors/FormsFixture.h"
#include "ui/TableEditor.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace ecr;
using namespace ecr::ui;

namespace {

const ListDescription& boxes() {
    static const ListDescription d{
        .form = "frmBoxes",
        .caption = 111351,
        .table = "boxes",
        .key = "k",
        .order = "k DESC",
        .columns = {{"k", 111002},
                    {"name", 111003},
                    {"qty", 111078, Shown::Amount3},
                    {"price", 111077, Shown::Amount2},
                    {"rate", 111386, Shown::Number},
                    {"kind", 111385, Shown::Captions, 0, {111487, 111488}},
                    {"flag", 111037, Shown::Mark}},
        .nextKey = [](db::Database& db) -> std::optional<long long> {
            const long long next = db.scalar("SELECT coalesce(max(k), 0) + 10 FROM boxes").toInt();
            if (next > 30) return std::nullopt;
            return next;
        },
        .transferKind = "members",
        .noRowModify = 111168,
        .noRowDelete = 111168,
        .confirmDelete = 111169,
        .deleteIcon = Prompter::Icon::Exclamation,
        .deletedMessage = 111170,
        .fullMessage = 111112,
        .entryForm = "frmBoxes_S",
        .entryCaption = 111351,
        .fields = {.fields = {{.column = "k", .caption = 111002, .object = "lblKey", .kind = FieldKind::Label,
                               .label = "Label1"},
                              {.column = "name", .caption = 111003, .object = "txtName", .label = "Label2",
                               .required = 111173},
                              {.column = "qty", .caption = 111078, .object = "txtQty", .kind = FieldKind::Decimal,
                               .label = "Label3", .another = "1"},
                              {.column = "flag", .caption = 111037, .object = "chkOn", .kind = FieldKind::Check}}},
        .anotherQuestion = 111179,
        .anotherIcon = Prompter::Icon::Exclamation,
        .anotherFull = 111113,
    };
    return d;
}

// An editor with rules of its own: names may not start with "x", and every
// new row records its key in "copy".
class BoxesForm : public TableListForm {
public:
    BoxesForm() : TableListForm(boxes(), nullptr) {}
    void completeInsert(RowValues& values, const db::Value& key) const override { values.emplace_back("copy", key); }
    std::optional<Refusal> checkEntry(const FieldForm& fields) const override {
        if (fields.control<QLineEdit>("txtName")->text().startsWith('x')) return Refusal{"no x", "txtName"};
        return std::nullopt;
    }
};

struct TableEditorTest : FormsFixture {
    TableEditorTest() {
        db->execute("CREATE TABLE boxes(k INTEGER PRIMARY KEY, name TEXT, qty REAL, price REAL, rate REAL, "
                    "kind INTEGER, flag INTEGER, copy INTEGER)");
    }
    QStringList row(QWidget* f, int i) { return rowTexts(listOf(f)->topLevelItem(i)); }
};

} // namespace

TEST_F(TableEditorTest, ListFormatsAndTheirOrder) {
    db->execute("INSERT INTO boxes VALUES(1, 'One', 2, 3.5, 9.25, 1, 1, NULL), (2, 'Two', 0.125, 0, 13, 5, 0, NULL)");
    BoxesForm f;
    EXPECT_EQ(f.objectName(), "frmBoxes");
    EXPECT_EQ(f.windowTitle(), "S111351");
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(row(&f, 0), QStringList({"2", "Two", "0.125", "0.00", "13", "", ""}));
    EXPECT_EQ(row(&f, 1), QStringList({"1", "One", "2.000", "3.50", "9.25", "S111488", "S111232"}));
    // A paged kind gets the page boxes; Upload sets the whole range (no
    // register link here, so nothing is sent).
    click(&f, "cmdUpload");
    EXPECT_EQ(text(&f, "txtStartPage"), "1");
    EXPECT_EQ(text(&f, "txtEndPage"), "32");
}

TEST_F(TableEditorTest, AddWithTheEditorsOwnRulesThenAnotherUntilNoKeyIsLeft) {
    BoxesForm f;
    f.show();
    prompter.answers = {true, true};
    auto seen = whenModal("frmBoxes_S", [&](QDialog* d) {
        EXPECT_EQ(child<QLabel>(d, "lblKey")->text(), "10");
        EXPECT_EQ(focusName(d), "txtName");
        // Tab runs through the fields in table order, then Save and Cancel.
        QStringList tabs;
        for (QWidget* w = child<QWidget>(d, "txtName"); tabs.size() < 6; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus) tabs << w->objectName();
        EXPECT_EQ(tabs, QStringList({"txtName", "txtQty", "chkOn", "cmdSave", "cmdCancel", "txtName"}));
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111173");
        setText(d, "txtName", "xbox");
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "no x");
        EXPECT_EQ(focusName(d), "txtName");
        setText(d, "txtName", "Box");
        setText(d, "txtQty", "2.5");
        child<QCheckBox>(d, "chkOn")->setChecked(true);
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111179");
        EXPECT_EQ(prompter.shown.last().icon, Prompter::Icon::Exclamation);
        // Another: the next key, the quantity reset, the box kept.
        EXPECT_EQ(child<QLabel>(d, "lblKey")->text(), "20");
        EXPECT_EQ(text(d, "txtQty"), "1");
        EXPECT_EQ(text(d, "txtName"), "Box");
        setText(d, "txtName", "Box 2");
        const qsizetype mark = prompter.shown.size();
        click(d, "cmdSave");
        // Key 30 is still free; after it none is, and the form closes.
        setText(d, "txtName", "Box 3");
        click(d, "cmdSave");
        EXPECT_EQ(messagesSince(mark), QStringList({"S111179", "S111179", "S111113"}));
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT k, name, qty, flag, copy FROM boxes ORDER BY k").rows,
              (std::vector<std::vector<db::Value>>{{10, "Box", 2.5, 1, 10}, {20, "Box 2", 1.0, 1, 20},
                                                   {30, "Box 3", 1.0, 1, 30}}));
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 3);

    // The table is full: Add says so and shows no form.
    seen = whenModal("frmBoxes_S", [](QDialog*) {});
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdAdd");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111112"}));
    QTest::qWait(20);
    EXPECT_FALSE(*seen);
}

TEST_F(TableEditorTest, ModifyAndDeleteTheChosenRow) {
    db->execute("INSERT INTO boxes(k, name, qty) VALUES(7, 'Seven', 1), (8, 'Eight', 2)");
    BoxesForm f;
    f.show();
    qsizetype mark = prompter.shown.size();
    click(&f, "cmdModify");
    click(&f, "cmdDelete");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111168", "S111168"}));

    selectRow(&f, 1); // 7: the list runs by key, highest first
    auto seen = whenModal("frmBoxes_S", [&](QDialog* d) {
        EXPECT_EQ(child<QLabel>(d, "lblKey")->text(), "7");
        EXPECT_EQ(text(d, "txtName"), "Seven");
        setText(d, "txtName", "Seven!");
        click(d, "cmdSave");
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdModify");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->scalar("SELECT name FROM boxes WHERE k = 7").toText(), "Seven!");
    EXPECT_EQ(row(&f, 1).at(1), "Seven!");

    prompter.answers = {true};
    mark = prompter.shown.size();
    click(&f, "cmdDelete");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111169\n7 Seven!", "S111170"}));
    EXPECT_EQ(prompter.shown[mark].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(db->scalar("SELECT group_concat(k) FROM boxes").toText(), "8");

}

// A table whose key is typed (codes kept as text) and whose rows get a place
// of their own, with a hidden place column, delete all, a lookup, days and
// no question after an add.
namespace {

const ListDescription& codes() {
    static const ListDescription d{
        .form = "frmCodes",
        .caption = 111316,
        .table = "codes",
        .key = "code",
        .keyPrefix = "C",
        .order = "code",
        .columns = {{"code", 111318},
                    {"name", 111319},
                    {"ref", 111321},
                    {"ref", 111322, Shown::Lookup, 0, {},
                     [](db::Database& db, const db::Value& v) {
                         return QString::fromStdString(db.scalar("SELECT name FROM plu WHERE id = ?", {v}).toText());
                     }},
                    {"day", 111494, Shown::Date}},
        .slotColumn = "place",
        .nextSlot = [](db::Database& db) -> std::optional<long long> {
            const long long n = db.scalar("SELECT count(*) FROM codes").toInt();
            if (n >= 2) return std::nullopt;
            return n + 5;
        },
        .duplicateMessage = 111401,
        .doubleClickModifies = true,
        .deletedMessage = 111170,
        .confirmDeleteAll = 111358,
        .fullMessage = 111112,
        .notFoundText = "gone",
        .notFoundTitle = "error",
        .entryForm = "frmCodes_S",
        .entryCaption = 111351,
        .fields = {.fields = {{.column = "code", .caption = 111318, .object = "txtCode", .kind = FieldKind::Digits,
                               .required = 111354},
                              {.column = "name", .caption = 111319, .object = "txtName"},
                              {.column = "ref", .caption = 111321, .object = "txtRef", .kind = FieldKind::Code}}},
        .anotherQuestion = 0,
    };
    return d;
}

struct CodesTest : FormsFixture {
    CodesTest() {
        db->execute("CREATE TABLE codes(code TEXT, name TEXT, ref TEXT, day TEXT, place INTEGER)");
        db->execute("INSERT INTO plu(id, name, sid) VALUES('77', 'Tea', 0)");
    }
};

} // namespace

TEST_F(CodesTest, TypedKeysKeepTheirZerosGetAPlaceAndAreCheckedForDuplicates) {
    db->execute("INSERT INTO codes VALUES('0012', 'Twelve', '77', '2009-10-20 08:00:00', 4)");
    TableListForm f(codes(), nullptr);
    f.show();
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 1);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)), QStringList({"0012", "Twelve", "77", "Tea", "2009-10-20"}));
    EXPECT_EQ(listOf(&f)->topLevelItem(0)->data(0, Qt::UserRole).toString(), "C0012");
    EXPECT_EQ(f.rowKey(*listOf(&f)->topLevelItem(0)), db::Value("0012"));

    // Add: a code that is stored is refused with the focus on it; a new one
    // gets the next place, and the form closes without a question.
    auto seen = whenModal("frmCodes_S", [&](QDialog* d) {
        EXPECT_TRUE(child<QLineEdit>(d, "txtCode")->isEnabled());
        setText(d, "txtCode", "0012");
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.last().text, "S111401");
        EXPECT_EQ(focusName(d), "txtCode");
        setText(d, "txtCode", "12");
        setText(d, "txtName", "It's new");
        const qsizetype mark = prompter.shown.size();
        click(d, "cmdSave");
        EXPECT_EQ(prompter.shown.size(), mark);
        EXPECT_FALSE(d->isVisible());
    });
    click(&f, "cmdAdd");
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->query("SELECT code, name, place FROM codes ORDER BY place").rows,
              (std::vector<std::vector<db::Value>>{{"0012", "Twelve", 4}, {"12", "It's new", 6}}));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
    EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(0), "12");

    // Every place taken: Add refuses at once.
    seen = whenModal("frmCodes_S", [](QDialog*) {});
    qsizetype mark = prompter.shown.size();
    click(&f, "cmdAdd");
    EXPECT_EQ(messagesSince(mark), QStringList({"S111112"}));
    QTest::qWait(20);
    EXPECT_FALSE(*seen);

    // A double click opens the row with its key fixed.
    seen = whenModal("frmCodes_S", [&](QDialog* d) {
        EXPECT_FALSE(child<QLineEdit>(d, "txtCode")->isEnabled());
        EXPECT_EQ(text(d, "txtCode"), "0012");
        setText(d, "txtRef", "");
        click(d, "cmdSave");
    });
    QTreeWidgetItem* first = listOf(&f)->topLevelItem(0);
    emit listOf(&f)->itemDoubleClicked(first, 0);
    EXPECT_TRUE(*seen);
    EXPECT_EQ(db->scalar("SELECT ref FROM codes WHERE code = '0012'").toText(), "");
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(0)), QStringList({"0012", "Twelve", "", "", "2009-10-20"}));

    // A row deleted meanwhile is not opened; the list is read again.
    db->execute("DELETE FROM codes WHERE code = '12'");
    selectRow(&f, 1);
    seen = whenModal("frmCodes_S", [](QDialog*) {});
    mark = prompter.shown.size();
    click(&f, "cmdModify");
    ASSERT_EQ(messagesSince(mark), QStringList({"gone"}));
    EXPECT_EQ(prompter.shown.last().title, "error");
    QTest::qWait(20);
    EXPECT_FALSE(*seen);
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 1);

    // Delete all says how many go, No by default.
    prompter.answers = {false, true};
    click(&f, "cmdDelAll");
    EXPECT_EQ(prompter.shown.last().text, "S111358\n" + Text(120200).replace("%1", "1"));
    EXPECT_FALSE(prompter.shown.last().defaultYes);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM codes").toInt(), 1);
    mark = prompter.shown.size();
    click(&f, "cmdDelAll");
    EXPECT_EQ(messagesSince(mark).size(), 2);
    EXPECT_EQ(prompter.shown.last().text, "S111170");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM codes").toInt(), 0);
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 0);
}
