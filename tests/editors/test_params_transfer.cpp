// The system parameter form against the simulated register on a
// pseudo-terminal: upload, download over the register's page, the attempts
// and the clock.
#include "FormsFixture.h"
#include "app/AppState.h"
#include "app/GlobalFunc.h"
#include "editors/ParamsForm.h"
#include "link/Clock.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "records/PageKinds.h"
#include "records/rows/DbPageIO.h"
#include "sim/DemoRecords.h"
#include "sim/SimServer.h"
#include "ui/RegisterLink.h"
#include "ui/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>

#include <chrono>

using namespace ecr;
using namespace ecr::editors;
using Icon = ecr::ui::Prompter::Icon;
namespace kind = ecr::records::kind;

namespace {

struct ParamsSimTest : FormsFixture {
    sim::RegisterMemory memory;
    sim::SimRegister reg{memory};
    sim::SimServer server{reg};
    std::string port;
    link::SerialTransport transport{[this] { return link::PortSettings{port, 115200}; }};
    link::ManualClock clock;
    rows::DbPageIO io{*db, App()};
    std::unique_ptr<link::TransferEngine> engine;

    ParamsSimTest() {
        QString err;
        EXPECT_TRUE(server.start(err)) << err.toStdString();
        port = server.path().toStdString();
        engine = std::make_unique<link::TransferEngine>(transport, io, clock);
        ui::SetEngine(engine.get());
        db->execute("INSERT INTO info(ver, keyboard) VALUES(322, 2)");
        App().dataVersion = 322;
        App().registerVersion = 100322;
        sim::FillDemoParams(memory);
    }
    ~ParamsSimTest() override {
        ui::SetEngine(nullptr);
        engine.reset();
    }

    // Runs the event loop and the engine's clock until done; an unanswered
    // request costs its 5 s wait on the test's clock.
    bool runUntil(const std::function<bool()>& done, int page = kind::Params) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        int answered = reg.requests(page);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            clock.runPending();
            if (silent && reg.requests(page) > answered) {
                answered = reg.requests(page);
                clock.advance(link::kReplyTimeoutMs);
            }
        }
        return true;
    }
    bool shown(const QString& text) const { return messagesSince(0).contains(text); }
    void fault(const char* rule) {
        std::string err;
        auto f = sim::ParseFault(rule, err);
        ASSERT_TRUE(f) << err;
        reg.addFault(*f);
        silent = std::string(rule).starts_with("silence");
    }
    void upload(ParamsForm& f) {
        click(&f, "cmdUpload");
        ASSERT_TRUE(runUntil([&] { return shown(ui::Text(111235)); }));
    }
    static QString text(ParamsForm& f, const char* name) { return child<QLineEdit>(&f, name)->text(); }
    static int item(ParamsForm& f, const char* name) { return child<QComboBox>(&f, name)->currentIndex(); }
    static bool checked(ParamsForm& f, const char* name) { return child<QCheckBox>(&f, name)->isChecked(); }

    bool silent = false;
};

} // namespace

