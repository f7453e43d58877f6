// The key editors on every layout, offscreen: the key definition dialog
// storing and restoring with the layout's own levels, what the keys show,
// restoring everything, the keyboard chooser and the editor it opens, and
// captions that stay inside their keys in every language.
#include "KeyboardCases.h"
#include "editors/FormsFixture.h"
#include "keyboard/KeyEditor.h"
#include "keyboard/KeyboardTypeForm.h"
#include "ui/EntryRules.h"
#include "ui/Languages.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QTextBoundaryFinder>

#include <fstream>
#include <iterator>

using namespace ecr;
using namespace ecr::keyboard;
using Icon = ecr::ui::Prompter::Icon;

namespace {

using keytest::kCases;
using keytest::LayoutCase;

struct KeyFormsTest : FormsFixture {
    using Row = keytest::Row;

    KeyFormsTest() { App().langCode = 3; }

    std::vector<Row> rows() { return keytest::HotkeyRows(*db); }
    static Row plu(long long address, const char* number) { return keytest::PluRow(address, number); }
    static QMap<int, QString> captions(const KeyLayoutView* view) {
        QMap<int, QString> c;
        for (const KeyButton* b : view->keys()) c[b->code()] = b->caption();
        return c;
    }
    // The dialog of a key with PLU fields filled in and stored.
    static void storePlus(KeyEditorWindow& w, int code, const QStringList& fields) {
        KeyDefinitionDialog d(w.view(), code, &w);
        for (int j = 0; j < fields.size(); ++j)
            setText(&d, ("txtPluID" + std::to_string(j)).c_str(), fields[j]);
        click(&d, "cmdModify");
    }
    static void storeFunction(KeyEditorWindow& w, int code, int functionCode) {
        KeyDefinitionDialog d(w.view(), code, &w);
        child<QRadioButton>(&d, "optFunction")->setChecked(true);
        child<QComboBox>(&d, "cboFuncKey")->setCurrentIndex(FunctionIndexOf(functionCode));
        click(&d, "cmdModify");
    }
};

} // namespace

