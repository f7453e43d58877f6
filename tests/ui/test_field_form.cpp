// Forms built from field tables: every widget kind loaded from a row and
// saved back, checks in table order with their messages, layout and tab
// order, new-row and add-another values, one bound statement per save.
#include "gui/GuiFixture.h"
#include "app/CodePage.h"
#include "ui/Controls.h"
#include "ui/FieldForm.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

using namespace ecr;
using namespace ecr::ui;
using records::CodeLimit;
using records::NumberLimit;
using records::TextLimit;
using records::WholeLimit;

namespace {

bool hiddenField() { return false; }

FieldTable everyKind() {
    return {.fields = {
                {.column = "k", .caption = 111033, .object = "lblKey", .kind = FieldKind::Label, .label = "Label0"},
                {.column = "name", .caption = 111034, .object = "txtName", .label = "Label1", .limit = TextLimit(10),
                 .required = 111126, .another = ""},
                {.column = "code", .caption = 111074, .object = "txtCode", .kind = FieldKind::Code, .label = "Label2",
                 .limit = CodeLimit()},
                {.column = "depart", .caption = 111076, .object = "txtDepart", .kind = FieldKind::Digits,
                 .label = "Label3", .limit = WholeLimit(0, 100)},
                {.column = "pw", .caption = 111004, .object = "txtPw", .kind = FieldKind::Digits, .label = "Label4",
                 .maxLength = 6},
                {.column = "price", .caption = 111077, .object = "txtPrice", .kind = FieldKind::Decimal,
                 .label = "Label5", .limit = NumberLimit(4, records::kPointDecimals), .shownDecimals = 2,
                 .another = "0"},
                {.column = "qty", .caption = 111078, .object = "txtQty", .kind = FieldKind::Amount, .label = "Label6"},
                {.column = "kind", .caption = 111385, .object = "cboKind", .kind = FieldKind::Combo, .label = "Label7",
                 .initial = 1, .itemCaptions = {111487, 111488, 111489}},
                {.column = "rate", .caption = 111521, .object = "cboRate", .kind = FieldKind::Combo, .label = "Label8",
                 .itemTexts = {"115200", "9600"}, .itemValues = {115200, 9600}},
                {.column = "flag", .caption = 111037, .object = "chkFlag", .kind = FieldKind::Check, .initial = 1},
                {.column = "packed", .caption = 111058, .object = "chkBit0", .kind = FieldKind::Bit, .bit = 0,
                 .inverted = true},
                {.column = "packed", .caption = 111059, .object = "cboBit2", .kind = FieldKind::Bit,
                 .label = "Label9", .itemCaptions = {111233, 111232}, .bit = 2},
                {.column = "digits", .object = "cboDigit0", .kind = FieldKind::Digit,
                 .itemTexts = {"a", "b", "c", "d"}, .digit = 0},
                {.column = "digits", .object = "cboDigit1", .kind = FieldKind::Digit,
                 .itemTexts = {"a", "b", "c", "d"}, .digit = 1},
                {.column = "stamp", .object = "dtpStamp", .kind = FieldKind::Date},
                {.column = "extra", .caption = 111035, .object = "txtHidden", .label = "Label10", .required = 111126,
                 .shown = hiddenField},
            }};
}

struct FieldFormTest : GuiFixture {
    QDialog form;
    FieldForm fields{&form, everyKind()};

    FieldFormTest() {
        form.setLayout(fields.layout());
        db->execute("CREATE TABLE t(k INTEGER PRIMARY KEY, name TEXT, code TEXT, depart INTEGER, pw TEXT, price REAL, "
                    "qty REAL, kind INTEGER, rate INTEGER, flag INTEGER, packed INTEGER, digits TEXT, stamp TEXT, "
                    "extra TEXT)");
    }
    template <class T> T* get(const char* name) { return fields.control<T>(name); }
    QString text(const char* name) { return get<QLineEdit>(name)->text(); }
    db::Rows row(long long k) { return db->query("SELECT * FROM t WHERE k = ?", {k}); }
    // Every line edit valid; one changed by the caller.
    void fillValid() {
        for (auto [name, value] : {std::pair{"txtName", "Tea"}, {"txtCode", "1001"}, {"txtDepart", "3"},
                                   {"txtPw", "0123"}, {"txtPrice", "2.5"}, {"txtQty", "1.2.3"}})
            get<QLineEdit>(name)->setText(value);
    }
};

} // namespace

