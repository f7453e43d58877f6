#include "GuiFixture.h"
#include "app/Config.h"
#include "ui/Languages.h"
#include "ui/Mnemonics.h"
#include "gui/MainWindow.h"
#include "ui/RegisterLink.h"
#include "ui/Texts.h"
#include "link/SerialEvents.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

using namespace ecr;
using namespace ecr::gui;
using namespace ecr::ui;

namespace {

struct MainWindowTest : GuiFixture {
    FormRegistry forms;
    QStringList opened;
    QList<QWidget*> parents;

    MainWindowTest() { RegisterStandardForms(forms); }
    // A form that only records that it was opened.
    void fake(const QString& name) {
        forms.add(name, [this, name](QWidget* parent) {
            opened << name;
            parents << parent;
        });
    }
    static QString panel(MainWindow& w, int n) {
        return w.findChild<QLabel*>(QStringLiteral("Panel%1").arg(n))->text();
    }
    static QToolButton* button(MainWindow& w, const char* key) { return child<QToolButton>(&w, key); }
    // A menu entry's caption without its mnemonic mark.
    static QString caption(MainWindow& w, const char* name) { return PlainCaption(w.entry(name)->text()); }
    static QString letter(int lang) { return lang == 7 ? "H" : lang == 2 ? "T" : lang == 1 ? "S" : "E"; }
    // Every entry of the menus shows a catalogue text in the language (the
    // language names and the program's own captions aside), and a few named
    // ones the text of their id.
    void expectCaptions(MainWindow& w, int lang) {
        const QString l = letter(lang);
        const QRegularExpression catalogueText("^" + l + "\\d{6}$");
        QStringList own{"mnuDataBackup", "mnuDataRestore"};
        for (const auto& language : kLanguages) own << language.menuEntry;
        int seen = 0;
        QList<QAction*> todo = w.menuBar()->actions();
        while (!todo.isEmpty()) {
            QAction* a = todo.takeFirst();
            if (a->menu()) todo << a->menu()->actions();
            if (a->isSeparator() || own.contains(a->objectName())) continue;
            EXPECT_TRUE(catalogueText.match(PlainCaption(a->text()).trimmed()).hasMatch()) << a->objectName().toStdString() << " "
                                                                   << a->text().toStdString();
            ++seen;
        }
        EXPECT_GT(seen, 40);
        for (auto [name, id] : {std::pair{"mnuSysPara", 110011}, {"mnuSetPLU", 110021}, {"mnuAbout", 110060}})
            EXPECT_EQ(caption(w, name), l + QString::number(id)) << name;
        EXPECT_EQ(w.windowTitle(), l + "100000    Version 320 - 091017");
        EXPECT_EQ(panel(w, 4), l + "100001");
        EXPECT_EQ(button(w, "sys")->text(), l + "110011");
        EXPECT_EQ(button(w, "hotkey")->text(), l + "110012");
        EXPECT_EQ(button(w, "member")->text(), l + "111243");
        EXPECT_EQ(button(w, "about")->text(), l + "110060");
        EXPECT_EQ(button(w, "exit")->text(), l + "110070");
    }
};

} // namespace

TEST_F(MainWindowTest, EveryEntryAndButtonIsPresentAndCaptioned) {
    MainWindow w(forms);
    EXPECT_EQ(w.objectName(), "frmMain");
    expectCaptions(w, 1);
    for (const char* name : {"mnuM1", "mnuM2", "mnuSaleData", "mnuReport", "mnuSystem"})
        EXPECT_TRUE(w.menuBar()->actions().contains(w.entry(name))) << name;
    EXPECT_EQ(w.menuBar()->actions().size(), 5);
    for (const char* key : {"sys", "cashier", "depa", "hotkey", "plu", "saledata", "member", "download", "db", "about",
                            "exit"})
        EXPECT_NE(w.findChild<QToolButton*>(key), nullptr) << key;
    EXPECT_FALSE(caption(w, "mnuDataBackup").isEmpty());
    EXPECT_FALSE(caption(w, "mnuDataRestore").isEmpty());
    EXPECT_FALSE(button(w, "db")->text().isEmpty());
    EXPECT_NE(w.findChild<QWidget*>("Image1"), nullptr);
    EXPECT_EQ(w.findChild<QToolBar*>("Toolbar1"), w.toolbar());
    EXPECT_NE(w.findChild<QStatusBar*>("StatusBar1"), nullptr);
}

TEST_F(MainWindowTest, StatusPanelsShowSettingsFileAndSerialEvent) {
    App().baudRate = 57600;
    App().commPort = 2;
    MainWindow w(forms);
    EXPECT_EQ(panel(w, 1), "CEDAR");
    EXPECT_EQ(panel(w, 2), "/dev/ttyS1:57600"); // the device, not a COM number
    EXPECT_EQ(panel(w, 3), "ecr.db");
    EXPECT_EQ(panel(w, 5), "");
    // In words from the catalogue; the serial control's own name on hover.
    const struct {
        int event;
        const char *words, *name;
    } events[] = {{1004, "S120820", "Frame Error"},
                  {2, "S120810", "EvReceive"},
                  {1008, "S120823", "RxOver Error"},
                  {4711, "S120827", "Other Error"}};
    for (const auto& e : events) {
        w.showSerialEvent(e.event);
        EXPECT_EQ(panel(w, 5), e.words);
        EXPECT_EQ(w.findChild<QLabel*>("Panel5")->toolTip(), e.name);
    }
}

