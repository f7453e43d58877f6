#include "GuiFixture.h"
#include "app/Config.h"
#include "gui/LoginForm.h"
#include "gui/LoginLogic.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace ecr;
using namespace ecr::gui;
using namespace ecr::ui;

namespace {

struct LoginTest : GuiFixture {
    QStringList items(QComboBox* box) {
        QStringList l;
        for (int i = 0; i < box->count(); ++i) l << box->itemText(i);
        return l;
    }
};

} // namespace

TEST_F(LoginTest, EmptyInfoStartsOnDefaultsAndBothPrompts) {
    LoadStartupState(*db, App());
    EXPECT_EQ(App().langCode, 1);
    EXPECT_EQ(App().commPort, 1);
    EXPECT_EQ(App().baudRate, 115200);
    EXPECT_EQ(App().registerVersion, 100320);
    EXPECT_EQ(App().modelName, "CEDAR");

    LoginForm form;
    EXPECT_EQ(form.objectName(), "frmLogin");
    EXPECT_EQ(form.windowTitle(), "S111578");
    EXPECT_EQ(child<QLabel>(&form, "Label1")->text(), "S111580");
    EXPECT_EQ(child<QLabel>(&form, "Label2")->text(), "S111581:");
    EXPECT_EQ(child<QLabel>(&form, "Label3")->text(), "S111616:");
    EXPECT_EQ(child<QLabel>(&form, "Label4")->text(), "S110051:");
    EXPECT_EQ(child<QPushButton>(&form, "cmdOK")->text(), "S111000");
    EXPECT_EQ(child<QPushButton>(&form, "cmdCancel")->text(), "S110070");

    auto* language = child<QComboBox>(&form, "cboLanguage");
    auto* model = child<QComboBox>(&form, "cboEcrType");
    EXPECT_EQ(items(language), QStringList({"S111638", "简体中文", "繁體中文", "English", "Vietnamese", "Farsi",
                                            "French", "Thailand"}));
    EXPECT_EQ(items(model), QStringList({"S111614", "BIRCH", "CEDAR", "ALDER", "DAPHNE", "EBONY"}));
    EXPECT_EQ(language->currentIndex(), 0);
    EXPECT_EQ(model->currentIndex(), 0);
    EXPECT_EQ(child<QLineEdit>(&form, "txtPassword")->echoMode(), QLineEdit::Password);
}

TEST_F(LoginTest, ListsStartOnTheStoredLanguageAndModel) {
    db->execute("INSERT INTO info(lang, ecrtype) VALUES(5, 'EBO')");
    {
        LoginForm form;
        EXPECT_EQ(child<QComboBox>(&form, "cboLanguage")->currentIndex(), 5);
        EXPECT_EQ(child<QComboBox>(&form, "cboEcrType")->currentIndex(), 5);
    }
    db->execute("UPDATE info SET lang = 8, ecrtype = 'XYZ'");
    {
        LoginForm form;
        EXPECT_EQ(child<QComboBox>(&form, "cboLanguage")->currentIndex(), 0);
        EXPECT_EQ(child<QComboBox>(&form, "cboEcrType")->currentIndex(), 0);
    }
    db->execute("UPDATE info SET lang = 0, ecrtype = 'ALD'");
    LoginForm form;
    EXPECT_EQ(child<QComboBox>(&form, "cboLanguage")->currentIndex(), 0);
    EXPECT_EQ(child<QComboBox>(&form, "cboEcrType")->currentIndex(), 3);
}

TEST_F(LoginTest, ChecksLanguageThenModelThenPassword) {
    db->execute("INSERT INTO info(passwd) VALUES('secret')");
    LoginForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    auto* language = child<QComboBox>(&form, "cboLanguage");
    auto* model = child<QComboBox>(&form, "cboEcrType");
    auto* password = child<QLineEdit>(&form, "txtPassword");
    auto* ok = child<QPushButton>(&form, "cmdOK");

    password->setText("wrong");
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.shown[0].title, "S111578");
    EXPECT_EQ(prompter.shown[0].text, "S111639");

    model->setCurrentIndex(2); // a model alone is not enough
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown[1].text, "S111639");

    // Choosing English re-captions the form in English.
    language->setCurrentIndex(3);
    EXPECT_EQ(form.windowTitle(), "E111578");
    EXPECT_EQ(child<QPushButton>(&form, "cmdOK")->text(), "E111000");
    model->setCurrentIndex(0);
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 3);
    EXPECT_EQ(prompter.shown[2].icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.shown[2].title, "E111578");
    EXPECT_EQ(prompter.shown[2].text, "E111615");

    model->setCurrentIndex(2);
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(prompter.shown.size(), 4);
    EXPECT_EQ(prompter.shown[3].icon, Prompter::Icon::None);
    EXPECT_EQ(prompter.shown[3].title, "E111578");
    EXPECT_EQ(prompter.shown[3].text, "E111579");
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.loginOk());
    EXPECT_EQ(QApplication::focusWidget(), password);
    EXPECT_EQ(password->selectedText(), "wrong");
    // Nothing was stored.
    EXPECT_TRUE(db->scalar("SELECT lang FROM info").isNull());
    EXPECT_EQ(App().langCode, 1);
}