TEST_F(FieldFormTest, EveryKindLoadsFromARowAndSavesItBack) {
    db->execute("INSERT INTO t VALUES(7, 'Green Tea', '0012', 4, '0456', 3.0, 1.5, 2, 9600, 0, 5, '31', "
                "'2024-04-30 13:45:00', 'x')");
    fields.load(row(7));
    EXPECT_EQ(get<QLabel>("lblKey")->text(), "7");
    EXPECT_EQ(text("txtName"), "Green Tea");
    EXPECT_EQ(text("txtCode"), "0012");
    EXPECT_EQ(text("txtDepart"), "4");
    EXPECT_EQ(text("txtPw"), "0456");
    EXPECT_EQ(text("txtPrice"), "3.00");
    EXPECT_EQ(text("txtQty"), "1.5");
    EXPECT_EQ(get<QComboBox>("cboKind")->currentIndex(), 2);
    EXPECT_EQ(get<QComboBox>("cboRate")->currentText(), "9600");
    EXPECT_FALSE(get<QCheckBox>("chkFlag")->isChecked());
    // packed 5 = bits 0 and 2: bit 0 is inverted (set = off), bit 2 is not.
    EXPECT_FALSE(get<QCheckBox>("chkBit0")->isChecked());
    EXPECT_EQ(get<QComboBox>("cboBit2")->currentIndex(), 1);
    EXPECT_EQ(get<QComboBox>("cboDigit0")->currentText(), "d");
    EXPECT_EQ(get<QComboBox>("cboDigit1")->currentText(), "b");
    EXPECT_EQ(get<QDateTimeEdit>("dtpStamp")->dateTime(), QDateTime(QDate(2024, 4, 30), QTime(13, 45)));

    const RowValues expected{{"name", "Green Tea"}, {"code", "0012"}, {"depart", 4},  {"pw", "0456"},
                             {"price", 3.0},        {"qty", 1.5},     {"kind", 2},    {"rate", 9600},
                             {"flag", 0},           {"packed", 5},    {"digits", "31"}, {"stamp", "2024-04-30 13:45:00"},
                             {"extra", "x"}};
    EXPECT_EQ(fields.values(), expected);

    // Changed controls, saved with one UPDATE, read back.
    get<QCheckBox>("chkBit0")->setChecked(true); // bit 0 cleared
    get<QComboBox>("cboBit2")->setCurrentIndex(0);
    get<QComboBox>("cboDigit1")->setCurrentIndex(0);
    get<QComboBox>("cboRate")->setCurrentIndex(0);
    get<QLineEdit>("txtName")->setText("  O'Neil Tea  ");
    UpdateRow(*db, "t", fields.values(), "k", 7);
    EXPECT_EQ(db->query("SELECT name, packed, digits, rate FROM t WHERE k = 7").rows.at(0),
              (std::vector<db::Value>{"O'Neil Tea", 0, "30", 115200}));
}

TEST_F(FieldFormTest, AStoredValueWithoutItsItemShowsNoneAndIsKept) {
    db->execute("INSERT INTO t(k, kind, rate) VALUES(1, 7, 38400)");
    fields.load(row(1));
    EXPECT_EQ(get<QComboBox>("cboKind")->currentIndex(), -1);
    EXPECT_EQ(get<QComboBox>("cboRate")->currentIndex(), -1);
    const RowValues v = fields.values();
    EXPECT_EQ(v[6], (std::pair<std::string, db::Value>{"kind", 7}));
    EXPECT_EQ(v[7], (std::pair<std::string, db::Value>{"rate", 38400}));
}

TEST_F(FieldFormTest, NewRowAndAnotherRowValues) {
    fillValid();
    fields.loadInitial();
    EXPECT_EQ(text("txtName"), "");
    EXPECT_EQ(text("txtPrice"), "");
    EXPECT_EQ(get<QComboBox>("cboKind")->currentIndex(), 1);
    EXPECT_TRUE(get<QCheckBox>("chkFlag")->isChecked());

    fillValid();
    get<QComboBox>("cboKind")->setCurrentIndex(2);
    fields.loadAnother();
    EXPECT_EQ(text("txtName"), "");                             // emptied
    EXPECT_EQ(text("txtPrice"), "0");                           // reset
    EXPECT_EQ(text("txtCode"), "1001");                         // kept
    EXPECT_EQ(get<QComboBox>("cboKind")->currentIndex(), 2);    // kept

    // Saved as a new row with one INSERT and read back the same.
    fillValid();
    RowValues v = fields.values();
    v.insert(v.begin(), {"k", 3});
    InsertRow(*db, "t", v);
    QDialog other;
    FieldForm again(&other, everyKind());
    again.load(row(3));
    RowValues back = again.values();
    back.insert(back.begin(), {"k", 3});
    EXPECT_EQ(back, v);
    EXPECT_EQ(row(3).at(0, "pw").toText(), "0123"); // digits without a number limit stay text
    EXPECT_EQ(row(3).at(0, "depart"), db::Value(3));
    EXPECT_EQ(row(3).at(0, "qty"), db::Value(1.2)); // leading number of "1.2.3"
}

