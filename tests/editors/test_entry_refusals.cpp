// The entry forms refuse a missing or taken value and what the register
// cannot hold, typed or pasted: the message names the field and the reason,
// the focus goes into the field and nothing is written. What the key filters
// drop from pasted text never reaches the row.
#include "FormsFixture.h"
#include "app/CodePage.h"
#include "editors/BundleForm.h"
#include "editors/CashierForm.h"
#include "editors/DepartForm.h"
#include "editors/MemberForm.h"
#include "editors/PluForm.h"
#include "editors/PromotionForm.h"

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
    const char* existing; // a stored row whose code a case may take
};

const Editor& editor(const std::string& table) {
    static const Editor editors[] = {
        {"frmDepart_S", "depart", {{"txtDepartName", "Bread"}, {"txtPrice", "1.5"}, {"txtTaxRate", "9"}},
         [] { return std::make_unique<DepartForm>(); }, "INSERT INTO depart(id, name) VALUES(1, 'x')"},
        {"frmCashier_S", "cashier", {{"txtCashierName", "Anna"}, {"txtPasswd", "1234"}},
         [] { return std::make_unique<CashierForm>(); }, "INSERT INTO cashier(id, name) VALUES(1, 'x')"},
        {"frmPLU_S", "plu",
         {{"txtId", "1001"}, {"txtName", "Tea"}, {"txtDepart", "1"}, {"txtPrice", "2"}, {"txtSafeStock", "0"},
          {"txtStockValue", "0"}},
         [] { return std::make_unique<PluForm>(); }, "INSERT INTO plu(id, name, sid) VALUES('690001', 'x', 0)"},
        {"frmMember_S", "member", {{"txtId", "2002"}, {"txtName", "Anna"}},
         [] { return std::make_unique<MemberForm>(); },
         "INSERT INTO member(userid, username, score, addr, sid) VALUES('1001', 'x', 0, 0, 0)"},
        {"frmPromotion_S", "promotion", {{"txtPromotionName", "Coffee"}, {"txtPLUId", "9003"}, {"txtQuantity", "1"}},
         [] { return std::make_unique<PromotionForm>(); }, nullptr},
        {"frmBundle_S", "bundle",
         {{"txtBundleID", "503"}, {"txtBundleName", "Set"}, {"txtPrice", "4"}, {"txtPluID1", "9001"}},
         [] { return std::make_unique<BundleForm>(); },
         "INSERT INTO bundle(bundlenumber, bundlename, price, address, sid) VALUES('501', 'x', 1, 0, 0)"},
    };
    for (const Editor& e : editors)
        if (table == e.table) return e;
    throw std::logic_error(table);
}

// How the one field gets its text: key presses, a paste, or set as a whole
// (past the key filter).
enum class Entry { Typed, Pasted, Set };

// What a save in the entry form left: the messages, the field with the
// focus, whether the form is still open.
struct Saved {
    QStringList shown;
    QString focus;
    bool open = false;
};

struct EntryRefusalTest : FormsFixture {
    // Adds a row through the table's entry form with one field changed from
    // a valid row, answering the question for another row.
    Saved add(const Editor& e, const char* field, const QString& text, Entry how, bool another = false) {
        std::unique_ptr<QDialog> list = e.open();
        list->show();
        Saved saved;
        prompter.answers = {another};
        auto seen = whenModal(e.entry, [&](QDialog* d) {
            for (auto [name, value] : e.valid) setText(d, name, QString::fromUtf8(value));
            QLineEdit* box = child<QLineEdit>(d, field);
            box->setFocus();
            box->selectAll();
            if (how == Entry::Set) {
                box->setText(text);
            } else if (how == Entry::Pasted) {
                QApplication::clipboard()->setText(text);
                QTest::keySequence(box, QKeySequence::Paste);
            } else {
                // Key presses with their text, letters outside ASCII as well.
                for (QChar ch : text) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            }
            const qsizetype mark = prompter.shown.size();
            click(d, "cmdSave");
            saved = {messagesSince(mark), focusName(d), d->isVisible()};
        });
        click(list.get(), "cmdAdd");
        EXPECT_TRUE(*seen);
        return saved;
    }
};

} // namespace