TEST_F(LoginTest, PasswordIsComparedAsTextNotAsSql) {
    db->execute("INSERT INTO info(passwd, lang) VALUES(?, 1)", {"O'Neil \"7\""});
    for (const char* attempt : {"' OR '1'='1", "o'neil \"7\"", "O'Neil \"7\" ", ""}) {
        LoginForm form;
        child<QComboBox>(&form, "cboLanguage")->setCurrentIndex(1);
        child<QComboBox>(&form, "cboEcrType")->setCurrentIndex(1);
        child<QLineEdit>(&form, "txtPassword")->setText(QString::fromUtf8(attempt));
        QTest::mouseClick(child<QPushButton>(&form, "cmdOK"), Qt::LeftButton);
        EXPECT_FALSE(form.loginOk()) << attempt;
    }
    EXPECT_EQ(prompter.shown.size(), 4);

    LoginForm form;
    child<QComboBox>(&form, "cboLanguage")->setCurrentIndex(4);
    child<QComboBox>(&form, "cboEcrType")->setCurrentIndex(4);
    child<QLineEdit>(&form, "txtPassword")->setText("O'Neil \"7\"");
    QTest::mouseClick(child<QPushButton>(&form, "cmdOK"), Qt::LeftButton);
    EXPECT_TRUE(form.loginOk());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 4);
    EXPECT_EQ(db->scalar("SELECT keyboard FROM info").toInt(), 3);
    EXPECT_EQ(db->scalar("SELECT ecrtype FROM info").toText(), "DAP");
    EXPECT_EQ(App().langCode, 4);
    EXPECT_EQ(App().modelName, "DAPHNE");
}

TEST_F(LoginTest, NewDatabaseLogsInWithEmptyPasswordAndKeepsTheChoices) {
    LoginForm form;
    child<QComboBox>(&form, "cboLanguage")->setCurrentIndex(3);
    child<QComboBox>(&form, "cboEcrType")->setCurrentIndex(1);
    QTest::mouseClick(child<QPushButton>(&form, "cmdOK"), Qt::LeftButton);
    EXPECT_TRUE(form.loginOk());
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 3);
    EXPECT_EQ(db->scalar("SELECT keyboard FROM info").toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT ecrtype FROM info").toText(), "BIR");
    EXPECT_EQ(App().modelName, "BIRCH");
}

TEST_F(LoginTest, LoginStoresTheModelsKeyboardAndKeepsTheSecond39KeyArrangement) {
    const struct {
        int stored, model, expected;
    } cases[] = {
        {4, 1, 4}, // BIRCH: the second arrangement chosen for it stays
        {0, 1, 0}, {2, 1, 0}, {7, 1, 0},
        {4, 2, 1}, // another model takes its own keyboard
        {4, 3, 2}, {4, 5, 3},
    };
    for (const auto& c : cases) {
        db->execute("DELETE FROM info");
        db->execute("INSERT INTO info(keyboard) VALUES(?)", {c.stored});
        StoreLogin(*db, App(), 3, c.model);
        EXPECT_EQ(db->scalar("SELECT keyboard FROM info").toInt(), c.expected) << c.stored << " / model " << c.model;
        EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    }
}

TEST_F(LoginTest, CancelLeavesLoginFailed) {
    LoginForm form;
    form.show();
    child<QComboBox>(&form, "cboLanguage")->setCurrentIndex(3);
    child<QComboBox>(&form, "cboEcrType")->setCurrentIndex(1);
    QTest::mouseClick(child<QPushButton>(&form, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(form.loginOk());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 0);
}

TEST_F(LoginTest, FarsiLaysTheFormOutRightToLeft) {
    LoginForm form;
    auto* language = child<QComboBox>(&form, "cboLanguage");
    language->setCurrentIndex(5);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
    language->setCurrentIndex(3);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::LeftToRight);
}

// Choosing a language re-captions the form; its height follows the captions
// of the language chosen, smaller as well as larger.
TEST_F(LoginTest, TheFormTakesTheHeightItsLanguageNeeds) {
    db->execute("UPDATE msglist SET Farsi = ? WHERE msgid = 111580",
                {std::string("خوش آمدید. زبان رابط، مدل صندوق و رمز عبور را انتخاب کنید تا برنامه با همان زبان و همان "
                             "صفحه‌کلید صندوق شروع شود. این متن طولانی است تا چند سطر بگیرد.")});
    db->execute("INSERT INTO info(lang) VALUES(3)");
    LoginForm form;
    form.show();
    QCoreApplication::processEvents();
    const int english = form.height();
    auto* language = child<QComboBox>(&form, "cboLanguage");
    auto* heading = child<QLabel>(&form, "Label1");

    language->setCurrentIndex(5);
    QCoreApplication::processEvents();
    EXPECT_GT(form.height(), english);
    // The whole heading shows.
    EXPECT_GE(heading->height(), heading->heightForWidth(heading->width()));

    language->setCurrentIndex(3);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.height(), english);

    // Thai lines are taller; the lists' first item is in Thai too. Back in
    // English, nothing of Thai's height is left.
    db->execute("UPDATE msglist SET Thailand = ? WHERE msgid IN (111638, 111614)",
                {std::string("-- เลือกภาษาที่ต้องการใช้งาน --")});
    for (const auto& [id, text] : std::vector<std::pair<int, std::string>>{
             {111580, "กรุณาเข้าสู่ระบบโปรแกรมจัดการเครื่องบันทึกเงินสด"}, {111581, "รหัสผ่าน:"},
             {111616, "รุ่นเครื่อง:"}, {110051, "ภาษา:"}, {111000, "ตกลง"}, {110070, "ออก"}})
        db->execute("UPDATE msglist SET Thailand = ? WHERE msgid = ?", {text, id});
    language->setCurrentIndex(7);
    QCoreApplication::processEvents();
    EXPECT_GE(form.height(), english);
    language->setCurrentIndex(3);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.height(), english);
}