// Checks run in table order; the first failing field is refused with its
// message and named by object so the form can put the focus there.
TEST_F(FieldFormTest, ChecksInTableOrderWithTheFieldsCaptionAndReason) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> typed;
        int pointEn;
        const char* message; // empty: accepted
        const char* object;
    };
    SetRegisterCodePage(kDefaultCodePage);
    const std::string tooLong = "Chloé Martin"; // é takes 2 bytes in GBK: 13 bytes
    const Case cases[] = {
        {{}, 2, "", nullptr},
        {{{"txtName", "   "}}, 2, "S111126", "txtName"},
        {{{"txtName", tooLong.c_str()}}, 2, "S120002 S111034 13 10", "txtName"},
        {{{"txtName", "Phở bò"}}, 2, "S120003 S111034 ở", "txtName"},
        {{{"txtCode", "12345678901234567"}}, 2, "S120001 S111074", "txtCode"},
        {{{"txtCode", "12ab"}}, 2, "S120001 S111074", "txtCode"},
        {{{"txtDepart", "300"}}, 2, "S120004 S111076 300 0 100", "txtDepart"},
        {{{"txtDepart", "100"}}, 2, "", nullptr},
        {{{"txtPrice", "99999999"}}, 2, "S120004 S111077 99999999 -21474836.48 21474836.47", "txtPrice"},
        {{{"txtPrice", "99999999"}}, 0, "", nullptr},
        // Two fields wrong: the earlier one in the table is refused.
        {{{"txtDepart", "300"}, {"txtName", ""}}, 2, "S111126", "txtName"},
    };
    for (const Case& c : cases) {
        fillValid();
        std::string trace;
        for (auto [name, value] : c.typed) {
            get<QLineEdit>(name)->setText(QString::fromUtf8(value));
            trace += std::string(name) + "=" + value + " ";
        }
        SCOPED_TRACE(trace);
        const auto refusal = fields.check(c.pointEn);
        if (!*c.message) {
            EXPECT_FALSE(refusal) << refusal->text.toStdString();
            continue;
        }
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->text, QString::fromUtf8(c.message));
        EXPECT_STREQ(refusal->object, c.object);
    }
    // A disabled field is not checked (a key shown but not typed).
    fillValid();
    get<QLineEdit>("txtCode")->setText("x");
    get<QLineEdit>("txtCode")->setEnabled(false);
    EXPECT_FALSE(fields.check(2));
}

TEST_F(FieldFormTest, LabelsTabOrderAndHiddenFields) {
    EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), "S111034:");
    EXPECT_EQ(get<QCheckBox>("chkFlag")->text(), "S111037");
    EXPECT_EQ(form.findChild<QLabel*>("Label9")->text(), "S111059:");
    EXPECT_EQ(get<QComboBox>("cboKind")->itemText(2), "S111489");
    EXPECT_TRUE(get<QLineEdit>("txtHidden")->isHidden());
    EXPECT_TRUE(form.findChild<QLabel*>("Label10")->isHidden());
    EXPECT_EQ(fields.firstEditable(), get<QLineEdit>("txtName"));

    // The focus chain follows the table (the hidden field last, as listed).
    QStringList chain;
    QWidget* first = get<QLineEdit>("txtName");
    QWidget* w = first;
    do {
        if (w->focusPolicy() != Qt::NoFocus && fields.control(w->objectName().toLatin1().constData()) == w)
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first);
    EXPECT_EQ(chain, QStringList({"txtName", "txtCode", "txtDepart", "txtPw", "txtPrice", "txtQty", "cboKind",
                                  "cboRate", "chkFlag", "chkBit0", "cboBit2", "cboDigit0", "cboDigit1", "dtpStamp",
                                  "txtHidden"}));
    EXPECT_EQ(fields.lastInTabOrder(), get<QLineEdit>("txtHidden"));
    EXPECT_EQ(get<QLineEdit>("txtPw")->maxLength(), 6);
}