TEST_F(ParamsSimTest, UploadFillsEveryTabFromTheRegistersPage) {
    ParamsForm f;
    f.show();
    EXPECT_EQ(text(f, "txtMachineNumber"), ""); // no row yet
    click(&f, "cmdUpload");
    // No question, no panel; the form is off while the page comes.
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_FALSE(child<QWidget>(&f, "SSTab1")->isEnabled());
    EXPECT_FALSE(child<QWidget>(&f, "cmdExit")->isEnabled());
    ASSERT_TRUE(runUntil([&] { return shown("S111235"); }));
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_TRUE(child<QWidget>(&f, "SSTab1")->isEnabled());
    EXPECT_EQ(reg.requests(kind::Params), 1);

    // General
    EXPECT_EQ(text(f, "txtMachineNumber"), "1");
    EXPECT_EQ(text(f, "txtCashierTotal"), "6");
    EXPECT_EQ(text(f, "txtAdminPwd"), "9999");
    EXPECT_EQ(item(f, "cboPointEn"), 2);
    EXPECT_EQ(text(f, "txtRegNo"), "REG-0001-DEMO");
    EXPECT_EQ(text(f, "txtUserNameAndAddress2"), "12 Market Street");
    // Receipt header and footer (NoteHeadEn 0: every box checked)
    EXPECT_EQ(text(f, "txtNoteHead3"), "Tel. 555-0199");
    EXPECT_EQ(text(f, "txtNoteEnd2"), "欢迎再次光临");
    EXPECT_TRUE(checked(f, "chkHeadEn9(2)"));
    EXPECT_TRUE(checked(f, "chkEndEn1(0)"));
    // Print options (NotePrint 1: only the logo off)
    EXPECT_EQ(item(f, "cboPrintLogo"), 0);
    EXPECT_EQ(item(f, "cboPrintAddress"), 1);
    EXPECT_TRUE(checked(f, "chkLoginPrint"));
    EXPECT_EQ(item(f, "cboPrintDensity"), 2);
    // Payments
    EXPECT_EQ(text(f, "txtPrice5"), "USD");
    EXPECT_EQ(text(f, "txtPayWay5NativeCurrency"), "7");
    EXPECT_EQ(text(f, "txtPayWay6NativeCurrency"), "8");
    // Tax and rounding (TaxPrintEn 1: the tax line off, its amount on)
    EXPECT_EQ(text(f, "txtTaxDefaultValue"), "6");
    EXPECT_DOUBLE_EQ(App().taxDefault, 6);
    EXPECT_EQ(item(f, "cboIsPrint"), 0);
    EXPECT_EQ(item(f, "cboIsPrintTax"), 1);
    EXPECT_EQ(text(f, "txtServiceChargeValue"), "10");
    EXPECT_EQ(text(f, "txtMemberScoreRule"), "1");
    EXPECT_EQ(text(f, "txtServiceCharge2Name"), "Delivery");
    // Printers
    EXPECT_EQ(item(f, "cboPrinterB"), 1);
    EXPECT_EQ(child<QComboBox>(&f, "cboUART_BPS")->currentText(), "115200");
    // Barcodes and tastes
    EXPECT_EQ(item(f, "cboInStoreCode(0)"), 2);
    EXPECT_EQ(item(f, "cboInStoreCode(1)"), 0);
    EXPECT_EQ(text(f, "txtTaste8"), "Eat in");
    // Other settings
    EXPECT_TRUE(checked(f, "chkZReport(2)"));
    EXPECT_EQ(text(f, "txtFiscalInfo"), "Demo fiscal memory");
    EXPECT_EQ(text(f, "txtLocalCurrencyAbbr"), "$");
}

// Written over the register's page: one header line changed gives exactly
// its bytes changed in the register's memory.
TEST_F(ParamsSimTest, DownloadChangesOnlyTheBytesOfTheChangedLine) {
    App().langCode = 3; // the language override then keeps the register's English
    ParamsForm f;
    upload(f);
    const Bytes before = memory.read(kind::Params);
    child<QLineEdit>(&f, "txtNoteHead2")->setText("  Market Square 7");
    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdDownload");
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
    EXPECT_EQ(messagesSince(mark), QStringList({"E111118"}));
    EXPECT_EQ(db->scalar("SELECT NoteHead2 FROM params").toText(), "  Market Square 7");

    Bytes expected = before;
    constexpr std::size_t line2 = 280 + 43; // layout B, 32 bytes written
    TextToBytes("  Market Square 7", ByteSpan(expected).subspan(line2, 32));
    const Bytes after = memory.read(kind::Params);
    EXPECT_EQ(after, expected);
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i]) changed.push_back(i);
    ASSERT_FALSE(changed.empty());
    EXPECT_GE(changed.front(), line2);
    EXPECT_LT(changed.back(), line2 + 32);
    // The read before the write, then the write.
    EXPECT_EQ(reg.requests(kind::Params), 3);
}

TEST_F(ParamsSimTest, ARefusedSaveWritesNothing) {
    db->execute("INSERT INTO params(MachineNumber, CashierTotal, NoteHead1) VALUES(4, 6, 'kept')");
    ParamsForm f;
    f.show();
    child<QLineEdit>(&f, "txtMachineNumber")->clear();
    child<QLineEdit>(&f, "txtNoteHead1")->setText("changed");
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
        child<QLineEdit>(&f, "txtMachineNumber")->setText("9");
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
        ASSERT_TRUE(runUntil([&] { return !prompter.shown.isEmpty(); }));
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
    ASSERT_TRUE(runUntil([&] { return shown("S111415"); }, sim::kClockPage));
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
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark + 1; }, sim::kClockPage));
    EXPECT_EQ(messagesSince(mark), QStringList({"S111414", "S111117"}));
    EXPECT_EQ(reg.requests(sim::kClockPage), 2);
    EXPECT_FALSE(engine->portOpen());

    // A refusal by the register is its reason, once.
    reg.clearFaults();
    fault("result3@clock");
    const qsizetype mark2 = prompter.shown.size();
    click(&f, "cmdUpdateTime");
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark2 + 1; }, sim::kClockPage));
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