TEST_F(KeyFormsTest, LevelsAreStoredAndShownWithTheLayoutsOwnN) {
    db->execute("INSERT INTO plu(id, name, sid) VALUES('3003', 'Top', 0)");
    for (const LayoutCase& c : kCases) {
        SCOPED_TRACE(LayoutAt(c.index).keyType.data());
        db->execute("DELETE FROM hotkey");
        KeyEditorWindow w(c.index);
        const int n = c.n;

        // The highest level key: N, 2N (, 3N); the highest level shows.
        const QStringList numbers = QStringList{"1001", "2002", "3003"}.mid(0, c.levels);
        storePlus(w, n, numbers);
        std::vector<Row> expected;
        for (int j = 0; j < c.levels; ++j) expected.push_back(plu((j + 1) * n, numbers[j].toLatin1().constData()));
        EXPECT_EQ(rows(), expected);
        KeyButton* top = w.view()->key(n);
        EXPECT_EQ(top->caption(), c.levels == 3 ? "<<  >>\n3003" : "<< ! >>\n2002");
        EXPECT_EQ(top->toolTip().section('\n', 0, 0), numbers.last());

        // Loaded again by the dialog, level by level; restore is offered.
        {
            KeyDefinitionDialog d(w.view(), n, &w);
            EXPECT_TRUE(child<QRadioButton>(&d, "optPLU")->isChecked());
            for (int j = 0; j < c.levels; ++j) EXPECT_EQ(text(&d, ("txtPluID" + std::to_string(j)).c_str()), numbers[j]);
            EXPECT_EQ(d.findChild<QLineEdit*>("txtPluID2") != nullptr, c.levels == 3);
            EXPECT_TRUE(child<QPushButton>(&d, "cmdRestore")->isEnabled());
            EXPECT_EQ(child<QLabel>(&d, "lblDefaultKey")->text(), "Dept " + QString::number(n));
        }

        // A function is stored once, at the key's code.
        storeFunction(w, n, 150);
        EXPECT_EQ(rows(), (std::vector<Row>{{n, 150, 0, "F"}}));
        EXPECT_EQ(top->caption(), "<<  >>\nCopy\nReceipt");
        EXPECT_EQ(top->toolTip(), "Copy Receipt");

        // A row at the last level's address alone shows on key N.
        db->execute("DELETE FROM hotkey");
        const auto words = PluWords("12345678");
        db->execute("INSERT INTO hotkey VALUES(?, ?, ?, 'P')", {c.levels * n, words->first, words->second});
        w.view()->FillButtonText();
        EXPECT_EQ(top->caption(), "<< ! >>\n1234...");
        EXPECT_TRUE(top->warned());
        EXPECT_TRUE(top->toolTip().startsWith("12345678\nE120650 12345678")) << top->toolTip().toStdString();

        // The dialog's restore deletes exactly the key's addresses: a row at
        // the address the 59-key constants would name stays.
        const int foreign = n + 32 <= 384 && n + 32 != 2 * n && n + 32 != 3 * n ? n + 32 : 0;
        if (foreign) db->execute("INSERT INTO hotkey VALUES(?, 0, 9, 'P')", {foreign});
        prompter.answers = {true};
        const qsizetype mark = prompter.shown.size();
        {
            KeyDefinitionDialog d(w.view(), n, &w);
            click(&d, "cmdRestore");
            EXPECT_EQ(d.result(), QDialog::Accepted);
        }
        EXPECT_EQ(messagesSince(mark), QStringList{"E111123\nDept " + QString::number(n)});
        EXPECT_FALSE(prompter.shown.last().defaultYes);
        EXPECT_EQ(rows(), foreign ? (std::vector<Row>{plu(foreign, "8")}) : std::vector<Row>{});
        EXPECT_EQ(top->caption(), "Dept\n" + QString::number(n));
        EXPECT_TRUE(top->toolTip().isEmpty());
        EXPECT_FALSE(top->warned());

        // A single-level key shows one field, stores one row; nothing assigned, no restore.
        db->execute("DELETE FROM hotkey");
        const int single = c.index == kKey93 ? 101 : 151;
        KeyDefinitionDialog d(w.view(), single, &w);
        d.show();
        EXPECT_TRUE(child<QLineEdit>(&d, "txtPluID0")->isVisible());
        for (int j = 1; j < c.levels; ++j) EXPECT_TRUE(child<QLineEdit>(&d, ("txtPluID" + std::to_string(j)).c_str())->isHidden());
        EXPECT_TRUE(child<QLabel>(&d, "Label5")->isHidden());
        EXPECT_FALSE(child<QPushButton>(&d, "cmdRestore")->isEnabled());
        setText(&d, "txtPluID0", "777");
        setText(&d, "txtPluID1", "   "); // hidden: not looked at
        click(&d, "cmdModify");
        EXPECT_EQ(rows(), (std::vector<Row>{plu(single, "777")}));
    }
}

