// What the UI kit does for every form's look and feel: the time left as the
// progress panel counts it, windows fitted to the screen, mnemonics from
// catalogue captions, numbers that read left to right in Farsi, list cells,
// the standard buttons of message boxes in every language and the default
// answer of a destructive question.
#include "gui/GuiFixture.h"
#include "ui/Controls.h"
#include "ui/Languages.h"
#include "ui/ListForm.h"
#include "ui/Mnemonics.h"
#include "ui/ProgressPanel.h"
#include "ui/Prompter.h"
#include "ui/Windows.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

using namespace ecr;
using namespace ecr::ui;

namespace {

// The visible characters of text in the order they are drawn, left to right,
// when laid out in a paragraph of the given direction.
QString drawnLeftToRight(const QString& text, Qt::LayoutDirection direction) {
    QTextLayout layout(text, QFont());
    QTextOption option;
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(10000);
    layout.endLayout();
    QList<std::pair<qreal, qsizetype>> left;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar(0x200E)) continue; // the marks draw nothing
        left.append({std::min(line.cursorToX(static_cast<int>(i)), line.cursorToX(static_cast<int>(i + 1))), i});
    }
    std::stable_sort(left.begin(), left.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QString drawn;
    for (const auto& [x, i] : left) drawn += text[i];
    return drawn;
}

// The interface direction for one test.
struct Direction {
    explicit Direction(Qt::LayoutDirection d) { QApplication::setLayoutDirection(d); }
    ~Direction() { QApplication::setLayoutDirection(Qt::LeftToRight); }
};

} // namespace

TEST(KitTime, TimeLeftCountsAStartedSecondWhole) {
    const std::pair<long long, const char*> cases[] = {
        {-5, "0:00"},   {0, "0:00"},       {1, "0:01"},       {999, "0:01"},        {1000, "0:01"},
        {1001, "0:02"}, {59000, "0:59"},   {59001, "1:00"},   {150000, "2:30"},     {3600000, "60:00"},
    };
    for (auto [ms, text] : cases) EXPECT_EQ(TimeLeftText(ms), text) << ms;
}

TEST(KitWindows, AWindowFitsTheScreenButNotBelowItsMinimum) {
    const struct {
        QSize wanted, minimum, available, expected;
    } cases[] = {
        {{1180, 520}, {300, 200}, {1024, 768}, {1008, 520}}, // too wide for the screen
        {{980, 620}, {300, 200}, {1024, 768}, {980, 620}},   // fits as asked
        {{900, 760}, {300, 200}, {1024, 768}, {900, 728}},   // too high with its frame
        {{900, 760}, {950, 750}, {1024, 768}, {950, 750}},   // its minimum wins
        {{400, 300}, {0, 0}, {1920, 1080}, {400, 300}},
    };
    for (const auto& c : cases) EXPECT_EQ(FitSize(c.wanted, c.minimum, c.available), c.expected) << c.wanted.width();
}

TEST(KitMnemonics, EachSiblingGetsALetterOfItsOwn) {
    const struct {
        QStringList captions, expected;
    } cases[] = {
        {{"File", "Fax", "Edit"}, {"&File", "F&ax", "&Edit"}},
        // Word starts first, then any letter; letters are taken in any case.
        {{"Sales Journal", "Sales Report", "settings"}, {"&Sales Journal", "Sales &Report", "s&ettings"}},
        {{"Back & Forth"}, {"&Back && Forth"}},
        // Chinese characters are no letters; Latin ones among them are.
        {{"简体中文", "PLU设置", "商品"}, {"简体中文", "&PLU设置", "商品"}},
        {{"Đặt hàng", "đơn"}, {"&Đặt hàng", "đ&ơn"}},
        {{"ใช่", "ไม่ใช่"}, {"&ใช่", "&ไม่ใช่"}},
        {{"پایگاه داده", "پشتیبان"}, {"&پایگاه داده", "پ&شتیبان"}},
        {{"123", "", "1"}, {"&123", "", "1"}}, // digits when there is no letter, each once
        {{"ab", "ab", "ab", "ab"}, {"&ab", "a&b", "ab", "ab"}}, // nothing left
        {{"Top", "Lot", "Top 25 PLUs"}, {"&Top", "&Lot", "Top 25 &PLUs"}},
        {{"Top", "Pot", "Lu", "Sos", "Top 25 PLUs"}, {"&Top", "&Pot", "&Lu", "&Sos", "T&op 25 PLUs"}},
        {{"t", "o", "p", "l", "u", "s", "Top 25 PLUs", "25"},
         {"&t", "&o", "&p", "&l", "&u", "&s", "Top &25 PLUs", "2&5"}},
    };
    for (const auto& c : cases) EXPECT_EQ(WithMnemonics(c.captions), c.expected) << c.captions.join('|').toStdString();

    const std::pair<QString, QString> plain[] = {
        {"&File", "File"}, {"Back && Forth", "Back & Forth"}, {"是(&Y)", "是(Y)"}, {"Save", "Save"}};
    for (const auto& [marked, text] : plain) EXPECT_EQ(PlainCaption(marked), text);
}