TEST_F(MainWindowTest, LanguageSwitchRecaptionsEverythingAtOnce) {
    db->execute("INSERT INTO info(lang) VALUES(1)");
    App().langCode = 1;
    MainWindow w(forms);
    EXPECT_TRUE(w.entry("mnuSimplified")->isChecked());
    EXPECT_EQ(caption(w, "mnuSimplified"), "中文");
    EXPECT_EQ(caption(w, "mnuTraditional"), "繁體");

    w.entry("mnuThailand")->trigger();
    expectCaptions(w, 7);
    EXPECT_EQ(App().langCode, 7);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 7);
    EXPECT_EQ(caption(w, "mnuSimplified"), "Simplified Chinese");
    EXPECT_EQ(caption(w, "mnuTraditional"), "Traditional Chinese");
    EXPECT_EQ(caption(w, "mnuEnglish"), "English");
    EXPECT_EQ(caption(w, "mnuThailand"), "Thailand");
    for (const auto& l : kLanguages) EXPECT_EQ(w.entry(l.menuEntry)->isChecked(), l.code == 7) << l.menuEntry;

    w.entry("mnuTraditional")->trigger();
    expectCaptions(w, 2);
    EXPECT_EQ(caption(w, "mnuSimplified"), "中文");
    EXPECT_EQ(caption(w, "mnuTraditional"), "繁體");
    EXPECT_TRUE(w.entry("mnuTraditional")->isChecked());
    EXPECT_FALSE(w.entry("mnuThailand")->isChecked());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 2);
}

