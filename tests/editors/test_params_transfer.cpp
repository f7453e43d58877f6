// The system parameter form against the simulated register on a
// pseudo-terminal: upload, download over the register's page, the attempts
// and the clock.
#include "SimLinkFixture.h"
#include "app/GlobalFunc.h"
#include "editors/ParamsForm.h"
#include "sim/DemoRecords.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>

using namespace ecr;
using namespace ecr::editors;
using Icon = ecr::ui::Prompter::Icon;
namespace kind = ecr::records::kind;

namespace {

struct ParamsSimTest : SimLinkFixture {
    ParamsSimTest() {
        db->execute("INSERT INTO info(ver, keyboard) VALUES(322, 2)");
        App().dataVersion = 322;
        App().registerVersion = 100322;
        sim::FillDemoParams(memory);
    }
    void upload(ParamsForm& f) {
        click(&f, "cmdUpload");
        ASSERT_TRUE(runUntil([&] { return shown(ui::Text(111235)); }));
    }
    static int item(ParamsForm& f, const char* name) { return child<QComboBox>(&f, name)->currentIndex(); }
    static bool checked(ParamsForm& f, const char* name) { return child<QCheckBox>(&f, name)->isChecked(); }
};

} // namespace

TEST_F(ParamsSimTest, UploadFillsEveryTabFromTheRegistersPage) {
    ParamsForm f;
    f.show();
    EXPECT_EQ(text(&f, "txtMachineNumber"), ""); // no row yet
    click(&f, "cmdUpload");
    // No question, no panel; the form is off while the page comes.
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_FALSE(child<QWidget>(&f, "SSTab1")->isEnabled());
    ASSERT_TRUE(runUntil([&] { return shown("S111235"); }));
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(child<QWidget>(&f, "SSTab1")->isEnabled());
    EXPECT_EQ(reg.requests(kind::Params), 1);
    // One field or more of each tab, the masks decoded onto their controls.
    EXPECT_EQ(text(&f, "txtMachineNumber"), "1");
    EXPECT_EQ(item(f, "cboPointEn"), 2);
    EXPECT_EQ(text(&f, "txtNoteEnd2"), "欢迎再次光临");
    EXPECT_TRUE(checked(f, "chkHeadEn9(2)"));
    EXPECT_EQ(item(f, "cboPrintLogo"), 0);
    EXPECT_EQ(item(f, "cboPrintAddress"), 1);
    EXPECT_EQ(text(&f, "txtPrice5"), "USD");
    EXPECT_EQ(text(&f, "txtTaxDefaultValue"), "6");
    EXPECT_DOUBLE_EQ(App().taxDefault, 6);
    EXPECT_EQ(item(f, "cboIsPrintTax"), 1);
    EXPECT_EQ(child<QComboBox>(&f, "cboUART_BPS")->currentText(), "115200");
    EXPECT_EQ(item(f, "cboInStoreCode(0)"), 2);
    EXPECT_EQ(text(&f, "txtTaste8"), "Eat in");
    EXPECT_TRUE(checked(f, "chkZReport(2)"));
    EXPECT_EQ(text(&f, "txtFiscalInfo"), "Demo fiscal memory");
}

// Written over the register's page: one header line changed gives exactly
// its bytes changed in the register's memory.
TEST_F(ParamsSimTest, DownloadChangesOnlyTheBytesOfTheChangedLine) {
    App().langCode = 3; // the language override then keeps the register's English
    ParamsForm f;
    upload(f);
    const Bytes before = memory.read(kind::Params);
    setText(&f, "txtNoteHead2", "  Market Square 7");
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdDownload");
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
    EXPECT_EQ(messagesSince(mark), QStringList({"E111118"}));
    EXPECT_EQ(db->scalar("SELECT NoteHead2 FROM params").toText(), "  Market Square 7");

    Bytes expected = before;
    constexpr std::size_t line2 = 280 + 43; // layout B, 32 bytes written
    TextToBytes("  Market Square 7", ByteSpan(expected).subspan(line2, 32));
    ASSERT_NE(expected, before);
    EXPECT_EQ(memory.read(kind::Params), expected);
    // The read before the write, then the write.
    EXPECT_EQ(reg.requests(kind::Params), 3);
}

TEST_F(ParamsSimTest, ARefusedSaveWritesNothing) {
    db->execute("INSERT INTO params(MachineNumber, CashierTotal, NoteHead1) VALUES(4, 6, 'kept')");
    ParamsForm f;
    f.show();
    setText(&f, "txtMachineNumber", "");
    setText(&f, "txtNoteHead1", "changed");
    click(&f, "cmdDownload");
    QCoreApplication::processEvents();
    clock.runPending();
    EXPECT_EQ(messagesSince(0), QStringList({"S111161"}));
    EXPECT_EQ(reg.requests(kind::Params), 0);
    EXPECT_FALSE(engine->busy());
    EXPECT_EQ(db->query("SELECT MachineNumber, NoteHead1 FROM params").rows,
              (std::vector<std::vector<db::Value>>{{4, "kept"}}));
}