TEST_F(FieldFormTest, SectionsBecomeFramedGroups) {
    FieldTable grouped{.fields = {{.column = "a", .caption = 111034, .object = "txtA", .label = "LabelA"},
                                  {.column = "b", .caption = 111006, .object = "chkB", .kind = FieldKind::Check,
                                   .section = 1},
                                  {.column = "c", .caption = 111007, .object = "chkC", .kind = FieldKind::Check,
                                   .section = 1}},
                       .sections = {{}, {.caption = 111005, .object = "Label4", .columns = 2, .framed = true}},
                       .heading = 111032};
    QDialog f;
    FieldForm g(&f, grouped);
    f.setLayout(g.layout());
    EXPECT_EQ(f.findChild<QLabel*>("Label1")->text(), "S111032");
    EXPECT_TRUE(f.findChild<QLabel*>("Label1")->font().bold());
    EXPECT_EQ(f.findChild<QLabel*>("Label4")->text(), "S111005");
    auto* box = qobject_cast<QGroupBox*>(g.control("chkB")->parentWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(g.control("chkC")->parentWidget(), box);
}

// Sections as tabs. A '&' of a catalogue text is shown, not taken as a
// shortcut mark; the tab bar shows every tab rather than scrolling, so the
// form is as wide as its captions.
TEST_F(FieldFormTest, TabsAndCaptionsShowTheirAmpersandsAndEveryTab) {
    for (int id : {111253, 111254, 111034, 111006})
        db->execute("UPDATE msglist SET Simplified = ? WHERE msgid = ?", {"S" + std::to_string(id) + " & more", id});
    const FieldTable table{
        .fields = {{.column = "a", .caption = 111034, .object = "txtA", .label = "LabelA", .section = 1},
                   {.column = "b", .caption = 111006, .object = "chkB", .kind = FieldKind::Check, .section = 2}},
        .sections = {{}, {.caption = 111253, .object = "tabA"}, {.caption = 111254, .object = "tabB"}},
        .tabs = true};
    QDialog f;
    FieldForm g(&f, table);
    f.setLayout(g.layout());
    auto* tabs = f.findChild<QTabWidget*>("SSTab1");
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->widget(1)->objectName(), "tabB");
    EXPECT_TRUE(tabs->widget(1)->isAncestorOf(g.control("chkB")));
    const std::pair<QString, QString> shown[] = {
        {tabs->tabText(0), "S111253 & more"},
        {tabs->tabText(1), "S111254 & more"},
        {f.findChild<QLabel*>("LabelA")->text(), "S111034 & more:"},
        {g.control<QCheckBox>("chkB")->text(), "S111006 & more"},
    };
    for (const auto& [text, expected] : shown) {
        EXPECT_TRUE(QKeySequence::mnemonic(text).isEmpty()) << text.toStdString();
        EXPECT_EQ(QString(text).replace("&&", "&"), expected);
    }
    f.adjustSize();
    EXPECT_FALSE(tabs->usesScrollButtons());
    EXPECT_GE(tabs->width(), tabs->tabBar()->sizeHint().width());
}

