// What the progress panel says while a transfer runs, against the simulated
// register, with time moved by hand: the attempt and the time left while a
// page is retried, the page a stopped transfer continues from, the bar over
// the whole range across Continue, and a single page shown busy with Stop.
#include "SimTransferFixture.h"

#include <QPushButton>

namespace {

struct FeedbackTest : SimTransferTest {
    static QString label(QWidget* f) { return child<QLabel>(f, "lblProgress")->text(); }
    static QString status(QWidget* f) {
        auto* l = child<QLabel>(f, "lblStatus");
        return l->isHidden() ? QString() : l->text();
    }
    static bool shownButton(QWidget* f, const char* name) { return !child<QWidget>(f, name)->isHidden(); }
};

} // namespace

TEST_F(FeedbackTest, ARetriedPageShowsItsAttemptAndTimeLeftStopNamesThePageAndTheBarKeepsItsPlace) {
    db->execute("INSERT INTO info(keyboard) VALUES(0)"); // 64 PLU pages
    registerPlus({pluRecord(0, "1001", "Tea"), pluRecord(150, "2050", "Page two")});
    fault("silence@4193#1-3"); // page 2 is not answered three times
    PluForm f;
    f.show();
    auto* bar = child<QProgressBar>(&f, "ProgressBar1");

    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return reg.requests(4193) == 1; }));
    EXPECT_EQ(label(&f), ui::Text(111528).replace("(x)", "2"));
    EXPECT_EQ(status(&f), ""); // a first attempt says nothing more
    EXPECT_EQ(bar->value(), 1);

    // Each unanswered attempt costs the 5 s wait; the last of 31 would end 150 s
    // after the second one starts.
    const struct {
        int advanceMs;
        int requests; // of page 2 so far
        const char* status;
    } steps[] = {
        {5000, 2, "S120800 2 31 2:30\nS120806 1 S120807"},
        {1000, 2, "S120800 2 31 2:29\nS120806 1 S120807"},
        {2500, 2, "S120800 2 31 2:27\nS120806 1 S120807"}, // a started second counts whole
        {1500, 3, "S120800 3 31 2:25\nS120806 2 S120807"},
    };
    for (const auto& s : steps) {
        clock.advance(s.advanceMs);
        ASSERT_TRUE(runUntil([&] { return reg.requests(4193) == s.requests; })) << s.status;
        QCoreApplication::processEvents();
        EXPECT_EQ(status(&f), s.status);
        EXPECT_EQ(label(&f), ui::Text(111528).replace("(x)", "2")); // still the page's caption
    }

    // Stop: the panel no longer says it uploads; it names the page Continue starts with.
    click(&f, "cmdStop");
    ASSERT_TRUE(runUntil([&] { return engine->state() == link::EngineState::Paused; }));
    EXPECT_EQ(label(&f), "S120801 2");
    EXPECT_EQ(status(&f), "");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 63);
    EXPECT_EQ(bar->value(), 1);
    // Time moving on while paused changes nothing.
    clock.advance(10000);
    EXPECT_EQ(label(&f), "S120801 2");
    EXPECT_EQ(status(&f), "");

    // Continue from page 2: the bar still spans pages 1 to 64 and goes on from page 2.
    click(&f, "cmdContinue");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 63);
    EXPECT_GE(bar->value(), 1);
    ASSERT_TRUE(runUntil([&] { return reg.requests(4193) == 4; }));
    // The answer may already have moved the run on to page 3: either way the
    // panel says it uploads again, with no attempt line.
    const QString caption = label(&f);
    EXPECT_TRUE(caption == ui::Text(111528).replace("(x)", "2") || caption == ui::Text(111528).replace("(x)", "3"))
        << caption.toStdString();
    EXPECT_EQ(status(&f), "");
    ASSERT_TRUE(runUntil([&] { return shown("S111235"); }));
    EXPECT_EQ(bar->value(), 63);
    EXPECT_EQ(db->scalar("SELECT name FROM plu WHERE id='2050'").toText(), "Page two");
}