// Without the register version the page's layout is unknown: when info
// cannot be read, neither button sends anything (a download still saves).
TEST_F(ParamsSimTest, AnUnreadableVersionSendsNothing) {
    for (const char* button : {"cmdUpload", "cmdDownload"}) {
        SCOPED_TRACE(button);
        db->execute("DELETE FROM params");
        ParamsForm f;
        f.show();
        setText(&f, "txtMachineNumber", "9");
        // info without its version columns; the catalogue still reads it.
        db->execute("ALTER TABLE info RENAME TO info_kept");
        db->execute("CREATE TABLE info AS SELECT oem FROM info_kept");
        prompter.shown.clear();
        click(&f, button);
        QCoreApplication::processEvents();
        clock.runPending();
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_TRUE(prompter.shown.last().text.startsWith("S111465\n")) << prompter.shown.last().text.toStdString();
        EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
        EXPECT_EQ(reg.requests(kind::Params), 0);
        EXPECT_FALSE(engine->busy());
        EXPECT_TRUE(child<QWidget>(&f, "cmdUpload")->isEnabled());
        EXPECT_EQ(db->scalar("SELECT count(*) FROM params").toInt(), std::string(button) == "cmdDownload" ? 1 : 0);
        db->execute("DROP TABLE info");
        db->execute("ALTER TABLE info_kept RENAME TO info");
    }
}

// Each attempt is tried again without a word; after the 31st the reason.
TEST_F(ParamsSimTest, ThirtyOneAttemptsThenTheReason) {
    struct Case {
        const char* fault;
        const char* button;
        QString message;
    };
    const Case cases[] = {
        {"silence@4112", "cmdUpload", "S111120"},
        {"result3@4112", "cmdUpload", "S111213"},
        {"silence@4112", "cmdDownload", "S111117"},
        {"result3@4112", "cmdDownload", "S111213"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " " + c.button);
        db->execute("DELETE FROM params");
        db->execute("INSERT INTO params(MachineNumber, CashierTotal) VALUES(1, 6)");
        reg.clearFaults();
        fault(c.fault);
        const int before = reg.requests(kind::Params);
        prompter.shown.clear();
        ParamsForm f;
        f.show();
        click(&f, c.button);
        const auto done = [&] { return !prompter.shown.isEmpty(); };
        ASSERT_TRUE(std::string(c.fault).starts_with("silence") ? runUntilTimingOut(kind::Params, done) : runUntil(done));
        EXPECT_EQ(messagesSince(0), QStringList({c.message}));
        EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
        EXPECT_EQ(reg.requests(kind::Params) - before, 31);
        EXPECT_FALSE(engine->portOpen());
        EXPECT_TRUE(child<QWidget>(&f, "cmdUpload")->isEnabled());
        EXPECT_EQ(db->scalar("SELECT count(*) FROM params").toInt(), 1);
    }
}

TEST_F(ParamsSimTest, TheClockAfterTheQuestionWithoutRetry) {
    ParamsForm f;
    f.show();
    prompter.answers = {false};
    click(&f, "cmdUpdateTime");
    EXPECT_EQ(prompter.shown.last().text, "S111414");
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_TRUE(prompter.shown.last().question);
    QCoreApplication::processEvents();
    EXPECT_FALSE(engine->busy());

    const QDateTime from = QDateTime::currentDateTime();
    click(&f, "cmdUpdateTime");
    ASSERT_TRUE(runUntil([&] { return shown("S111415"); }));
    const QDateTime to = QDateTime::currentDateTime();
    ASSERT_TRUE(reg.clock());
    const sim::SimClock set = *reg.clock();
    const QDateTime sent(QDate(set.year, set.month, set.day), QTime(set.hour, set.minute));
    EXPECT_GE(sent, from.addSecs(-from.time().second()).addMSecs(-from.time().msec()));
    EXPECT_LE(sent, to);
    EXPECT_EQ(reg.requests(sim::kClockPage), 1);

    fault("silence@clock");
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdUpdateTime");
    ASSERT_TRUE(runUntilTimingOut(sim::kClockPage, [&] { return prompter.shown.size() > mark + 1; }));
    EXPECT_EQ(messagesSince(mark), QStringList({"S111414", "S111117"}));
    EXPECT_EQ(reg.requests(sim::kClockPage), 2);
    EXPECT_FALSE(engine->portOpen());

    // A refusal by the register is its reason, once.
    reg.clearFaults();
    fault("result3@clock");
    const qsizetype mark2 = prompter.shown.size();
    click(&f, "cmdUpdateTime");
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark2 + 1; }));
    EXPECT_EQ(messagesSince(mark2), QStringList({"S111414", "S111213"}));
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_EQ(reg.requests(sim::kClockPage), 3);
}

// While the page is on its way the form stays open, whichever way it is
// closed; once the port is closed again it closes.
TEST_F(ParamsSimTest, ClosingRefusedWhileLinked) {
    ParamsForm f;
    f.show();
    click(&f, "cmdUpload");
    ASSERT_TRUE(engine->portOpen());
    f.reject();
    EXPECT_TRUE(f.isVisible());
    ASSERT_TRUE(runUntil([&] { return shown("S111235"); }));
    EXPECT_FALSE(engine->portOpen());
    f.reject();
    EXPECT_FALSE(f.isVisible());
}
