// The key editor's upload and download against the simulated register on a
// pseudo-terminal: the real serial transport, the engine on a clock the test
// moves, the keyboard page compared byte by byte.
#include "editors/SimLinkFixture.h"
#include "keyboard/KeyEditor.h"
#include "sim/DemoRecords.h"

#include <QComboBox>
#include <QRadioButton>

using namespace ecr;
using namespace ecr::keyboard;
using Icon = ecr::ui::Prompter::Icon;
namespace kind = ecr::records::kind;

namespace {
struct KeyTransferTest : SimLinkFixture {
    KeyTransferTest() { App().langCode = 3; }
    static void setRecord(Bytes& page, int address, std::initializer_list<std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), page.begin() + address * 10);
    }
};
} // namespace

TEST_F(KeyTransferTest, UploadAssignAndDownloadGiveTheExpectedKeyboardPage) {
    sim::FillDemoKeys(memory);
    const Bytes demo = memory.read(kind::Keyboard);
    KeyEditorWindow w(kKey59);
    w.show();

    click(&w, "cmdUpload");
    EXPECT_TRUE(engine->busy());
    EXPECT_FALSE(child<QWidget>(&w, "cmdDownload")->isEnabled());
    EXPECT_FALSE(w.view()->isEnabled());
    // Closing is refused while the page is on its way.
    qsizetype mark = prompter.shown.size();
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(messagesSince(mark), QStringList{"E111609"});
    ASSERT_TRUE(runUntil([&] { return shown("E111235"); }));
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_TRUE(w.view()->isEnabled());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM hotkey").toInt(), 385);
    // The keys show what the register holds.
    EXPECT_EQ(w.view()->key(1)->caption(), "<< ! >>\n6901...");
    EXPECT_TRUE(w.view()->key(1)->toolTip().startsWith("6901234567892\n"));
    EXPECT_EQ(w.view()->key(5)->caption(), "<< ! >>\n2000001");
    EXPECT_EQ(w.view()->key(151)->caption(), "<<  >>\nDiscount");
    EXPECT_EQ(w.view()->key(25)->caption(), "Dept\n25");

    // Level 3 of key 5 gets a PLU beside the register's level 1; key 6 a function.
    auto level3 = whenModal("frmDefineKey59_S", [](QDialog* d) {
        EXPECT_EQ(text(d, "txtPluID0"), "2000001");
        setText(d, "txtPluID2", "4711");
        click(d, "cmdModify");
    });
    QTest::mouseClick(w.view()->key(5), Qt::LeftButton);
    ASSERT_TRUE(*level3);
    auto function = whenModal("frmDefineKey59_S", [](QDialog* d) {
        child<QRadioButton>(d, "optFunction")->setChecked(true);
        child<QComboBox>(d, "cboFuncKey")->setCurrentIndex(11); // copy receipt, 150
        click(d, "cmdModify");
    });
    QTest::mouseClick(w.view()->key(6), Qt::LeftButton);
    ASSERT_TRUE(*function);
    EXPECT_EQ(w.view()->key(5)->caption(), "<< ! >>\n4711");
    EXPECT_EQ(w.view()->key(6)->caption(), "<<  >>\nCopy\nReceipt");

    mark = prompter.shown.size();
    click(&w, "cmdDownload");
    ASSERT_TRUE(runUntil([&] { return shown("E111118", mark); }));
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_EQ(reg.requests(kind::Keyboard), 2);

    // The demo page with two records changed: 4711 at address 69 (key 5,
    // level 3) and the copy-receipt function at key 6.
    Bytes expected = demo;
    setRecord(expected, 69, {0x00, 0x00, 0x00, 0x00, 0x22, 0x58, 0x00, 0x00, 'P', 0x00});
    setRecord(expected, 6, {0x96, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 'F', 0x00});
    EXPECT_EQ(memory.read(kind::Keyboard), expected);
    w.close();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(KeyTransferTest, UnansweredTransfersSayWhichWayFailedAndChangeNothing) {
    db->execute("INSERT INTO hotkey VALUES(1, 0, 2, 'P')");
    fault("silence@4115");
    KeyEditorWindow w(kKey93);
    w.show();
    const struct {
        const char* button;
        const char* message;
    } cases[] = {{"cmdUpload", "E111120"}, {"cmdDownload", "E111117"}};
    for (const auto& c : cases) {
        const int before = reg.requests(kind::Keyboard);
        const qsizetype mark = prompter.shown.size();
        click(&w, c.button);
        ASSERT_TRUE(runUntil([&] { return reg.requests(kind::Keyboard) == before + 1; }));
        clock.advance(link::kReplyTimeoutMs);
        ASSERT_TRUE(runUntil([&] { return shown(c.message, mark); })) << c.button;
        EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
        EXPECT_FALSE(engine->portOpen());
        EXPECT_TRUE(child<QWidget>(&w, c.button)->isEnabled());
        EXPECT_TRUE(w.view()->isEnabled());
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM hotkey").toInt(), 1);
    EXPECT_EQ(w.view()->key(1)->caption(), "<< ! >>\n1");
}
