// The login: its lists, the order of its checks, the password taken as text,
// what a login stores, and the form's direction and height per language.
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
    static QComboBox* language(LoginForm& f) { return child<QComboBox>(&f, "cboLanguage"); }
    static QComboBox* model(LoginForm& f) { return child<QComboBox>(&f, "cboEcrType"); }
    static QLineEdit* password(LoginForm& f) { return child<QLineEdit>(&f, "txtPassword"); }
    static void press(LoginForm& f, const char* button) {
        QTest::mouseClick(child<QPushButton>(&f, button), Qt::LeftButton);
    }
    static void choose(LoginForm& f, int lang, int ecr, const QString& typed = {}) {
        language(f)->setCurrentIndex(lang);
        model(f)->setCurrentIndex(ecr);
        password(f)->setText(typed);
    }
    db::Value info(const char* column) { return db->scalar(std::string("SELECT ") + column + " FROM info"); }
    static QStringList items(QComboBox* box) {
        QStringList l;
        for (int i = 0; i < box->count(); ++i) l << box->itemText(i);
        return l;
    }
};

} // namespace

TEST_F(LoginTest, ListsStartOnTheStoredLanguageAndModelOrOnTheirPrompts) {
    {
        LoginForm form;
        EXPECT_EQ(items(language(form)), QStringList({"S111638", "简体中文", "繁體中文", "English", "Vietnamese",
                                                      "Farsi", "French", "Thailand"}));
        EXPECT_EQ(items(model(form)), QStringList({"S111614", "BIRCH", "CEDAR", "ALDER", "DAPHNE", "EBONY"}));
        EXPECT_EQ(language(form)->currentIndex(), 0);
        EXPECT_EQ(model(form)->currentIndex(), 0);
        EXPECT_EQ(password(form)->echoMode(), QLineEdit::Password);
    }
    const struct {
        int lang;
        const char* ecrtype;
        int languageIndex, modelIndex;
    } cases[] = {{5, "EBO", 5, 5}, {8, "XYZ", 0, 0}, {0, "ALD", 0, 3}};
    for (const auto& c : cases) {
        db->execute("DELETE FROM info");
        db->execute("INSERT INTO info(lang, ecrtype) VALUES(?, ?)", {c.lang, c.ecrtype});
        LoginForm form;
        EXPECT_EQ(language(form)->currentIndex(), c.languageIndex) << c.lang;
        EXPECT_EQ(model(form)->currentIndex(), c.modelIndex) << c.ecrtype;
    }
}

TEST_F(LoginTest, ChecksLanguageThenModelThenPassword) {
    db->execute("INSERT INTO info(passwd) VALUES('secret')");
    LoginForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    // Each attempt: what is chosen and the message it gets.
    const struct {
        int lang, model;
        Prompter::Icon icon;
        const char *title, *text;
    } attempts[] = {
        {0, 0, Prompter::Icon::Information, "S111578", "S111639"},
        {0, 2, Prompter::Icon::Information, "S111578", "S111639"}, // a model alone is not enough
        {3, 0, Prompter::Icon::Information, "E111578", "E111615"}, // English re-captions the form
        {3, 2, Prompter::Icon::None, "E111578", "E111579"},
    };
    for (const auto& a : attempts) {
        SCOPED_TRACE(a.text);
        choose(form, a.lang, a.model, "wrong");
        const qsizetype before = prompter.shown.size();
        press(form, "cmdOK");
        ASSERT_EQ(prompter.shown.size(), before + 1);
        EXPECT_EQ(prompter.shown.last().icon, a.icon);
        EXPECT_EQ(prompter.shown.last().title, a.title);
        EXPECT_EQ(prompter.shown.last().text, a.text);
    }
    EXPECT_EQ(child<QPushButton>(&form, "cmdOK")->text(), "E111000");
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.loginOk());
    EXPECT_EQ(QApplication::focusWidget(), password(form));
    EXPECT_EQ(password(form)->selectedText(), "wrong");
    // Nothing was stored.
    EXPECT_TRUE(info("lang").isNull());
    EXPECT_EQ(App().langCode, 1);
}

