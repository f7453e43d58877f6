// The entry forms refuse what the register cannot hold, typed or pasted: the
// message names the field and the reason, the focus goes into the field and
// nothing is written. What the key filters drop from pasted text never
// reaches the row.
#include "FormsFixture.h"
#include "app/CodePage.h"
#include "editors/CashierForm.h"
#include "editors/DepartForm.h"
#include "editors/PluForm.h"

#include <QClipboard>

#include <memory>

using namespace ecr;
using namespace ecr::editors;
using namespace ecr::ui;

namespace {

struct Editor {
    const char* entry;
    const char* table;
    std::vector<std::pair<const char*, const char*>> valid; // a row that may be saved
    std::function<std::unique_ptr<QDialog>()> open;
};

const Editor& editor(const std::string& table) {
    static const Editor editors[] = {
        {"frmDepart_S", "depart", {{"txtDepartName", "Bread"}, {"txtPrice", "1.5"}, {"txtTaxRate", "9"}},
         [] { return std::make_unique<DepartForm>(); }},
        {"frmCashier_S", "cashier", {{"txtCashierName", "Anna"}, {"txtPasswd", "1234"}},
         [] { return std::make_unique<CashierForm>(); }},
        {"frmPLU_S", "plu",
         {{"txtId", "1001"}, {"txtName", "Tea"}, {"txtDepart", "1"}, {"txtPrice", "2"}, {"txtSafeStock", "0"},
          {"txtStockValue", "0"}},
         [] { return std::make_unique<PluForm>(); }},
    };
    for (const Editor& e : editors)
        if (table == e.table) return e;
    throw std::logic_error(table);
}

struct EntryRefusalTest : FormsFixture {
    // Adds a row through the table's entry form with one field typed or
    // pasted. Returns the messages shown and the field with the focus after
    // the save.
    std::pair<QStringList, QString> add(const Editor& e, const char* field, const QString& text, bool paste) {
        std::unique_ptr<QDialog> list = e.open();
        list->show();
        QStringList shown;
        QString focus;
        prompter.answers = {false}; // no other row
        auto seen = whenModal(e.entry, [&](QDialog* d) {
            for (auto [name, value] : e.valid) setText(d, name, QString::fromUtf8(value));
            QLineEdit* box = child<QLineEdit>(d, field);
            box->setFocus();
            box->selectAll();
            if (paste) {
                QApplication::clipboard()->setText(text);
                QTest::keySequence(box, QKeySequence::Paste);
            } else {
                // Key presses with their text, letters outside ASCII as well.
                for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            }
            const qsizetype mark = prompter.shown.size();
            click(d, "cmdSave");
            shown = messagesSince(mark);
            focus = focusName(d);
        });
        click(list.get(), "cmdAdd");
        EXPECT_TRUE(*seen);
        return {shown, focus};
    }
};

} // namespace

TEST_F(EntryRefusalTest, WhatTheRegisterCannotHoldIsRefusedTypedOrPasted) {
    SetRegisterCodePage(kDefaultCodePage);
    struct Case {
        const char* table;
        const char* field;
        const char* text;
        bool paste;
        const char* refusal; // the message; nullptr: saved
        const char* column;  // saved: the column read back ...
        const char* stored;  // ... and its value
    };
    const Case cases[] = {
        // Names: bytes in the register's code page, and characters it lacks.
        {"depart", "txtDepartName", "Chloé Martin-Dubois-Lefebvre", false, "S120002 S111034 29 20"},
        {"depart", "txtDepartName", "Phở bò", true, "S120003 S111034 ở"},
        {"cashier", "txtCashierName", "Chloé Martin-Dubois-Lefebvre", true, "S120002 S111003 29 20"},
        {"cashier", "txtCashierName", "王芳", true, nullptr, "name", "王芳"},
        {"plu", "txtName", "Phở bò", true, "S120003 S111075 ở"},
        {"plu", "txtName", "一二三四五六七八九十一", false, "S111174"},
        // Amounts that would wrap in their 4-byte field at two decimals.
        {"depart", "txtPrice", "99999999", false, "S120004 S111035 99999999 -21474836.48 21474836.47"},
        {"depart", "txtTaxRate", "21474836.48", true, "S120004 S111386 21474836.48 -21474836.48 21474836.47"},
        {"plu", "txtPrice", "99999999", false, "S120004 S111077 99999999 -21474836.48 21474836.47"},
        {"plu", "txtMemberPrice", "25000000", true, "S120004 S111448 25000000 -21474836.48 21474836.47"},
        {"plu", "txtSafeStock", "2147484", false, "S120004 S111078 2147484 -2147483.647 2147483.647"},
        // Codes of 1 to 16 digits, department numbers the register has.
        {"plu", "txtId", "12345678901234567", false, "S120001 S111074"},
        {"plu", "txtDepart", "300", true, "S120004 S111076 300 0 100"},
        // What a key filter drops from pasted text never arrives.
        {"depart", "txtPrice", "12abc", true, nullptr, "price", "12"},
        {"cashier", "txtPasswd", "12ab34", true, nullptr, "passwd", "1234"},
        {"plu", "txtId", "12ab34", true, nullptr, "id", "1234"},
        {"plu", "txtDepart", "100", false, nullptr, "depart", "100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.field + " " + c.text + (c.paste ? " pasted" : " typed"));
        const Editor& e = editor(c.table);
        db->execute(std::string("DELETE FROM ") + c.table);
        const auto [shown, focus] = add(e, c.field, QString::fromUtf8(c.text), c.paste);
        const long long rows = db->scalar(std::string("SELECT count(*) FROM ") + c.table).toInt();
        if (c.refusal) {
            EXPECT_EQ(shown, QStringList({QString::fromUtf8(c.refusal)}));
            EXPECT_EQ(focus, c.field);
            EXPECT_EQ(rows, 0);
        } else {
            ASSERT_EQ(rows, 1) << shown.join('|').toStdString();
            EXPECT_EQ(db->scalar(std::string("SELECT ") + c.column + " FROM " + c.table).toText(), c.stored);
        }
    }
}

// params.PointEn sets the decimals a price is scaled by: with none, a price
// of 99999999 fits its field.
TEST_F(EntryRefusalTest, ThePriceRangeFollowsTheDecimalsInForce) {
    db->execute("INSERT INTO params(PointEn) VALUES(0)");
    auto [shown, focus] = add(editor("plu"), "txtPrice", "99999999", false);
    EXPECT_EQ(db->scalar("SELECT price FROM plu").toDouble(), 99999999.0);
    db->execute("DELETE FROM plu");
    db->execute("UPDATE params SET PointEn = 3");
    std::tie(shown, focus) = add(editor("plu"), "txtPrice", "2147484", false);
    EXPECT_EQ(shown, QStringList({"S120004 S111077 2147484 -2147483.648 2147483.647"}));
    EXPECT_EQ(focus, "txtPrice");
}
