// The main window: captions in every language, status panels, which entries
// are offered and what they open, and the closing question.
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
    // Every entry of the menus shows a catalogue text in the language marked
    // by letter l (the language names and the program's own captions aside),
    // and a few named ones the text of their id.
    void expectCaptions(MainWindow& w, const QString& l) {
        const QRegularExpression catalogueText("^" + l + "\\d{6}$");
        QStringList own{"mnuDataBackup", "mnuDataRestore"};
        for (const auto& language : kLanguages) own << language.menuEntry;
        int seen = 0;
        QList<QAction*> todo = w.menuBar()->actions();
        while (!todo.isEmpty()) {
            QAction* a = todo.takeFirst();
            if (a->menu()) todo << a->menu()->actions();
            if (a->isSeparator() || own.contains(a->objectName())) continue;
            EXPECT_TRUE(catalogueText.match(PlainCaption(a->text()).trimmed()).hasMatch())
                << a->objectName().toStdString() << " " << a->text().toStdString();
            ++seen;
        }
        EXPECT_GT(seen, 40);
        for (auto [name, id] : {std::pair{"mnuSysPara", 110011}, {"mnuSetPLU", 110021}, {"mnuAbout", 110060}})
            EXPECT_EQ(caption(w, name), l + QString::number(id)) << name;
        for (auto [key, id] : {std::pair{"sys", 110011}, {"member", 111243}, {"exit", 110070}})
            EXPECT_EQ(button(w, key)->text(), l + QString::number(id)) << key;
        EXPECT_EQ(w.windowTitle(), l + "100000    Version 320 - 091017");
        EXPECT_EQ(panel(w, 4), l + "100001");
    }
};

} // namespace

TEST_F(MainWindowTest, LanguageSwitchRecaptionsEverythingAtOnce) {
    db->execute("INSERT INTO info(lang) VALUES(1)");
    App().langCode = 1;
    MainWindow w(forms);
    expectCaptions(w, "S");
    EXPECT_TRUE(w.entry("mnuSimplified")->isChecked());
    EXPECT_EQ(caption(w, "mnuSimplified"), "中文");
    EXPECT_EQ(caption(w, "mnuTraditional"), "繁體");

    w.entry("mnuThailand")->trigger();
    expectCaptions(w, "H");
    EXPECT_EQ(App().langCode, 7);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 7);
    EXPECT_EQ(caption(w, "mnuSimplified"), "Simplified Chinese");
    EXPECT_EQ(caption(w, "mnuThailand"), "Thailand");
    for (const auto& l : kLanguages) EXPECT_EQ(w.entry(l.menuEntry)->isChecked(), l.code == 7) << l.menuEntry;

    w.entry("mnuTraditional")->trigger();
    expectCaptions(w, "T");
    EXPECT_EQ(caption(w, "mnuSimplified"), "中文");
    EXPECT_FALSE(w.entry("mnuThailand")->isChecked());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 2);

    w.entry("mnuFarsi")->trigger();
    EXPECT_EQ(w.layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(w.font().family(), InterfaceFontFamily(5));
    w.entry("mnuFrench")->trigger();
    EXPECT_EQ(w.layoutDirection(), Qt::LeftToRight);
}

TEST_F(MainWindowTest, LanguageOutsideTheListChecksNoEntryAndSpeaksEnglish) {
    App().langCode = 9;
    MainWindow w(forms);
    for (const auto& l : kLanguages) EXPECT_FALSE(w.entry(l.menuEntry)->isChecked()) << l.menuEntry;
    EXPECT_EQ(caption(w, "mnuSysPara"), "E110011");
}

TEST_F(MainWindowTest, PlaceholdersOfReportTitlesAreLeftOutOfMenuCaptions) {
    db->execute("UPDATE msglist SET English = 'Details of Department%1' WHERE msgid = 110045");
    App().langCode = 3;
    MainWindow w(forms);
    EXPECT_EQ(caption(w, "mnuRpt11"), "Details of Department");
    EXPECT_EQ(MenuCaption("%1 of %2, 100%"), " of , 100%");
}

TEST_F(MainWindowTest, StatusPanelsShowModelPortFileAndSerialEvents) {
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
    } events[] = {{1004, "S120820", "Frame Error"}, {2, "S120810", "EvReceive"}, {4711, "S120827", "Other Error"}};
    for (const auto& e : events) {
        w.showSerialEvent(e.event);
        EXPECT_EQ(panel(w, 5), e.words);
        EXPECT_EQ(w.findChild<QLabel*>("Panel5")->toolTip(), e.name);
    }
    // What the one engine's transport reports reaches the panel too.
    emit w.registerLink().transport().serialEvent(link::event::RxOver);
    EXPECT_EQ(panel(w, 5), "S120823");
}

TEST_F(MainWindowTest, OwnsTheOneEngineWhileItLives) {
    EXPECT_EQ(Engine(), nullptr);
    {
        MainWindow w(forms);
        ASSERT_NE(Engine(), nullptr);
        EXPECT_FALSE(Engine()->portOpen());
    }
    EXPECT_EQ(Engine(), nullptr);
}