TEST_F(KeyFormsTest, PluFieldsFilterKeysMoveOnAndRefuseWhatTheRegisterCannotHold) {
    KeyEditorWindow w(kKey59);
    KeyDefinitionDialog d(w.view(), 7, &w);
    d.show();
    QLineEdit* level1 = child<QLineEdit>(&d, "txtPluID0");
    EXPECT_EQ(ui::RuleOf(level1), ui::EntryRule::Code);
    level1->setFocus();
    QTest::keyClicks(level1, "12a-3 4");
    EXPECT_EQ(level1->text(), "123 4");
    QTest::keyClick(level1, Qt::Key_Return);
    EXPECT_EQ(focusName(&d), "txtPluID1");

    const struct {
        QString level1, level2, level3;
        QString message; // empty: stored
        const char* focus;
    } cases[] = {
        {"1001", "  ", "", "E111122", "txtPluID1"},
        {"", "", " ", "E111122", "txtPluID2"},
        {"12345678901234567", "", "", "E120001 E111027", "txtPluID0"},
        {"1234567890123456", "", "5", "", nullptr},
    };
    for (const auto& c : cases) {
        db->execute("DELETE FROM hotkey");
        db->execute("INSERT INTO hotkey VALUES(7, 0, 2, 'P')");
        KeyDefinitionDialog e(w.view(), 7, &w);
        e.show();
        setText(&e, "txtPluID0", c.level1);
        setText(&e, "txtPluID1", c.level2);
        setText(&e, "txtPluID2", c.level3);
        const qsizetype mark = prompter.shown.size();
        click(&e, "cmdModify");
        if (c.message.isEmpty()) {
            EXPECT_EQ(prompter.shown.size(), mark);
            EXPECT_EQ(rows(), (std::vector<Row>{plu(7, "1234567890123456"), plu(71, "5")}));
            continue;
        }
        EXPECT_EQ(messagesSince(mark), QStringList{c.message}) << c.level1.toStdString();
        EXPECT_EQ(prompter.shown.last().title, "E111115");
        EXPECT_EQ(focusName(&e), c.focus);
        EXPECT_TRUE(e.isVisible());
        EXPECT_EQ(rows(), (std::vector<Row>{plu(7, "1")})); // nothing changed
    }
}

TEST_F(KeyFormsTest, DatabaseErrorsAreShownLoggedAndChangeNothing) {
    db->execute("INSERT INTO hotkey VALUES(5, 0, 2, 'P')");
    KeyEditorWindow w(kKey59);
    db->execute("CREATE TRIGGER refuse BEFORE INSERT ON hotkey BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    {
        KeyDefinitionDialog d(w.view(), 5, &w);
        d.show();
        setText(&d, "txtPluID0", "42");
        const qsizetype mark = prompter.shown.size();
        click(&d, "cmdModify");
        ASSERT_EQ(prompter.shown.size(), mark + 1);
        EXPECT_TRUE(prompter.shown.last().text.startsWith("E111465\n")) << prompter.shown.last().text.toStdString();
        EXPECT_TRUE(prompter.shown.last().text.contains("disk full"));
        EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
        // The dialog stays with what was typed; the key keeps its number.
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(text(&d, "txtPluID0"), "42");
    }
    EXPECT_EQ(rows(), (std::vector<Row>{plu(5, "1")}));
    EXPECT_EQ(w.view()->key(5)->caption(), "<< ! >>\n1");

    db->execute("CREATE TRIGGER keep BEFORE DELETE ON hotkey BEGIN SELECT RAISE(ABORT, 'locked'); END");
    for (const char* form : {"key", "window"}) {
        SCOPED_TRACE(form);
        const qsizetype mark = prompter.shown.size();
        prompter.answers = {true};
        if (form == std::string("key")) {
            KeyDefinitionDialog d(w.view(), 5, &w);
            click(&d, "cmdRestore");
            EXPECT_NE(d.result(), QDialog::Accepted);
        } else {
            click(&w, "cmdRestore");
        }
        const QStringList shown = messagesSince(mark);
        ASSERT_EQ(shown.size(), 2);
        EXPECT_TRUE(shown[0].startsWith("E111123\n"));
        EXPECT_TRUE(shown[1].startsWith("E111465\n"));
        EXPECT_EQ(rows(), (std::vector<Row>{plu(5, "1")}));
        EXPECT_EQ(w.view()->key(5)->caption(), "<< ! >>\n1");
    }
    std::ifstream log(ErrorLogPath());
    const std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    for (const char* where : {"frmDefineKey59_S_cmdModify_Click", "frmDefineKey59_S_cmdRestore_Click",
                              "frmDefineKey59_cmdRestore_Click"})
        EXPECT_NE(logged.find(where), std::string::npos) << where;
}