TEST_F(LoginTest, PasswordIsComparedAsTextNotAsSql) {
    db->execute("INSERT INTO info(passwd, lang) VALUES(?, 1)", {"O'Neil \"7\""});
    for (const char* attempt : {"' OR '1'='1", "o'neil \"7\"", "O'Neil \"7\" ", ""}) {
        LoginForm form;
        choose(form, 1, 1, QString::fromUtf8(attempt));
        press(form, "cmdOK");
        EXPECT_FALSE(form.loginOk()) << attempt;
    }
    EXPECT_EQ(prompter.shown.size(), 4);

    LoginForm form;
    choose(form, 4, 4, "O'Neil \"7\"");
    press(form, "cmdOK");
    EXPECT_TRUE(form.loginOk());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(info("lang").toInt(), 4);
    EXPECT_EQ(info("keyboard").toInt(), 3);
    EXPECT_EQ(info("ecrtype").toText(), "DAP");
    EXPECT_EQ(App().langCode, 4);
    EXPECT_EQ(App().modelName, "DAPHNE");
}

TEST_F(LoginTest, ANewDatabaseLogsInWithAnEmptyPasswordAndCancelStoresNothing) {
    {
        LoginForm form;
        form.show();
        choose(form, 3, 1);
        press(form, "cmdCancel");
        EXPECT_FALSE(form.loginOk());
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Rejected);
        EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 0);
    }
    LoginForm form;
    choose(form, 3, 1);
    press(form, "cmdOK");
    EXPECT_TRUE(form.loginOk());
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(info("lang").toInt(), 3);
    EXPECT_EQ(info("keyboard").toInt(), 0);
    EXPECT_EQ(info("ecrtype").toText(), "BIR");
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
        EXPECT_EQ(info("keyboard").toInt(), c.expected) << c.stored << " / model " << c.model;
        EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    }
}

// Choosing a language re-captions the form and sets its direction; its
// height follows the captions of the language chosen, smaller as well as
// larger.
TEST_F(LoginTest, TheFormTakesTheDirectionAndHeightItsLanguageNeeds) {
    db->execute("UPDATE msglist SET Farsi = ? WHERE msgid = 111580",
                {std::string("خوش آمدید. زبان رابط، مدل صندوق و رمز عبور را انتخاب کنید تا برنامه با همان زبان و همان "
                             "صفحه‌کلید صندوق شروع شود. این متن طولانی است تا چند سطر بگیرد.")});
    db->execute("INSERT INTO info(lang) VALUES(3)");
    LoginForm form;
    form.show();
    QCoreApplication::processEvents();
    const int english = form.height();
    auto* heading = child<QLabel>(&form, "Label1");
    auto pick = [&](int lang) {
        language(form)->setCurrentIndex(lang);
        QCoreApplication::processEvents();
    };

    pick(5);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(form.layoutDirection(), Qt::RightToLeft);
    EXPECT_GT(form.height(), english);
    EXPECT_GE(heading->height(), heading->heightForWidth(heading->width())); // the whole heading shows
    pick(3);
    EXPECT_EQ(QApplication::layoutDirection(), Qt::LeftToRight);
    EXPECT_EQ(form.height(), english);

    // Thai lines are taller; the lists' first item is in Thai too. Back in
    // English, nothing of Thai's height is left.
    db->execute("UPDATE msglist SET Thailand = ? WHERE msgid IN (111638, 111614)",
                {std::string("-- เลือกภาษาที่ต้องการใช้งาน --")});
    for (const auto& [id, text] : std::vector<std::pair<int, std::string>>{
             {111580, "กรุณาเข้าสู่ระบบโปรแกรมจัดการเครื่องบันทึกเงินสด"}, {111581, "รหัสผ่าน:"},
             {111616, "รุ่นเครื่อง:"}, {110051, "ภาษา:"}, {111000, "ตกลง"}, {110070, "ออก"}})
        db->execute("UPDATE msglist SET Thailand = ? WHERE msgid = ?", {text, id});
    pick(7);
    EXPECT_GE(form.height(), english);
    pick(3);
    EXPECT_EQ(form.height(), english);
}
