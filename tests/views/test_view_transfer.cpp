// The views' transfers against the simulated register on a pseudo-terminal:
// the real serial transport, the engine on a clock the test moves, and the
// simulator's log of the requests it answered.
#include "editors/SimLinkFixture.h"
#include "records/Journal.h"
#include "records/PageKinds.h"
#include "sim/Demo.h"
#include "views/FiscalForm.h"
#include "views/FlashCashForm.h"
#include "views/SaleDataForm.h"

#include <QLabel>
#include <QTreeView>


using namespace ecr;
using namespace ecr::views;
namespace kind = ecr::records::kind;

namespace {

struct ViewTransferTest : SimLinkFixture {
    QStringList requests; // the simulator's log

    ViewTransferTest() {
        reg.onEvent = [this](const std::string& line) { requests << QString::fromStdString(line); };
    }
    bool idle() const { return !engine->busy() && engine->state() == link::EngineState::Idle; }
    bool shown(const QString& text) const { return messagesSince(0).contains(text); }

    // A journal page whose records are lines of bills at the time given.
    void journalPage(int address, int lines, const std::string& time, long long firstBill = 1) {
        Bytes page(records::kPageSize, 0xFF);
        for (int i = 0; i < lines; ++i) {
            records::JournalRecord r;
            r.billnumber = firstBill + i / 2;
            r.pluid = std::to_string(100 + i);
            r.price = 1.5;
            r.quantity = 1;
            r.time = time;
            r.cashier = 1;
            r.depart = 1;
            EXPECT_TRUE(records::EncodeJournal(
                r, ByteSpan(page).subspan(static_cast<std::size_t>(i) * records::kJournalRecordSize,
                                          records::kJournalRecordSize),
                2));
        }
        memory.write(address, page);
    }
    // The allocation table: every entry 0 but those given.
    void allocation(std::initializer_list<std::pair<int, int>> entries) {
        Bytes fat(records::kPageSize, 0);
        for (const auto& [k, v] : entries) NumberToBytes(v, ByteSpan(fat).subspan(k * 4, 4), 0, false);
        memory.write(kind::JournalFat, fat);
        memory.write(kind::JournalFat + 1, Bytes(records::kPageSize, 0));
    }
    static QStringList each(const char* verb, std::initializer_list<int> pages, const char* what) {
        QStringList t;
        for (int p : pages) t << QStringLiteral("%1 %2 %3").arg(verb).arg(p).arg(what);
        return t;
    }
};

} // namespace

TEST_F(ViewTransferTest, Version100330ReadsAndWritesOnlyThePagesTheAllocationTableNames) {
    db->execute("INSERT INTO info(keyboard, ver) VALUES(0, 330)"); // 352 pages from 4256
    allocation({{0, 2}, {5, 9}});
    journalPage(4256, 4, "2009-10-05 10:00:00");
    journalPage(4257, 4, "2009-12-01 10:00:00"); // marked empty: never read
    journalPage(4261, 6, "2009-11-20 18:30:00", 10);
    SaleDataForm f;
    f.show();
    click(&f, "cmdUpload");
    EXPECT_EQ(text(&f, "txtEndPage"), "352");
    EXPECT_EQ(prompter.shown.last().text, "S111201");
    ASSERT_TRUE(runUntil([&] { return idle() && shown("S111235"); }));
    EXPECT_EQ(requests, each("read", {4134, 4135, 4256, 4261}, "page"));
    // The tree was built again from what was read.
    QStringList months;
    for (int i = 0; i < f.tree()->topLevelItem(0)->childCount(); ++i) months << f.tree()->topLevelItem(0)->child(i)->text(0);
    EXPECT_EQ(months, QStringList({"200910", "200911"}));
    EXPECT_EQ(db->scalar("SELECT group_concat(sid) FROM (SELECT sid FROM plurecord ORDER BY sid)").toText(),
              "0,1,2,3,5000,5001,5002,5003,5004,5005");

    // Written back: the allocation pages first, then the pages they name.
    requests.clear();
    click(&f, "cmdDownload");
    EXPECT_EQ(prompter.shown.last().text, "S111166");
    ASSERT_TRUE(runUntil([&] { return idle() && shown("S111118"); }));
    EXPECT_EQ(requests, each("write", {4134, 4135, 4256, 4261}, "ok"));
}