TEST_F(MainWindowTest, StatusFollowsWhatAFormChanged) {
    forms.add("frmCommSet", [this](QWidget*) { SaveCommSettings(*db, App(), "/dev/pts/3", 9600); });
    MainWindow w(forms);
    EXPECT_EQ(panel(w, 2), "/dev/ttyS0:115200");
    w.entry("mnuComm")->trigger();
    EXPECT_EQ(panel(w, 2), "/dev/pts/3:9600");
}

// An entry is offered when its form is registered: every one of the
// program's, but About in the menu, which needs a run without a login.
TEST_F(MainWindowTest, EntriesAreOfferedExactlyWhenTheirFormIsRegistered) {
    MainWindow w(forms);
    int withForms = 0;
    for (int i = 0; i < kMenuEntryCount; ++i) {
        const MenuEntry& e = kMenuEntries[i];
        if (!e.form) continue;
        ++withForms;
        EXPECT_EQ(w.entry(e.name)->isEnabled(), qstrcmp(e.name, "mnuAbout") != 0) << e.name;
    }
    EXPECT_GE(withForms, 36);
    EXPECT_TRUE(button(w, "about")->isEnabled());
    w.setAboutAvailable(true);
    EXPECT_TRUE(w.entry("mnuAbout")->isEnabled());

    FormRegistry none;
    MainWindow bare(none);
    for (const char* name : {"mnuSysPara", "mnuSetPLU", "mnuAbout"}) EXPECT_FALSE(bare.entry(name)->isEnabled()) << name;
    EXPECT_FALSE(button(bare, "sys")->isEnabled());
    EXPECT_FALSE(button(bare, "about")->isEnabled());
}

TEST_F(MainWindowTest, MenuAndToolbarOpenTheirFormOnTheWindow) {
    fake("frmPara");
    fake("frmMember");
    fake("frmAbout");
    MainWindow w(forms);
    w.entry("mnuSysPara")->trigger();
    QTest::mouseClick(button(w, "sys"), Qt::LeftButton);
    QTest::mouseClick(button(w, "member"), Qt::LeftButton);
    QTest::mouseClick(button(w, "about"), Qt::LeftButton); // after a login too
    EXPECT_EQ(opened, QStringList({"frmPara", "frmPara", "frmMember", "frmAbout"}));
    for (QWidget* p : parents) EXPECT_EQ(p, &w);
}

TEST_F(MainWindowTest, KeyEditorFollowsTheKeyboardType) {
    const struct {
        int keyboard, oem;
        const char* form;
    } names[] = {{0, 0, "frmDefineKey39"}, {0, 1, "frmDefineKey39_2"}, {1, 0, "frmDefineKey48"},
                 {2, 0, "frmDefineKey59"}, {3, 0, "frmDefineKey93"},   {4, 0, "frmDefineKey39_2"},
                 {7, 0, "frmDefineKey59"}, {-1, 0, "frmDefineKey59"}};
    for (const auto& n : names) EXPECT_EQ(KeyEditorFormName(n.keyboard, n.oem), n.form) << n.keyboard << "/" << n.oem;

    for (const char* f : {"frmDefineKey39", "frmDefineKey39_2", "frmDefineKey48", "frmDefineKey59", "frmDefineKey93"})
        fake(f);
    MainWindow w(forms);
    QTest::mouseClick(button(w, "hotkey"), Qt::LeftButton); // no info row: type 2
    db->execute("INSERT INTO info(keyboard) VALUES(3)");
    QTest::mouseClick(button(w, "hotkey"), Qt::LeftButton);
    db->execute("UPDATE info SET keyboard = 4");
    w.entry("mnuKey")->trigger();
    EXPECT_EQ(opened, QStringList({"frmDefineKey59", "frmDefineKey93", "frmDefineKey39_2"}));

    // Offered only when the model's editor exists.
    FormRegistry only;
    only.add("frmDefineKey93", [](QWidget*) {});
    db->execute("UPDATE info SET keyboard = 1");
    MainWindow one(only);
    EXPECT_FALSE(one.entry("mnuKey")->isEnabled());
    db->execute("UPDATE info SET keyboard = 3");
    one.refreshStatus();
    EXPECT_TRUE(one.entry("mnuKey")->isEnabled());
}

TEST_F(MainWindowTest, NoToTheClosingQuestionKeepsTheProgramRunning) {
    MainWindow w(forms);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    prompter.answers = {false, false, true};
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(prompter.shown.size(), 1);
    const auto& q = prompter.shown[0];
    EXPECT_TRUE(q.question);
    EXPECT_EQ(q.icon, Prompter::Icon::Information);
    EXPECT_EQ(q.title, "S100002");
    EXPECT_EQ(q.text, "S100003");
    // The exit button asks the same question.
    QTest::mouseClick(button(w, "exit"), Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(prompter.shown.size(), 2);
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
}
