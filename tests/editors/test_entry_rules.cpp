// The entry-rule families: characters kept (typed, pasted or dropped), Enter
// moving on, select-all on focus.
#include "FormsFixture.h"
#include "ui/EntryRules.h"

#include <QClipboard>
#include <QMimeData>
#include <QVBoxLayout>

using namespace ecr::ui;

// One point for decimals, judged on the whole text; any number for amounts;
// Enter moves on everywhere but in page boxes and where the form says not.
TEST(EntryRules, PointsAndEnter) {
    EXPECT_FALSE(RuleAccepts(EntryRule::Decimal, '.', "1.2"));
    EXPECT_FALSE(RuleAccepts(EntryRule::DecimalNoEnter, '.', "."));
    EXPECT_TRUE(RuleAccepts(EntryRule::Amount, '.', "1.2"));
    for (EntryRule r : {EntryRule::Text, EntryRule::Digits, EntryRule::Code, EntryRule::Decimal})
        EXPECT_TRUE(RuleAccepts(r, '\b', "1.2")) << static_cast<int>(r);
    EXPECT_FALSE(RuleMovesOn(EntryRule::Digits));
    EXPECT_FALSE(RuleMovesOn(EntryRule::DecimalNoEnter));
    for (EntryRule r : {EntryRule::Text, EntryRule::DigitsMoveOn, EntryRule::Code, EntryRule::Amount, EntryRule::Decimal})
        EXPECT_TRUE(RuleMovesOn(r));
}

namespace {
struct RuleWidgets : FormsFixture {
    QDialog form;
    QLineEdit* decimal = new QLineEdit(&form);
    QLineEdit* amount = new QLineEdit(&form);
    QLineEdit* pages = new QLineEdit(&form);
    QLineEdit* name = new QLineEdit(&form);
    QPushButton* save = new QPushButton("save", &form);
    int saved = 0;
    RuleWidgets() {
        auto* l = new QVBoxLayout(&form);
        for (QWidget* w : std::initializer_list<QWidget*>{decimal, amount, pages, name, save}) l->addWidget(w);
        decimal->setObjectName("decimal");
        amount->setObjectName("amount");
        pages->setObjectName("pages");
        name->setObjectName("name");
        ApplyEntryRule(decimal, EntryRule::Decimal);
        ApplyEntryRule(amount, EntryRule::Amount);
        ApplyEntryRule(pages, EntryRule::Digits);
        ApplyEntryRule(name, EntryRule::Text);
        save->setDefault(true);
        QObject::connect(save, &QPushButton::clicked, [this] { ++saved; });
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
    }
};
} // namespace

TEST_F(RuleWidgets, TypedKeysAreFilteredAndEnterMovesOn) {
    decimal->setFocus();
    QTest::keyClicks(decimal, "1.2.3x");
    EXPECT_EQ(decimal->text(), "1.23");
    // A second point is refused even over a selection holding the first.
    decimal->selectAll();
    QTest::keyClick(decimal, '.');
    EXPECT_EQ(decimal->text(), "1.23");
    EXPECT_EQ(decimal->selectedText(), "1.23");
    QTest::keyClick(decimal, Qt::Key_End);
    QTest::keyClick(decimal, Qt::Key_Backspace);
    EXPECT_EQ(decimal->text(), "1.2");

    QTest::keyClicks(amount, "1.2.3");
    EXPECT_EQ(amount->text(), "1.2.3");

    // Enter moves from a decimal box to the next field.
    decimal->setFocus();
    QTest::keyClick(decimal, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), amount);
    // In a page box Enter does nothing: no move, no default button.
    pages->setFocus();
    QTest::keyClicks(pages, "12a");
    QTest::keyClick(pages, Qt::Key_Return);
    EXPECT_EQ(pages->text(), "12");
    EXPECT_EQ(QApplication::focusWidget(), pages);
    // Enter in a text box moves on rather than pressing the default button.
    name->setFocus();
    QTest::keyClicks(name, "Tom's 1.5%");
    QTest::keyClick(name, Qt::Key_Enter);
    EXPECT_EQ(name->text(), "Tom's 1.5%");
    EXPECT_EQ(QApplication::focusWidget(), save);
    EXPECT_EQ(saved, 0);
}

// Text that arrives without key presses is filtered as if its characters
// were typed one by one: pasted with Ctrl+V and dropped.
TEST_F(RuleWidgets, PastedAndDroppedTextIsFilteredLikeTypedText) {
    QLineEdit* box = pages;
    struct Case {
        EntryRule rule;
        const char* before;
        const char* pasted;
        const char* after;
    };
    const Case cases[] = {
        {EntryRule::Digits, "", "+1 2.a-3b", "123"},
        {EntryRule::DigitsMoveOn, "9", " 1-2 .a", "912"},
        {EntryRule::Decimal, "", "1.2.3 -,a", "1.23"},
        {EntryRule::Decimal, "1.", "2.5x", "1.25"},
        {EntryRule::DecimalNoEnter, "", "1.2.3 -,a", "1.23"},
        {EntryRule::Amount, "", "1.2.3 -,a", "1.2.3"},
        {EntryRule::Code, "", "12 34-56.a", "12 3456"},
        {EntryRule::Text, "", "Tom's 1.5% - Phở bò", "Tom's 1.5% - Phở bò"},
        // A value the program put there stays as it is; only the paste is filtered.
        {EntryRule::Decimal, "-5.0", "1x.", "-5.01"},
        {EntryRule::Digits, "A7", "8b", "A78"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pasted);
        ApplyEntryRule(box, c.rule);
        box->setText(QString::fromUtf8(c.before));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QApplication::clipboard()->setText(QString::fromUtf8(c.pasted));
        QTest::keySequence(box, QKeySequence::Paste);
        EXPECT_EQ(box->text(), QString::fromUtf8(c.after));

        box->setText(QString::fromUtf8(c.before));
        QMimeData mime;
        mime.setText(QString::fromUtf8(c.pasted));
        const QPointF end(box->width() - 2, box->height() / 2.0);
        QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        QDropEvent drop(end, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
        EXPECT_EQ(box->text(), QString::fromUtf8(c.after));
    }
}

TEST_F(RuleWidgets, FocusSelectsTheWholeTextSoTypingReplacesIt) {
    amount->setText("99.50");
    amount->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(amount->selectedText(), "99.50");
    QTest::keyClicks(amount, "7");
    EXPECT_EQ(amount->text(), "7");
    // A click into the box selects all as well.
    name->setText("Milk");
    QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(3, 3));
    QApplication::processEvents();
    EXPECT_EQ(name->selectedText(), "Milk");
}
