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

struct PasswordTest : GuiFixture {
    struct Outcome {
        QString message; // empty when none was shown
        QString focus;   // object name of the focused box
        bool closed;
    };
    Outcome submit(const char* oldText, const char* new1, const char* new2) {
        PasswordForm form;
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        child<QLineEdit>(&form, "txtOldPasswd")->setText(oldText);
        child<QLineEdit>(&form, "txtNewPasswd1")->setText(new1);
        child<QLineEdit>(&form, "txtNewPasswd2")->setText(new2);
        const qsizetype before = prompter.shown.size();
        QTest::mouseClick(child<QPushButton>(&form, "cmdOK"), Qt::LeftButton);
        Outcome o{{}, {}, !form.isVisible()};
        if (prompter.shown.size() > before) {
            const auto& s = prompter.shown.last();
            EXPECT_EQ(s.icon, Prompter::Icon::Information);
            EXPECT_EQ(s.title, "S111115");
            o.message = s.text;
        }
        if (QApplication::focusWidget()) o.focus = QApplication::focusWidget()->objectName();
        return o;
    }
};

} // namespace

TEST_F(PasswordTest, CaptionsAndMaskedBoxes) {
    PasswordForm form;
    EXPECT_EQ(form.objectName(), "frmModifyLoginPasswd");
    EXPECT_EQ(form.windowTitle(), "S111585");
    EXPECT_EQ(child<QLabel>(&form, "Label1")->text(), "S111582:");
    EXPECT_EQ(child<QLabel>(&form, "Label2")->text(), "S111583:");
    EXPECT_EQ(child<QLabel>(&form, "Label3")->text(), "S111584:");
    EXPECT_EQ(child<QPushButton>(&form, "cmdOK")->text(), "S111000");
    EXPECT_EQ(child<QPushButton>(&form, "cmdCancel")->text(), "S110070");
    for (const char* name : {"txtOldPasswd", "txtNewPasswd1", "txtNewPasswd2"})
        EXPECT_EQ(child<QLineEdit>(&form, name)->echoMode(), QLineEdit::Password) << name;
}

TEST_F(PasswordTest, ChecksOldThenRepeatThenEmptyAndFocusesTheBox) {
    db->execute("INSERT INTO info(passwd) VALUES('old')");
    // The old password is checked first, even when the new ones differ too.
    Outcome o = submit("OLD", "a", "b");
    EXPECT_EQ(o.message, "S111586");
    EXPECT_EQ(o.focus, "txtOldPasswd");
    EXPECT_FALSE(o.closed);

    o = submit("old", "a", "b");
    EXPECT_EQ(o.message, "S111587");
    EXPECT_EQ(o.focus, "txtNewPasswd2");
    EXPECT_FALSE(o.closed);

    o = submit("old", "", "");
    EXPECT_EQ(o.message, "S111588");
    EXPECT_EQ(o.focus, "txtNewPasswd1");
    EXPECT_FALSE(o.closed);
    EXPECT_EQ(db->scalar("SELECT passwd FROM info").toText(), "old");

    o = submit("old", "it's \"new\"", "it's \"new\"");
    EXPECT_TRUE(o.message.isEmpty());
    EXPECT_TRUE(o.closed);
    EXPECT_EQ(db->scalar("SELECT passwd FROM info").toText(), "it's \"new\"");
}

TEST_F(PasswordTest, NewDatabaseAcceptsEmptyOldPasswordAndKeepsTheNewOne) {
    Outcome o = submit("", "first", "first");
    EXPECT_TRUE(o.closed);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT passwd FROM info").toText(), "first");
}