TEST_F(KeyFormsTest, DialogLoadsFunctionsIncludingOnesOutsideTheList) {
    db->execute("INSERT INTO hotkey VALUES(3, 128, 0, 'F'), (4, 146, 0, 'F'), (5, 0, 0, '')");
    KeyEditorWindow w(kKey48);
    {
        KeyDefinitionDialog d(w.view(), 3, &w);
        EXPECT_TRUE(child<QRadioButton>(&d, "optFunction")->isChecked());
        EXPECT_EQ(child<QComboBox>(&d, "cboFuncKey")->currentText(), "E111418");
        d.show();
        EXPECT_TRUE(child<QFrame>(&d, "Frame2")->isVisible());
        EXPECT_FALSE(child<QFrame>(&d, "Frame1")->isVisible());
        child<QRadioButton>(&d, "optPLU")->setChecked(true);
        EXPECT_FALSE(child<QFrame>(&d, "Frame2")->isVisible());
        EXPECT_TRUE(child<QFrame>(&d, "Frame1")->isVisible());
    }
    {
        // Multiply is no choice of the list: shown by its caption, kept on store.
        KeyDefinitionDialog d(w.view(), 4, &w);
        EXPECT_EQ(child<QComboBox>(&d, "cboFuncKey")->currentText(), "Multiply");
        click(&d, "cmdModify");
        EXPECT_EQ(rows()[1], (Row{4, 146, 0, "F"}));
    }
    // A blank record from the register is no assignment.
    KeyDefinitionDialog d(w.view(), 5, &w);
    EXPECT_TRUE(child<QRadioButton>(&d, "optPLU")->isChecked());
    EXPECT_FALSE(child<QPushButton>(&d, "cmdRestore")->isEnabled());
    EXPECT_EQ(w.view()->key(5)->caption(), "Dept\n5");
    EXPECT_TRUE(w.view()->key(5)->toolTip().isEmpty());
}

TEST_F(KeyFormsTest, ClickingAKeyOpensItsDialogAndStoringRefreshesTheKeys) {
    KeyEditorWindow w(kKey39_2);
    w.show();
    auto seen = whenModal("frmDefineKey39_2_S", [&](QDialog* d) {
        EXPECT_EQ(child<QLabel>(d, "lblDefaultKey")->text(), "Dept 9");
        setText(d, "txtPluID2", "55");
        click(d, "cmdModify");
    });
    QTest::mouseClick(w.view()->key(9), Qt::LeftButton);
    EXPECT_TRUE(*seen);
    EXPECT_EQ(rows(), (std::vector<Row>{plu(33, "55")}));
    EXPECT_EQ(w.view()->key(9)->caption(), "<< ! >>\n55");
    // Exit keeps everything as it is.
    auto exited = whenModal("frmDefineKey39_2_S", [&](QDialog* d) {
        setText(d, "txtPluID0", "99");
        click(d, "cmdExit");
    });
    QTest::mouseClick(w.view()->key(9), Qt::LeftButton);
    EXPECT_TRUE(*exited);
    EXPECT_EQ(rows(), (std::vector<Row>{plu(33, "55")}));
}

TEST_F(KeyFormsTest, RestoreAllEmptiesHotkeyAndShowsFactoryCaptionsOnEveryLayout) {
    for (const LayoutCase& c : kCases) {
        SCOPED_TRACE(LayoutAt(c.index).keyType.data());
        KeyEditorWindow w(c.index);
        const QMap<int, QString> factory = captions(w.view());
        storePlus(w, 1, {"11", "22"});
        storeFunction(w, 2, 151);
        storePlus(w, c.n, c.levels == 3 ? QStringList{"", "", "33"} : QStringList{"", "33"});
        EXPECT_NE(captions(w.view()), factory);

        // No keeps everything.
        prompter.answers = {false};
        click(&w, "cmdRestore");
        EXPECT_EQ(prompter.shown.last().text, "E111123\nE120652 3");
        EXPECT_EQ(prompter.shown.last().icon, Icon::Question);
        EXPECT_FALSE(prompter.shown.last().defaultYes);
        EXPECT_FALSE(rows().empty());

        prompter.answers = {true};
        click(&w, "cmdRestore");
        EXPECT_TRUE(rows().empty());
        EXPECT_EQ(captions(w.view()), factory);
        for (const KeyButton* b : w.view()->keys()) EXPECT_FALSE(b->warned()) << b->code();
    }
}