TEST(KitMnemonics, AButtonKeepsQtsLetterWhereItsTextHasIt) {
    const struct {
        const char* text;
        char letter;
        const char* expected;
    } cases[] = {
        {"Yes", 'Y', "&Yes"},   {"Oui", 'Y', "&Oui"},    {"Non", 'N', "&Non"},    {"Không", 'N', "Khô&ng"},
        {"是", 'Y', "是(&Y)"}, {"بله", 'Y', "&بله"},    {"ใช่", 'Y', "&ใช่"},   {"R&D", 'Y', "&R&&D"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ButtonCaption(QString::fromUtf8(c.text), QLatin1Char(c.letter)), QString::fromUtf8(c.expected))
            << c.text;
}

TEST(KitNumbers, SignsAndBracketsReadLeftToRightInARightToLeftInterface) {
    for (const char* number : {"-2.000", "3(12)", "0(0)", "-0.50", "12.5-"}) {
        const QString text = QString::fromLatin1(number);
        {
            Direction rtl(Qt::RightToLeft);
            EXPECT_EQ(drawnLeftToRight(LeftToRight(text), Qt::RightToLeft), text) << number;
        }
        Direction ltr(Qt::LeftToRight);
        EXPECT_EQ(LeftToRight(text), text); // nothing added in a left-to-right interface
        EXPECT_EQ(drawnLeftToRight(text, Qt::LeftToRight), text);
    }
    // Unmarked, a right-to-left paragraph moves the sign: what the marks prevent.
    EXPECT_EQ(drawnLeftToRight("-2.000", Qt::RightToLeft), "2.000-");
}

TEST(KitNumbers, NumberColumnsAreOnTheTrailingSideAndReadLeftToRight) {
    for (Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        Direction d(direction);
        QTreeWidget list;
        ListCellDelegate cells;
        cells.setNumberColumns({1});
        list.setItemDelegate(&cells);
        list.setColumnCount(2);
        auto* row = new QTreeWidgetItem(&list, {"Milk", "-2.000"});
        const QModelIndex name = list.indexFromItem(row, 0);
        const QModelIndex stock = list.indexFromItem(row, 1);
        auto option = [&](const QModelIndex& index) {
            QStyleOptionViewItem o;
            o.initFrom(&list);
            o.direction = list.layoutDirection();
            cells.initStyleOption(&o, index);
            return o;
        };
        const QStyleOptionViewItem number = option(stock);
        EXPECT_EQ(drawnLeftToRight(number.text, number.direction), "-2.000");
        const Qt::Alignment trailing = direction == Qt::RightToLeft ? Qt::AlignLeft : Qt::AlignRight;
        EXPECT_EQ(number.displayAlignment & Qt::AlignHorizontal_Mask, trailing | Qt::AlignAbsolute);
        // Text columns keep the view's direction and alignment.
        const QStyleOptionViewItem text = option(name);
        EXPECT_EQ(text.direction, direction);
        EXPECT_FALSE(text.displayAlignment & Qt::AlignAbsolute);
        list.setItemDelegate(nullptr);
    }
}

namespace {

using CatalogueTest = RealCatalogueFixture;

// Runs act on the message box once it shows.
void whenBox(std::function<void(QMessageBox*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        timer->deleteLater();
        timer->stop();
        act(box);
    });
    timer->start();
}

} // namespace

TEST_F(CatalogueTest, StandardButtonsSpeakEveryInterfaceLanguageWithAMnemonic) {
    const struct {
        int lang;
        const char *yes, *no, *ok, *cancel;
    } cases[] = {
        {1, "是(&Y)", "否(&N)", "确定", "取消"},       {2, "是(&Y)", "否(&N)", "確定", "取消"},
        {3, "&Yes", "&No", "OK", "Cancel"},              {4, "&Có", "Khô&ng", "Đồng ý", "Hủy"},
        {5, "&بله", "&خیر", "تأیید", "انصراف"},          {6, "&Oui", "&Non", "OK", "Annuler"},
        {7, "&ใช่", "&ไม่ใช่", "ตกลง", "ยกเลิก"},
    };
    for (const auto& c : cases) {
        speak(c.lang);
        QMessageBox question(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(question.button(QMessageBox::Yes)->text(), QString::fromUtf8(c.yes)) << c.lang;
        EXPECT_EQ(question.button(QMessageBox::No)->text(), QString::fromUtf8(c.no)) << c.lang;
        QMessageBox message(QMessageBox::Information, "t", "x", QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(message.button(QMessageBox::Ok)->text(), QString::fromUtf8(c.ok)) << c.lang;
        EXPECT_EQ(message.button(QMessageBox::Cancel)->text(), QString::fromUtf8(c.cancel)) << c.lang;
    }
    // Farsi lays them out right to left.
    speak(5);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::RightToLeft);
    speak(3);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::LeftToRight);
}

TEST_F(CatalogueTest, EnterOnADestructiveQuestionAnswersNo) {
    SetPrompter(nullptr); // the real message boxes
    speak(3);
    bool defaultNo = false, escapeNo = false;
    QString text;
    whenBox([&](QMessageBox* box) {
        defaultNo = box->defaultButton() == box->button(QMessageBox::No);
        escapeNo = box->escapeButton() == box->button(QMessageBox::No);
        text = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(ConfirmDestructive(nullptr, 111169, Prompter::Icon::Exclamation, "PLU 1001 Tea"));
    EXPECT_TRUE(defaultNo);
    EXPECT_TRUE(escapeNo);
    EXPECT_EQ(text, "Delete the selected record?\nPLU 1001 Tea");

    // A question that is not destructive keeps Yes for Enter.
    whenBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    EXPECT_TRUE(Confirm(nullptr, 111179, Prompter::Icon::Question, true));
}