// 31 unanswered attempts at one page: paused on it with Continue and Close.
TEST_F(FeedbackTest, APageThatNeverAnswersEndsPausedNamingItsAttemptsAndCanBeClosed) {
    db->execute("INSERT INTO info(keyboard) VALUES(0)");
    fault("silence@4194");
    PluForm f;
    f.show();
    setText(&f, "txtStartPage", "2");
    setText(&f, "txtEndPage", "5");
    f.pagedTransfer()->readPages();
    ASSERT_TRUE(runUntilTimingOut(4194, [&] { return shown("S111120"); }));
    EXPECT_EQ(reg.requests(4194), 31);
    EXPECT_EQ(reg.requests(4195), 0);
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_EQ(prompter.shown.last().title, "S111115");
    EXPECT_EQ(label(&f), "S120802 3 31");
    EXPECT_EQ(status(&f), "");
    auto* bar = child<QProgressBar>(&f, "ProgressBar1");
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->value(), 2);
    EXPECT_TRUE(panelUp(&f));
    EXPECT_TRUE(enabled(&f, "cmdContinue"));
    EXPECT_TRUE(enabled(&f, "cmdClose"));
    EXPECT_FALSE(enabled(&f, "cmdStop"));
    EXPECT_FALSE(enabled(&f, "cmdAdd"));
    EXPECT_EQ(text(&f, "txtStartPage"), "3");
    click(&f, "cmdClose");
    EXPECT_FALSE(panelUp(&f));
    EXPECT_TRUE(enabled(&f, "cmdAdd"));
    EXPECT_EQ(engine->state(), link::EngineState::Idle);
}

TEST_F(FeedbackTest, ASinglePageShowsItselfBusyWithTimeLeftAndStops) {
    db->execute("INSERT INTO cashier(id, name) VALUES(5, 'Kept')");
    fault("silence@4113");
    CashierForm f;
    f.show();
    auto* bar = child<QProgressBar>(&f, "ProgressBar1");
    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return reg.requests(4113) == 1; }));
    EXPECT_TRUE(panelUp(&f));
    EXPECT_EQ(label(&f), "S120803 S110013"); // what it reads, as the menu calls it
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 0); // moves without a position
    EXPECT_TRUE(enabled(&f, "cmdStop"));
    EXPECT_FALSE(shownButton(&f, "cmdContinue"));
    EXPECT_FALSE(shownButton(&f, "cmdClose"));
    EXPECT_FALSE(enabled(&f, "cmdAdd"));
    EXPECT_EQ(status(&f), "S120805 0:05");
    clock.advance(1000);
    EXPECT_EQ(status(&f), "S120805 0:04");

    const qsizetype mark = prompter.shown.size();
    click(&f, "cmdStop");
    ASSERT_TRUE(runUntil([&] { return !engine->busy(); }));
    EXPECT_FALSE(panelUp(&f));
    EXPECT_TRUE(enabled(&f, "cmdAdd"));
    EXPECT_FALSE(engine->portOpen());
    EXPECT_EQ(prompter.shown.size(), mark); // a stop says nothing
    EXPECT_EQ(db->scalar("SELECT name FROM cashier WHERE id=5").toText(), "Kept");

    // Answered: the panel goes, the completion is said.
    reg.clearFaults();
    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return shown("S111235", mark); }));
    EXPECT_FALSE(panelUp(&f));
}

TEST_F(FeedbackTest, AFormWithoutAPanelGetsASmallWindowForItsSinglePage) {
    fault("silence@4116#1");
    PlainHost host;
    host.form.show();
    ui::SinglePageTransfer single(host, "departments");
    ASSERT_TRUE(single.start(link::Direction::Write));
    ASSERT_NE(single.panel(), nullptr);
    EXPECT_TRUE(single.panel()->isWindow());
    EXPECT_TRUE(single.panel()->isVisible());
    EXPECT_EQ(single.panel()->label()->text(), "S120804 S110014");
    ASSERT_TRUE(runUntil([&] { return reg.requests(4116) == 1; }));
    clock.advance(link::kReplyTimeoutMs);
    ASSERT_TRUE(runUntil([&] { return shown("S111117"); }));
    EXPECT_EQ(single.panel(), nullptr); // hidden and let go
}