TEST_F(EntryRefusalTest, MissingTakenOrTooLargeValuesAreRefused) {
    SetRegisterCodePage(kDefaultCodePage);
    constexpr Entry T = Entry::Typed, P = Entry::Pasted, S = Entry::Set;
    struct Case {
        const char* table;
        const char* field;
        const char* text;
        Entry how;
        const char* refusal; // the message; nullptr: saved
        const char* column;  // saved: the column read back ...
        const char* stored;  // ... and its value
        const char* focus = ""; // refused: "" the field itself, nullptr not looked at
    };
    const Case cases[] = {
        // Missing values, blanks only, and codes already taken.
        {"depart", "txtDepartName", "   ", S, "S111126"},
        {"plu", "txtId", "  ", S, "S111172"},
        {"plu", "txtId", "690001", S, "S111401"},
        {"plu", "txtName", "", S, "S111173"},
        {"plu", "txtDepart", "", S, "S111175"},
        {"plu", "txtPrice", "", S, "S111176"},
        {"plu", "txtSafeStock", "", S, "S111177"},
        {"plu", "txtStockValue", "", S, "S111178"},
        {"member", "txtId", "", S, "S111251"},
        {"member", "txtId", "1001", S, "S111401"},
        {"member", "txtName", "  ", S, "S111252"},
        {"promotion", "txtPromotionName", " ", S, "S111512"},
        {"promotion", "txtPLUId", "", S, "S111513"},
        {"promotion", "txtQuantity", "", S, "S111514"},
        {"bundle", "txtBundleID", " ", S, "S111354"},
        {"bundle", "txtBundleID", "501", S, "S111401"},
        {"bundle", "txtBundleName", "", S, "S111355"},
        {"bundle", "txtPrice", "", S, "S111356"},
        // Names: bytes in the register's code page, and characters it lacks.
        {"depart", "txtDepartName", "Chloé Martin-Dubois-Lefebvre", T, "S120002 S111034 29 20"},
        {"depart", "txtDepartName", "Phở bò", P, "S120003 S111034 ở"},
        {"cashier", "txtCashierName", "Chloé Martin-Dubois-Lefebvre", P, "S120002 S111003 29 20"},
        {"cashier", "txtCashierName", "王芳", P, nullptr, "name", "王芳"},
        {"plu", "txtName", "Phở bò", P, "S120003 S111075 ở"},
        {"plu", "txtName", "一二三四五六七八九十一", T, "S111174"}, // 22 bytes
        {"plu", "txtName", "一二三四五六七八九十", T, nullptr, "name", "一二三四五六七八九十"},
        {"member", "txtName", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", S, "S120002 S111247 33 32"},
        {"member", "txtName", "伟伟伟伟伟伟伟伟伟伟伟伟伟伟伟伟伟", S, "S120002 S111247 34 32"},
        {"promotion", "txtPromotionName", "ccccccccccccccccccccc", S, "S120002 S111492 21 20"},
        // Amounts that would wrap in their 4-byte field at two decimals.
        {"depart", "txtPrice", "99999999", T, "S120004 S111035 99999999 -21474836.48 21474836.47"},
        {"depart", "txtTaxRate", "21474836.48", P, "S120004 S111386 21474836.48 -21474836.48 21474836.47"},
        {"plu", "txtPrice", "99999999", T, "S120004 S111077 99999999 -21474836.48 21474836.47"},
        {"plu", "txtMemberPrice", "25000000", P, "S120004 S111448 25000000 -21474836.48 21474836.47"},
        {"plu", "txtSafeStock", "2147484", T, "S120004 S111078 2147484 -2147483.647 2147483.647"},
        {"promotion", "txtQuantity", "2147483648", S, "S120004 S111496 2147483648 0 2147483647"},
        // Codes of 1 to 16 digits, department numbers the register has.
        {"plu", "txtId", "12345678901234567", T, "S120001 S111074"},
        {"plu", "txtDepart", "300", P, "S120004 S111076 300 0 100"},
        {"bundle", "txtPluID1", "90 01 x", S, "S120001 S111321"},
        // What a key filter drops from pasted text never arrives.
        {"depart", "txtPrice", "12abc", P, nullptr, "price", "12"},
        {"cashier", "txtPasswd", "12ab34", P, nullptr, "passwd", "1234"},
        {"plu", "txtId", "12ab34", P, nullptr, "id", "1234"},
        {"plu", "txtDepart", "100", T, nullptr, "depart", "100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.field + " '" + c.text + "' " +
                     (c.how == T ? "typed" : c.how == P ? "pasted" : "set"));
        const Editor& e = editor(c.table);
        const std::string table = c.table;
        db->execute("DELETE FROM " + table);
        if (e.existing) db->execute(e.existing);
        const long long before = db->scalar("SELECT count(*) FROM " + table).toInt();
        const auto [shown, focus, open] = add(e, c.field, QString::fromUtf8(c.text), c.how);
        const long long rows = db->scalar("SELECT count(*) FROM " + table).toInt() - before;
        if (c.refusal) {
            EXPECT_EQ(shown, QStringList({QString::fromUtf8(c.refusal)}));
            if (c.focus) {
                EXPECT_EQ(focus, *c.focus ? c.focus : c.field);
            }
            EXPECT_EQ(rows, 0);
        } else {
            ASSERT_EQ(rows, 1) << shown.join('|').toStdString();
            EXPECT_EQ(db->scalar("SELECT " + std::string(c.column) + " FROM " + table + " ORDER BY rowid DESC LIMIT 1")
                          .toText(),
                      c.stored);
        }
    }
}

// params.PointEn sets the decimals a price is scaled by: with none, a price
// of 99999999 fits its field.
TEST_F(EntryRefusalTest, ThePriceRangeFollowsTheDecimalsInForce) {
    db->execute("INSERT INTO params(PointEn) VALUES(0)");
    add(editor("plu"), "txtPrice", "99999999", Entry::Typed);
    EXPECT_EQ(db->scalar("SELECT price FROM plu").toDouble(), 99999999.0);
    db->execute("DELETE FROM plu");
    db->execute("UPDATE params SET PointEn = 3");
    const Saved s = add(editor("plu"), "txtPrice", "2147484", Entry::Typed);
    EXPECT_EQ(s.shown, QStringList({"S120004 S111077 2147484 -2147483.648 2147483.647"}));
    EXPECT_EQ(s.focus, "txtPrice");
}

// Every place of the kind's pages taken: Add is refused and nothing is
// written. A freed place is the one the next row takes; a member form asked
// for another row after it says the table is full and closes.
TEST_F(EntryRefusalTest, AFullTableRefusesTheAddAndAFreedPlaceIsTaken) {
    db->execute("INSERT INTO info(keyboard) VALUES(0)"); // 64 PLU pages
    const struct {
        const char* table;
        const char* insert; // a row with code ?1 at place ?2
        int pages, perPage;
        const char* codeBox;
        const char* code;
        const char* place;
        const char* full;
        bool atSave;                // refused by the save rather than before the form opens
        QStringList afterAnother;   // nothing: not asked for another row
    } cases[] = {
        {"plu", "INSERT INTO plu(id, name, sid) VALUES(?, 'x', ?)", 64, 64, "txtId", "id", "sid", "S120110", true},
        {"member", "INSERT INTO member(userid, username, score, addr, sid) VALUES(?, 'x', 0, 0, ?)", 32, 32, "txtId",
         "userid", "sid", "S120550", false, {"S111111", "S120550"}},
        {"promotion",
         "INSERT INTO promotion(pluid, address, promotionname, sdate, edate, quantity, discountprice, PresentPluId, "
         "PresentQuantity) VALUES(?, ?, 'x', '2009-10-01 00:00:00', '2009-10-31 00:00:00', 1, 0, '', 0)",
         8, 32, "txtPromotionName", "promotionname", "address", "S120551", false},
        {"bundle", "INSERT INTO bundle(bundlenumber, sid, bundlename, price, address) VALUES(?, ?, 'x', 1, 0)", 16, 16,
         "txtBundleID", "bundlenumber", "sid", "S120552", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        const Editor& e = editor(c.table);
        const std::string table = c.table;
        {
            db::Transaction t(*db);
            for (int p = 0; p < c.pages; ++p)
                for (int i = 0; i < c.perPage; ++i) db->execute(c.insert, {std::to_string(100000 + p * 100 + i), p * 100 + i});
            t.commit();
        }
        auto count = [&] { return db->scalar("SELECT count(*) FROM " + table).toInt(); };
        if (c.atSave) {
            const Saved s = add(e, c.codeBox, "777", Entry::Set);
            EXPECT_EQ(s.shown, QStringList({c.full}));
            EXPECT_TRUE(s.open);
        } else {
            std::unique_ptr<QDialog> list = e.open();
            list->show();
            auto seen = whenModal(e.entry, [](QDialog*) {});
            const qsizetype mark = prompter.shown.size();
            click(list.get(), "cmdAdd");
            EXPECT_EQ(messagesSince(mark), QStringList({c.full}));
            QTest::qWait(20);
            EXPECT_FALSE(*seen);
        }
        EXPECT_EQ(count(), c.pages * c.perPage);

        const int freed = (c.pages - 1) * 100 + c.perPage / 2;
        db->execute("DELETE FROM " + table + " WHERE " + c.place + " = ?", {freed});
        const Saved s = add(e, c.codeBox, "777", Entry::Set, !c.afterAnother.isEmpty());
        if (!c.afterAnother.isEmpty()) {
            EXPECT_EQ(s.shown, c.afterAnother);
            EXPECT_FALSE(s.open);
        }
        EXPECT_EQ(db->scalar("SELECT " + std::string(c.place) + " FROM " + table + " WHERE " + c.code + " = '777'").toInt(),
                  freed);
    }
}