// The stored keyboard type: the editor it opens and the chooser's item.
TEST_F(KeyFormsTest, KeyboardTypeOpensItsEditorAndTheChooserStoresIt) {
    const struct {
        std::optional<int> stored; // none: no info row
        const char* editor;
        int shown;
    } cases[] = {{std::nullopt, "frmDefineKey59", 2}, {0, "frmDefineKey39", 0}, {1, "frmDefineKey48", 1},
                 {3, "frmDefineKey93", 3},          {4, "frmDefineKey39_2", 4}, {7, "frmDefineKey59", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.editor);
        db->execute("DELETE FROM info");
        if (c.stored) db->execute("INSERT INTO info(keyboard) VALUES(?)", {*c.stored});
        auto seen = whenModal(c.editor, [](QDialog*) {});
        OpenKeyboardEditor(nullptr);
        EXPECT_TRUE(*seen);
        KeyboardTypeForm f;
        EXPECT_EQ(child<QComboBox>(&f, "cboKeyboard")->currentIndex(), c.shown);
    }
    // Exit stores nothing; Modify inserts the row when there is none.
    db->execute("DELETE FROM info");
    {
        KeyboardTypeForm f;
        child<QComboBox>(&f, "cboKeyboard")->setCurrentIndex(1);
        click(&f, "cmdExit");
        EXPECT_TRUE(db->query("SELECT 1 FROM info").empty());
    }
    for (int pos : {4, 0}) {
        KeyboardTypeForm f;
        child<QComboBox>(&f, "cboKeyboard")->setCurrentIndex(pos);
        click(&f, "cmdModify");
        EXPECT_EQ(f.result(), QDialog::Accepted);
        EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
        EXPECT_EQ(db->scalar("SELECT keyboard FROM info").toInt(), pos);
    }
}

TEST_F(KeyFormsTest, KeyFontsFollowTheLanguage) {
    for (int lang : {1, 3}) {
        App().langCode = lang;
        KeyEditorWindow w(kKey93);
        const QFont f = w.view()->key(1)->font();
        if (lang == 1) {
            EXPECT_TRUE(f.bold());
            EXPECT_EQ(f.pointSizeF(), 9);
            EXPECT_TRUE(QFontDatabase::writingSystems(f.family()).contains(QFontDatabase::SimplifiedChinese))
                << f.family().toStdString();
            EXPECT_EQ(w.view()->key(1)->caption(), "部类1");
        } else {
            EXPECT_FALSE(f.bold());
            EXPECT_EQ(f.pointSizeF(), 8);
            EXPECT_EQ(f.family(), ui::InterfaceFontFamily(3));
        }
    }
}

namespace {

// The pixels a caption paints, drawn as the key draws it on a canvas larger
// than the key: their bounding box in the key's coordinates.
QRect inkOf(const KeyButton* b) {
    const int margin = 30;
    QImage img(b->size() + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.translate(margin, margin);
    p.setFont(b->fitted().font);
    p.setPen(Qt::black);
    p.drawText(b->captionArea(), Qt::AlignCenter, b->fitted().text);
    p.end();
    QRect ink;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0) ink |= QRect(x - margin, y - margin, 1, 1);
    return ink;
}

// A shown line is the caption's line, or a start of it that ends on a
// character boundary followed by "…".
bool wholeOrCutAtCharacter(const QString& shown, const QString& original) {
    if (shown == original) return true;
    if (!shown.endsWith(QStringLiteral("\u2026"))) return false;
    const QString start = shown.chopped(1);
    if (!original.startsWith(start)) return false;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, original);
    graphemes.setPosition(static_cast<int>(start.size()));
    return graphemes.isAtBoundary();
}

} // namespace

