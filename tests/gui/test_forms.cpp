// Password change and serial settings.
#include "GuiFixture.h"
#include "app/CodePage.h"
#include "app/Config.h"
#include "gui/CommSetForm.h"
#include "gui/PasswordForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace ecr;
using namespace ecr::gui;
using namespace ecr::ui;

namespace {

void press(QWidget* form, const char* button) {
    QTest::mouseClick(GuiFixture::child<QPushButton>(form, button), Qt::LeftButton);
}
using PasswordTest = GuiFixture;

} // namespace

// The old password is checked first, then the repeat, then emptiness; the
// box at fault gets the focus, and only a passing change is stored.
TEST_F(PasswordTest, ChecksOldThenRepeatThenEmptyAndFocusesTheBox) {
    db->execute("INSERT INTO info(passwd) VALUES('old')");
    const struct {
        const char *oldText, *new1, *new2;
        QString message, focus; // message empty: accepted and closed
        const char* stored;
    } cases[] = {
        {"OLD", "a", "b", "S111586", "txtOldPasswd", "old"},
        {"old", "a", "b", "S111587", "txtNewPasswd2", "old"},
        {"old", "", "", "S111588", "txtNewPasswd1", "old"},
        {"old", "it's \"new\"", "it's \"new\"", "", "", "it's \"new\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        PasswordForm form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        for (auto [box, typed] : {std::pair{"txtOldPasswd", c.oldText}, {"txtNewPasswd1", c.new1},
                                  {"txtNewPasswd2", c.new2}}) {
            EXPECT_EQ(child<QLineEdit>(&form, box)->echoMode(), QLineEdit::Password) << box;
            child<QLineEdit>(&form, box)->setText(typed);
        }
        const qsizetype before = prompter.shown.size();
        press(&form, "cmdOK");
        EXPECT_EQ(form.isVisible(), !c.message.isEmpty());
        EXPECT_EQ(db->scalar("SELECT passwd FROM info").toText(), c.stored);
        if (c.message.isEmpty()) {
            EXPECT_EQ(prompter.shown.size(), before);
            continue;
        }
        ASSERT_EQ(prompter.shown.size(), before + 1);
        EXPECT_EQ(prompter.shown.last().icon, Prompter::Icon::Information);
        EXPECT_EQ(prompter.shown.last().title, "S111115");
        EXPECT_EQ(prompter.shown.last().text, c.message);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus);
    }
    // Cancel keeps the password.
    PasswordForm form;
    form.show();
    for (const char* box : {"txtOldPasswd", "txtNewPasswd1", "txtNewPasswd2"})
        child<QLineEdit>(&form, box)->setText("it's \"new\"");
    press(&form, "cmdCancel");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(db->scalar("SELECT passwd FROM info").toText(), "it's \"new\"");
}

TEST_F(PasswordTest, ANewDatabaseTakesAnEmptyOldPassword) {
    PasswordForm form;
    form.show();
    for (auto [box, typed] : {std::pair{"txtNewPasswd1", "first"}, {"txtNewPasswd2", "first"}})
        child<QLineEdit>(&form, box)->setText(typed);
    press(&form, "cmdOK");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT passwd FROM info").toText(), "first");
}

namespace {

struct CommSetTest : GuiFixture {
    const QStringList ports{"/dev/ttyS0", "/dev/ttyUSB0"};
    ~CommSetTest() override { SetRegisterCodePage(kDefaultCodePage); }
};

} // namespace

TEST_F(CommSetTest, StartsOnTheCurrentPortAndRate) {
    const std::pair<int, int> rates[] = {{115200, 0}, {57600, 1}, {19200, 2}, {9600, 3}, {38400, 0}, {0, 0}};
    for (auto [rate, index] : rates) {
        App().baudRate = rate;
        App().commPortName = "/dev/ttyUSB0";
        CommSetForm form(ports, nullptr);
        auto* rates = child<QComboBox>(&form, "cboRate");
        EXPECT_EQ(rates->currentIndex(), index) << rate;
        QStringList items;
        for (int i = 0; i < rates->count(); ++i) items << rates->itemText(i);
        EXPECT_EQ(items, QStringList({"115200", "57600", "19200", "9600"}));
        auto* port = child<QComboBox>(&form, "cboComm");
        EXPECT_EQ(port->currentIndex(), 1);
        EXPECT_EQ(port->count(), 2);
    }
    // No device name stored: the numbered port; a device that is gone stays offered.
    App().commPortName.clear();
    App().commPort = 2;
    CommSetForm numbered(ports, nullptr);
    auto* port = child<QComboBox>(&numbered, "cboComm");
    EXPECT_EQ(port->currentText(), QString::fromStdString(DefaultPortName(2)));
    EXPECT_EQ(port->count(), 3);
}

// A typed device is saved trimmed, with the rate chosen, and is in force at once.
TEST_F(CommSetTest, SavesATypedDeviceAndTheChosenRate) {
    CommSetForm form(ports, nullptr);
    form.show();
    auto* port = child<QComboBox>(&form, "cboComm");
    port->clearEditText();
    QTest::keyClicks(port, "/dev/pts/7 ");
    child<QComboBox>(&form, "cboRate")->setCurrentIndex(2);
    press(&form, "cmdSave");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(db->scalar("SELECT portname || ':' || rate FROM info").toText(), "/dev/pts/7:19200");
    EXPECT_EQ(CommSettingsText(App()), "/dev/pts/7:19200");
}

TEST_F(CommSetTest, EmptyDeviceCannotBeSavedAndCancelKeepsTheSettings) {
    CommSetForm form(ports, nullptr);
    form.show();
    auto* port = child<QComboBox>(&form, "cboComm");
    auto* save = child<QPushButton>(&form, "cmdSave");
    port->setEditText("  ");
    EXPECT_FALSE(save->isEnabled());
    port->setEditText("/dev/ttyACM0");
    EXPECT_TRUE(save->isEnabled());
    press(&form, "cmdCancel");
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 0);
    EXPECT_EQ(App().baudRate, 115200);
}

// The register code page: the pages the interface languages need, GBK when
// none is stored, one stored outside the list kept; saved into info and in
// force at once.
TEST_F(CommSetTest, CodePageOfTheRegister) {
    struct Case {
        const char* stored; // info.codepage; nullptr: none
        const char* shown;
        int items;
    };
    const Case cases[] = {{nullptr, "GBK (CP936)", 6}, {"CP1258", "Windows-1258", 6}, {"CP1251", "CP1251", 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "none");
        db->execute("DELETE FROM info");
        db->execute("INSERT INTO info(lang, codepage) VALUES(1, ?)", {c.stored ? db::Value(c.stored) : db::Value()});
        SetRegisterCodePage(kDefaultCodePage);
        LoadStartupState(*db, App());
        CommSetForm form(ports, nullptr);
        auto* pages = child<QComboBox>(&form, "cboCodePage");
        EXPECT_EQ(pages->currentText(), c.shown);
        EXPECT_EQ(pages->count(), c.items);
    }

    CommSetForm form(ports, nullptr);
    form.show();
    auto* pages = child<QComboBox>(&form, "cboCodePage");
    pages->setCurrentIndex(pages->findText("BIG5"));
    press(&form, "cmdSave");
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(db->scalar("SELECT codepage FROM info").toText(), "BIG5");
    EXPECT_EQ(RegisterCodePage(), "BIG5");
    EXPECT_EQ(UnencodableCharacter("王芳"), "");  // both in BIG5
    EXPECT_EQ(UnencodableCharacter("边"), "边"); // simplified only
}