// A register that never gives its allocation table: no journal page is asked
// for, the error is shown, and the journal already stored stays whole.
TEST_F(ViewTransferTest, AnAllocationTableThatFailsEndsTheReadAndKeepsTheStoredJournal) {
    db->execute("INSERT INTO info(keyboard, ver) VALUES(0, 400)");
    db->execute("INSERT INTO plurecord(billnumber,pluid,price,quantity,time,cashier,sid)"
                " VALUES(5,'77',2,1,'2009-08-01 10:00:00',1,0)");
    allocation({{0, 2}});
    journalPage(4256, 4, "2009-10-05 10:00:00");
    reg.addFault({sim::FaultKind::Result, 1, kind::JournalFat + 1});
    SaleDataForm f;
    f.show();
    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return idle() && prompter.shown.size() == 2; }));
    QStringList expected{"read 4134 page"};
    for (int attempt = 0; attempt < 31; ++attempt) expected << "read 4135 result1";
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(prompter.shown.last().icon, ui::Prompter::Icon::Critical);
    EXPECT_NE(prompter.shown.last().text, "S111235");
    EXPECT_EQ(db->scalar("SELECT group_concat(billnumber || ':' || time) FROM plurecord").toText(),
              "5:2009-08-01 10:00:00");
    // Paused on the failed page until closed; then the form is as it was.
    EXPECT_FALSE(f.tree()->isEnabled());
    click(&f, "cmdClose");
    EXPECT_TRUE(child<QWidget>(&f, "cmdUpload")->isEnabled());
    EXPECT_TRUE(f.tree()->isEnabled());
    EXPECT_EQ(f.tree()->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plurecord").toInt(), 1);
}

TEST_F(ViewTransferTest, Version100500ReadsAndWritesEveryPageOfTheRange) {
    db->execute("INSERT INTO info(keyboard, ver) VALUES(0, 500)");
    allocation({{0, 2}});
    for (int p = 0; p < 352; ++p) journalPage(4256 + p, 1, "2009-10-05 10:00:00", p + 1);
    SaleDataForm f;
    f.show();
    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return idle() && shown("S111235"); }));
    QStringList expected;
    for (int p = 4256; p < 4256 + 352; ++p) expected << QStringLiteral("read %1 page").arg(p);
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plurecord").toInt(), 352);

    requests.clear();
    setText(&f, "txtStartPage", "350");
    f.pagedTransfer()->writePages();
    ASSERT_TRUE(runUntil([&] { return idle() && shown("S111118"); }));
    EXPECT_EQ(requests, each("write", {4605, 4606, 4607}, "ok"));
}

// The demo register's journal: its allocation table marks page 1 empty, and
// page 3 is erased, where the read ends without a success message.
TEST_F(ViewTransferTest, TheDemoJournalIsReadFromTheFormAndBrowsedByMonthAndBill) {
    sim::FillDemo(memory);
    SaleDataForm f;
    f.show();
    click(&f, "cmdUpload");
    EXPECT_EQ(text(&f, "txtEndPage"), "768");
    // Nothing to choose or page while the journal comes in.
    for (QWidget* w : std::initializer_list<QWidget*>{f.tree(), f.billView(), f.lineView(),
                                                      f.pagingButton(PageMove::First, 0),
                                                      f.pagingButton(PageMove::Last, 1), child<QWidget>(&f, "cmdFind"),
                                                      child<QWidget>(&f, "cmdDownload")})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    ASSERT_TRUE(runUntil([&] { return idle() && !child<QWidget>(&f, "fraProgress")->isVisible(); }));
    EXPECT_EQ(requests, each("read", {4134, 4135, 4352, 4354, 4355}, "page"));
    EXPECT_EQ(messagesSince(0), QStringList({"S111201"})); // the question only
    for (QWidget* w : std::initializer_list<QWidget*>{f.tree(), f.lineView(), f.pagingButton(PageMove::Last, 1),
                                                      child<QWidget>(&f, "cmdUpload")})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();

    // What was read is there to browse: 24 bills of four lines, each line
    // at a time stamp of its own, on four pages.
    QTreeWidgetItem* october = f.tree()->topLevelItem(0)->child(0);
    ASSERT_NE(october, nullptr);
    EXPECT_EQ(october->text(0), "200910");
    f.tree()->setCurrentItem(october); // by the keyboard
    EXPECT_EQ(child<QLabel>(&f, "Label5")->text(), "1(4)");
    EXPECT_EQ(f.billModel()->index(0, 0).data().toString(), "1001");
    EXPECT_EQ(f.lineModel()->rowCount(), 4);
}

TEST_F(ViewTransferTest, FiscalReadReplacesTheStoredDaysAndFlashCashReadsItsPage) {
    sim::FillDemo(memory);
    db->execute("INSERT INTO fiscal(fyear, fday, mdate) VALUES(1999, 5, '1999-01-05 00:00:00')");
    {
        FiscalForm f;
        f.show();
        for (int round = 0; round < 2; ++round) {
            click(&f, "cmdUpload");
            EXPECT_EQ(text(&f, "txtEndPage"), "16");
            ASSERT_TRUE(runUntil([&] { return idle() && prompter.shown.size() == 2 * (round + 1); }));
            EXPECT_EQ(prompter.shown.last().text, "S111235");
            // 1 January to 15 May 2009, once, whatever was stored before.
            EXPECT_EQ(f.tree()->topLevelItemCount(), 31 + 28 + 31 + 30 + 15);
            EXPECT_EQ(f.tree()->topLevelItem(0)->text(0), "2009-01-01");
        }
    }
    prompter.shown.clear();
    requests.clear();
    FlashCashForm f;
    f.show();
    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return idle() && !prompter.shown.isEmpty(); }));
    EXPECT_EQ(messagesSince(0), QStringList({"S111235"}));
    EXPECT_EQ(requests, QStringList({"read 4117 page"}));
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 12);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(11)), QStringList({"S111559", "99.99"}));
}