// Numbered fields sharing one caption, texts kept as typed, a combo with a
// fallback item, combo items that follow a run-time setting, a heading, and
// a refused field brought forward on its tab.
TEST_F(FieldFormTest, CaptionArgumentsBlanksFallbacksRunTimeItemsAndTabs) {
    int version = 1;
    const FieldTable table{
        .fields = {{.column = "name", .caption = 120507, .object = "txtLine3", .label = "lblLine3",
                    .limit = TextLimit(5), .section = 1, .captionArg = "3", .keepBlanks = true},
                   {.column = "rate", .caption = 111521, .object = "cboRate", .kind = FieldKind::Combo,
                    .itemTexts = {"115200", "9600"}, .itemValues = {115200, 9600}, .section = 1, .fallbackItem = 0},
                   {.column = "kind", .caption = 120533, .object = "cboPrinter", .kind = FieldKind::Combo,
                    .section = 1,
                    .itemsAt = [&version] {
                        return version == 1 ? ComboItems{{111374, 111375, 111376}, {0, 2, 4}}
                                            : ComboItems{{111374, 111375, 111376, 111377, 111378}, {}};
                    }},
                   {.caption = 111611, .object = "lblHeading", .kind = FieldKind::Label, .section = 2},
                   {.column = "code", .caption = 111074, .object = "txtCode", .kind = FieldKind::Code,
                    .label = "lblCode", .limit = CodeLimit(), .section = 2}},
        .sections = {{}, {.caption = 111253, .object = "tabA"}, {.caption = 111254, .object = "tabB"}},
        .tabs = true};
    QDialog f;
    FieldForm g(&f, table);
    f.setLayout(g.layout());
    auto* line = g.control<QLineEdit>("txtLine3");
    auto* rate = g.control<QComboBox>("cboRate");
    auto* printer = g.control<QComboBox>("cboPrinter");
    EXPECT_EQ(f.findChild<QLabel*>("lblLine3")->text(), "S120507 3:");
    g.loadInitial();
    EXPECT_EQ(g.control<QLabel>("lblHeading")->text(), "S111611");

    // A rate without an item shows the fallback and stores its value; a
    // printer code without one shows none and is kept.
    db->execute("INSERT INTO t(k, name, rate, kind, code) VALUES(1, ' a ', 38400, 3, '1')");
    g.load(row(1));
    EXPECT_EQ(line->text(), " a ");
    EXPECT_EQ(rate->currentText(), "115200");
    EXPECT_EQ(printer->currentIndex(), -1);
    const RowValues stored{{"name", " a "}, {"rate", 115200}, {"kind", 3}, {"code", "1"}};
    EXPECT_EQ(g.values(), stored);

    // Items built again keep the value shown: code 3 gets its item, code 4
    // moves from item 2 to item 4; a value the new items lack is kept.
    version = 2;
    g.refreshItems();
    ASSERT_EQ(printer->count(), 5);
    EXPECT_EQ(printer->currentIndex(), 3);
    printer->setCurrentIndex(4);
    version = 1;
    g.refreshItems();
    EXPECT_EQ(printer->currentIndex(), 2);
    EXPECT_EQ(g.values()[2].second, db::Value(4));
    version = 2;
    g.refreshItems();
    EXPECT_EQ(printer->currentIndex(), 4);
    printer->setCurrentIndex(1);
    version = 1;
    g.refreshItems();
    EXPECT_EQ(printer->currentIndex(), -1);
    EXPECT_EQ(g.values()[2].second, db::Value(1));

    // Blanks count against the limit of a text kept as typed.
    SetRegisterCodePage(kDefaultCodePage);
    line->setText("  abcd");
    const auto refusal = g.check(2);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text, "S120002 S120507 3 6 5");
    line->setText("abcd ");
    EXPECT_FALSE(g.check(2));

    // A refused field on another tab comes forward with the focus.
    g.control<QLineEdit>("txtCode")->setText("x");
    const auto bad = g.check(2);
    ASSERT_TRUE(bad);
    FocusField(g.control(bad->object));
    EXPECT_EQ(f.findChild<QTabWidget*>("SSTab1")->currentIndex(), 1);
    EXPECT_EQ(f.focusWidget(), g.control("txtCode"));
}

TEST_F(FieldFormTest, ADayOnlyPickerKeepsTheRowsTimeOfDayAndShowsTodayForANewRow) {
    QDialog dialog;
    FieldForm days(&dialog, {.fields = {{.column = "stamp", .object = "dtpDay", .kind = FieldKind::Date,
                                         .dateOnly = true}}});
    auto* picker = days.control<QDateTimeEdit>("dtpDay");
    EXPECT_EQ(picker->displayFormat(), "yyyy-MM-dd");
    days.loadInitial();
    EXPECT_EQ(picker->date(), QDate::currentDate());
    picker->setDate(QDate(2009, 10, 20));
    EXPECT_EQ(days.values(), (RowValues{{"stamp", "2009-10-20 00:00:00"}}));

    // A stored row: another day, the same time of day.
    db->execute("INSERT INTO t(k, stamp) VALUES(1, '2009-10-31 23:59:00')");
    days.load(row(1));
    EXPECT_EQ(picker->date(), QDate(2009, 10, 31));
    picker->setDate(QDate(2009, 11, 2));
    EXPECT_EQ(days.values(), (RowValues{{"stamp", "2009-11-02 23:59:00"}}));
    // A day without a time is midnight.
    db->execute("INSERT INTO t(k, stamp) VALUES(2, '2009-12-01')");
    days.load(row(2));
    EXPECT_EQ(days.values(), (RowValues{{"stamp", "2009-12-01 00:00:00"}}));
}