TEST_F(MainWindowTest, FarsiTurnsTheWindowRightToLeftAndBack) {
    MainWindow w(forms);
    EXPECT_EQ(w.layoutDirection(), Qt::LeftToRight);
    w.entry("mnuFarsi")->trigger();
    EXPECT_EQ(QApplication::layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(w.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(w.font().family(), InterfaceFontFamily(5));
    w.entry("mnuFrench")->trigger();
    EXPECT_EQ(w.layoutDirection(), Qt::LeftToRight);
}

TEST_F(MainWindowTest, PlaceholdersOfReportTitlesAreLeftOutOfMenuCaptions) {
    db->execute("UPDATE msglist SET English = 'Details of Department%1' WHERE msgid = 110045");
    App().langCode = 3;
    MainWindow w(forms);
    EXPECT_EQ(caption(w, "mnuRpt11"), "Details of Department");
    EXPECT_EQ(MenuCaption("%1 of %2, 100%"), " of , 100%");
}

TEST_F(MainWindowTest, OwnsTheOneEngineAndShowsItsSerialEvents) {
    EXPECT_EQ(Engine(), nullptr);
    {
        MainWindow w(forms);
        link::TransferEngine* e = Engine();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(Engine(), e);
        EXPECT_FALSE(e->portOpen());
        emit w.registerLink().transport().serialEvent(link::event::Frame);
        EXPECT_EQ(panel(w, 5), "S120820");
    }
    EXPECT_EQ(Engine(), nullptr);
}

TEST_F(MainWindowTest, LanguageOutsideTheListChecksNoEntry) {
    App().langCode = 9;
    MainWindow w(forms);
    for (const auto& l : kLanguages) EXPECT_FALSE(w.entry(l.menuEntry)->isChecked()) << l.menuEntry;
    EXPECT_EQ(caption(w, "mnuSysPara"), "E110011"); // no column: English
}

TEST_F(MainWindowTest, EntriesWithoutFormsAreDisabledUntilRegistered) {
    MainWindow w(forms);
    for (const char* name : {"mnuComm", "mnuChangePassword", "mnuSeller", "mnuDept", "mnuSetPLU", "mnuImport", "mnuRpt3",
                             "mnuRpt4", "mnuRpt10", "mnuRpt101", "mnuRpt102", "mnuRpt11", "mnuRpt12", "mnuRpt13",
                             "mnuRpt14", "mnuRpt15", "mnuRpt16", "mnuRpt17", "mnuRptHourly", "mnuMemberRpt", "mnuKey",
                             "mnuKeyboard", "mnuSysPara", "mnuSaleDataView", "mnuCash", "mnuFiscalData"})
        EXPECT_TRUE(w.entry(name)->isEnabled()) << name;
    for (const char* name : {"mnuMemberInfo", "mnuPromotion", "mnuBundleInfo"})
        EXPECT_TRUE(w.entry(name)->isEnabled()) << name;
    for (const char* name : {"mnuBmpDownload", "mnuDbBackup", "mnuSelectDb", "mnuInitData", "mnuDataBackup",
                             "mnuDataRestore"})
        EXPECT_TRUE(w.entry(name)->isEnabled()) << name;
    for (const char* key : {"cashier", "depa", "plu", "member", "hotkey", "sys", "saledata", "download"})
        EXPECT_TRUE(button(w, key)->isEnabled()) << key;
    EXPECT_TRUE(button(w, "exit")->isEnabled());
    // The menu offers About only without a login; the toolbar always.
    EXPECT_FALSE(w.entry("mnuAbout")->isEnabled());
    EXPECT_TRUE(button(w, "about")->isEnabled());
    w.setAboutAvailable(true);
    EXPECT_TRUE(w.entry("mnuAbout")->isEnabled());
    EXPECT_TRUE(button(w, "about")->isEnabled());
}

TEST_F(MainWindowTest, TheAboutButtonOpensAboutAfterALogin) {
    fake("frmAbout");
    MainWindow w(forms);
    w.setAboutAvailable(false);
    QTest::mouseClick(button(w, "about"), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({"frmAbout"}));
}

TEST_F(MainWindowTest, RegisteredFormOpensFromMenuAndToolbar) {
    fake("frmPara");
    fake("frmMember");
    MainWindow w(forms);
    EXPECT_TRUE(w.entry("mnuSysPara")->isEnabled());
    EXPECT_TRUE(button(w, "sys")->isEnabled());
    EXPECT_TRUE(w.entry("mnuMemberInfo")->isEnabled());
    w.entry("mnuSysPara")->trigger();
    QTest::mouseClick(button(w, "sys"), Qt::LeftButton);
    QTest::mouseClick(button(w, "member"), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({"frmPara", "frmPara", "frmMember"}));
    for (QWidget* p : parents) EXPECT_EQ(p, &w);
}

TEST_F(MainWindowTest, KeyEditorFollowsTheKeyboardType) {
    EXPECT_EQ(KeyEditorFormName(0), "frmDefineKey39");
    EXPECT_EQ(KeyEditorFormName(0, 1), "frmDefineKey39_2");
    EXPECT_EQ(KeyEditorFormName(1), "frmDefineKey48");
    EXPECT_EQ(KeyEditorFormName(2), "frmDefineKey59");
    EXPECT_EQ(KeyEditorFormName(3), "frmDefineKey93");
    EXPECT_EQ(KeyEditorFormName(4), "frmDefineKey39_2");
    EXPECT_EQ(KeyEditorFormName(7), "frmDefineKey59");
    EXPECT_EQ(KeyEditorFormName(-1), "frmDefineKey59");
    for (const char* f : {"frmDefineKey39", "frmDefineKey39_2", "frmDefineKey48", "frmDefineKey59", "frmDefineKey93"})
        fake(f);
    MainWindow w(forms);
    QTest::mouseClick(button(w, "hotkey"), Qt::LeftButton); // no info row: type 2
    db->execute("INSERT INTO info(keyboard) VALUES(3)");
    QTest::mouseClick(button(w, "hotkey"), Qt::LeftButton);
    db->execute("UPDATE info SET keyboard = 0");
    w.entry("mnuKey")->trigger();
    db->execute("UPDATE info SET keyboard = 4");
    w.entry("mnuKey")->trigger();
    db->execute("UPDATE info SET keyboard = 7");
    w.entry("mnuKey")->trigger();
    EXPECT_EQ(opened, QStringList({"frmDefineKey59", "frmDefineKey93", "frmDefineKey39", "frmDefineKey39_2",
                                   "frmDefineKey59"}));
}

TEST_F(MainWindowTest, KeyEntryIsEnabledOnlyWhenTheModelsEditorExists) {
    FormRegistry only;
    only.add("frmDefineKey93", [](QWidget*) {});
    db->execute("INSERT INTO info(keyboard) VALUES(1)");
    MainWindow w(only);
    EXPECT_FALSE(w.entry("mnuKey")->isEnabled());
    db->execute("UPDATE info SET keyboard = 3");
    w.refreshStatus();
    EXPECT_TRUE(w.entry("mnuKey")->isEnabled());
}

TEST_F(MainWindowTest, StatusFollowsWhatAFormChanged) {
    forms.add("frmCommSet", [this](QWidget*) { SaveCommSettings(*db, App(), "/dev/pts/3", 9600); });
    MainWindow w(forms);
    EXPECT_EQ(panel(w, 2), "/dev/ttyS0:115200");
    w.entry("mnuComm")->trigger();
    EXPECT_EQ(panel(w, 2), "/dev/pts/3:9600");
}

TEST_F(MainWindowTest, NoToTheClosingQuestionKeepsTheProgramRunning) {
    MainWindow w(forms);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    prompter.answers = {false};
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(prompter.shown.size(), 1);
    const auto& q = prompter.shown[0];
    EXPECT_TRUE(q.question);
    EXPECT_EQ(q.icon, Prompter::Icon::Information);
    EXPECT_EQ(q.title, "S100002");
    EXPECT_EQ(q.text, "S100003");

    // The exit button asks the same question.
    prompter.answers = {false};
    QTest::mouseClick(button(w, "exit"), Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(prompter.shown.size(), 2);

    prompter.answers = {true};
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
}