TEST_F(KeyFormsTest, CaptionsStayInsideTheirKeysInEveryLanguage) {
    int checked = 0, shrunk = 0;
    for (const LayoutCase& c : kCases) {
        db->execute("DELETE FROM hotkey");
        const auto w16 = PluWords("1234567890123456");
        db->execute("INSERT INTO hotkey VALUES(1, ?, ?, 'P'), (2, 150, 0, 'F'), (3, 137, 0, 'F')",
                    {w16->first, w16->second});
        for (int lang = 1; lang <= 7; ++lang) {
            App().langCode = lang;
            KeyEditorWindow w(c.index);
            for (const KeyButton* b : w.view()->keys()) {
                SCOPED_TRACE(LayoutAt(c.index).keyType.data() + std::string(" lang ") + std::to_string(lang) +
                             " key " + std::to_string(b->code()) + " " + b->caption().toStdString());
                const QRect ink = inkOf(b);
                EXPECT_FALSE(ink.isNull());
                EXPECT_TRUE(b->rect().adjusted(1, 1, -1, -1).contains(ink)) << ink.x() << "," << ink.y() << " "
                                                                           << ink.width() << "x" << ink.height();
                EXPECT_GE(b->fitted().font.pointSizeF(), kMinKeyPointSize);
                const QStringList shown = b->fitted().text.split('\n');
                const QStringList lines = b->caption().split('\n');
                ASSERT_LE(shown.size(), lines.size());
                for (int i = 0; i < shown.size(); ++i) EXPECT_TRUE(wholeOrCutAtCharacter(shown[i], lines[i])) << i;
                EXPECT_EQ(b->fitted().elided, b->fitted().text != b->caption());
                if (b->fitted().elided) {
                    EXPECT_FALSE(b->toolTip().isEmpty());
                }
                shrunk += b->fitted().font.pointSizeF() < b->font().pointSizeF();
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 7 * (39 + 39 + 48 + 59 + 93));
    EXPECT_GT(shrunk, 0); // the long captions did need a smaller size
}

TEST_F(KeyFormsTest, CaptionsTooLongForAnySizeAreCutAtWholeCharactersWithTheTextAsTooltip) {
    App().langCode = 7;
    const char* thai = "ประชาสัมพันธ์ประชาสัมพันธ์ประชาสัมพันธ์";
    db->execute("UPDATE buttontext SET thailand_content = ? WHERE keytype = 'KEY39' AND keycode = 1", {thai});
    db->execute("UPDATE buttontext SET thailand_content = 'a b c d e f g h' WHERE keytype = 'KEY39' AND keycode = 2");
    KeyEditorWindow w(kKey39);
    const KeyButton* one = w.view()->key(1);
    EXPECT_TRUE(one->fitted().elided);
    EXPECT_EQ(one->fitted().font.pointSizeF(), kMinKeyPointSize);
    EXPECT_EQ(one->toolTip(), QString::fromUtf8(thai));
    EXPECT_TRUE(wholeOrCutAtCharacter(one->fitted().text, QString::fromUtf8(thai))) << one->fitted().text.toStdString();
    EXPECT_TRUE(one->rect().contains(inkOf(one)));

    const KeyButton* two = w.view()->key(2);
    EXPECT_TRUE(two->fitted().elided);
    EXPECT_EQ(two->toolTip(), "a b c d e f g h");
    const QStringList shown = two->fitted().text.split('\n');
    EXPECT_LT(shown.size(), 8);
    EXPECT_EQ(shown.last(), QString(QChar(static_cast<char16_t>(u'a' + shown.size() - 1))) + QStringLiteral("\u2026"));
    EXPECT_TRUE(two->rect().contains(inkOf(two)));
}