TEST_F(PasswordTest, CancelChangesNothing) {
    db->execute("INSERT INTO info(passwd) VALUES('old')");
    PasswordForm form;
    form.show();
    child<QLineEdit>(&form, "txtOldPasswd")->setText("old");
    child<QLineEdit>(&form, "txtNewPasswd1")->setText("x");
    child<QLineEdit>(&form, "txtNewPasswd2")->setText("x");
    QTest::mouseClick(child<QPushButton>(&form, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(db->scalar("SELECT passwd FROM info").toText(), "old");
}

namespace {

struct CommSetTest : GuiFixture {
    const QStringList ports{"/dev/ttyS0", "/dev/ttyUSB0"};
    ~CommSetTest() override { SetRegisterCodePage(kDefaultCodePage); }
};

} // namespace

TEST_F(CommSetTest, CaptionsAndRateList) {
    CommSetForm form(ports, nullptr);
    EXPECT_EQ(form.objectName(), "frmCommSet");
    EXPECT_EQ(form.windowTitle(), "S111306");
    EXPECT_EQ(child<QLabel>(&form, "Label1")->text(), "S111520:");
    EXPECT_EQ(child<QLabel>(&form, "Label2")->text(), "S111521:");
    EXPECT_EQ(child<QPushButton>(&form, "cmdSave")->text(), "S111009");
    EXPECT_EQ(child<QPushButton>(&form, "cmdCancel")->text(), "S111010");
    auto* rate = child<QComboBox>(&form, "cboRate");
    ASSERT_EQ(rate->count(), 4);
    EXPECT_EQ(rate->itemText(0), "115200");
    EXPECT_EQ(rate->itemText(1), "57600");
    EXPECT_EQ(rate->itemText(2), "19200");
    EXPECT_EQ(rate->itemText(3), "9600");
}

TEST_F(CommSetTest, StartsOnTheCurrentPortAndRate) {
    const std::pair<int, int> rates[] = {{115200, 0}, {57600, 1}, {19200, 2}, {9600, 3}, {38400, 0}, {0, 0}};
    for (auto [rate, index] : rates) {
        App().baudRate = rate;
        App().commPortName = "/dev/ttyUSB0";
        CommSetForm form(ports, nullptr);
        EXPECT_EQ(child<QComboBox>(&form, "cboRate")->currentIndex(), index) << rate;
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

TEST_F(CommSetTest, SavesAChosenPortAndRate) {
    CommSetForm form(ports, nullptr);
    form.show();
    child<QComboBox>(&form, "cboComm")->setCurrentIndex(1);
    child<QComboBox>(&form, "cboRate")->setCurrentIndex(3);
    QTest::mouseClick(child<QPushButton>(&form, "cmdSave"), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(db->scalar("SELECT portname FROM info").toText(), "/dev/ttyUSB0");
    EXPECT_EQ(db->scalar("SELECT rate FROM info").toInt(), 9600);
    EXPECT_EQ(App().commPortName, "/dev/ttyUSB0");
    EXPECT_EQ(App().baudRate, 9600);
}

TEST_F(CommSetTest, SavesATypedDevicePath) {
    db->execute("INSERT INTO info(port, rate) VALUES(1, 115200)");
    CommSetForm form(ports, nullptr);
    form.show();
    auto* port = child<QComboBox>(&form, "cboComm");
    port->clearEditText();
    QTest::keyClicks(port, "/dev/pts/7 ");
    child<QComboBox>(&form, "cboRate")->setCurrentIndex(2);
    QTest::mouseClick(child<QPushButton>(&form, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT portname FROM info").toText(), "/dev/pts/7");
    EXPECT_EQ(db->scalar("SELECT rate FROM info").toInt(), 19200);
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
    QTest::mouseClick(child<QPushButton>(&form, "cmdCancel"), Qt::LeftButton);
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
        EXPECT_EQ(child<QLabel>(&form, "Label3")->text(), "S120201:");
        auto* pages = child<QComboBox>(&form, "cboCodePage");
        EXPECT_EQ(pages->currentText(), c.shown);
        EXPECT_EQ(pages->count(), c.items);
    }

    CommSetForm form(ports, nullptr);
    form.show();
    auto* pages = child<QComboBox>(&form, "cboCodePage");
    pages->setCurrentIndex(pages->findText("BIG5"));
    QTest::mouseClick(child<QPushButton>(&form, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(db->scalar("SELECT codepage FROM info").toText(), "BIG5");
    EXPECT_EQ(RegisterCodePage(), "BIG5");
    EXPECT_EQ(UnencodableCharacter("王芳"), "");  // both in BIG5
    EXPECT_EQ(UnencodableCharacter("边"), "边"); // simplified only
}
