// The editors' transfers against the simulated register on a pseudo-terminal:
// the real serial transport, the engine on a clock the test moves.
#include "SimTransferFixture.h"
#include "gui/FormRegistry.h"
#include "gui/MainWindow.h"

TEST_F(SimTransferTest, PluUploadOf64PagesStopsAtPage7AndContinueReadsPage7Again) {
    db->execute("INSERT INTO info(keyboard) VALUES(0)"); // 64 PLU pages
    registerPlus({pluRecord(0, "1001", "Tea"), pluRecord(1, "1002", "Coffee"), pluRecord(603, "7003", "Page seven"),
                  pluRecord(6363, "6363", "Last page")});
    fault("silence@4198#1"); // page 7's first request stays unanswered
    PluForm f;
    f.show();

    click(&f, "cmdUpload");
    ASSERT_FALSE(prompter.shown.isEmpty());
    EXPECT_EQ(prompter.shown.last().text, "S111201");
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_FALSE(prompter.shown.last().defaultYes);
    // Running: panel up with Stop only, everything else disabled.
    EXPECT_EQ(text(&f, "txtStartPage"), "1");
    EXPECT_EQ(text(&f, "txtEndPage"), "64");
    EXPECT_TRUE(panelUp(&f));
    EXPECT_TRUE(enabled(&f, "cmdStop"));
    EXPECT_FALSE(enabled(&f, "cmdContinue"));
    EXPECT_FALSE(enabled(&f, "cmdClose"));
    for (const char* name : {"cmdAdd", "cmdUpload", "cmdExcel", "cmdExit", "cmdNext", "ListView1", "TreeView1"})
        EXPECT_FALSE(enabled(&f, name)) << name;

    ASSERT_TRUE(runUntil([&] { return reg.requests(4198) == 1; }));
    EXPECT_EQ(text(&f, "txtStartPage"), "7");
    EXPECT_TRUE(engine->portOpen());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM plu").toInt(), 2); // page 1 is stored already

    // Closing is refused while the port is open.
    qsizetype mark = prompter.shown.size();
    f.close();
    EXPECT_TRUE(f.isVisible());
    ASSERT_EQ(messagesSince(mark), QStringList({"S111609"}));
    EXPECT_EQ(prompter.shown.last().title, "S111608");

    click(&f, "cmdStop");
    EXPECT_TRUE(enabled(&f, "cmdContinue"));
    EXPECT_FALSE(enabled(&f, "cmdStop"));
    EXPECT_TRUE(enabled(&f, "cmdClose"));
    ASSERT_TRUE(runUntil([&] { return engine->state() == link::EngineState::Paused; }));
    EXPECT_FALSE(engine->portOpen());
    EXPECT_TRUE(panelUp(&f));
    EXPECT_FALSE(enabled(&f, "cmdAdd"));
    EXPECT_EQ(text(&f, "txtStartPage"), "7");
    EXPECT_EQ(prompter.shown.size(), mark + 1); // a stop says nothing

    click(&f, "cmdContinue");
    EXPECT_EQ(questions("S111201"), 2);
    ASSERT_TRUE(runUntil([&] { return shown("S111235", mark); }));
    EXPECT_EQ(reg.requests(4198), 2);
    for (int addr = 4192; addr < 4256; ++addr) {
        if (addr == 4198) continue;
        EXPECT_EQ(reg.requests(addr), 1) << addr;
    }
    EXPECT_EQ(reg.requests(4256), 0);
    EXPECT_EQ(prompter.shown.last().icon, Icon::Information);
    EXPECT_FALSE(panelUp(&f));
    for (const char* name : {"cmdAdd", "cmdUpload", "cmdExit", "ListView1", "TreeView1"})
        EXPECT_TRUE(enabled(&f, name)) << name;
    auto rows = db->query("SELECT id, name, sid, price FROM plu ORDER BY sid");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows.rows[2], (std::vector<db::Value>{"7003", "Page seven", 603, 604.5}));
    EXPECT_EQ(rows.rows[3], (std::vector<db::Value>{"6363", "Last page", 6363, 6364.5}));
    // The list was read again.
    EXPECT_EQ(listOf(&f)->topLevelItemCount(), 4);
    EXPECT_EQ(child<QLabel>(&f, "Label3")->text(), "1(1)");
    f.close();
    EXPECT_FALSE(f.isVisible());
}

TEST_F(SimTransferTest, PluDownloadRetriesAFailedPageAndWritesEveryPage) {
    db->execute("INSERT INTO info(keyboard) VALUES(0)");
    db->execute("INSERT INTO plu(id, name, depart, price, safestock, stockvalue, a0, memberprice, AveragePrice, sid) "
                "VALUES('9001', 'Bread', 1, 2.2, 0, 5, 0, 2, 1, 301), ('9002', 'Butter', 1, 3, 0, 1, 1, 3, 2, 6300)");
    fault("checksum@4195#1"); // the first write of page 4 arrives corrupted
    PluForm f;
    f.show();
    click(&f, "cmdDownload");
    EXPECT_EQ(prompter.shown.last().text, "S111166");
    ASSERT_TRUE(runUntil([&] { return shown("S111118"); }));
    EXPECT_EQ(reg.requests(4195), 2);
    EXPECT_EQ(reg.requests(4192), 1);
    EXPECT_EQ(reg.requests(4255), 1);
    EXPECT_EQ(prompter.shown.size(), 2); // the question and the completion: the retry is silent
    auto at = [&](int addr, int slot) {
        const Bytes page = memory.read(addr);
        return records::DecodePlu(ByteView(page).subspan(slot * records::kPluRecordSize, records::kPluRecordSize),
                                  addr - kind::Plu, slot, 2);
    };
    auto bread = at(4195, 1);
    ASSERT_TRUE(bread);
    EXPECT_EQ(bread->id, "9001");
    EXPECT_EQ(bread->name, "Bread");
    EXPECT_DOUBLE_EQ(bread->price, 2.2);
    auto butter = at(4255, 0);
    ASSERT_TRUE(butter);
    EXPECT_EQ(butter->a0, 1);
    EXPECT_FALSE(at(4192, 0)); // an empty page is written blank
    EXPECT_TRUE(memory.has(4192));
}

TEST_F(SimTransferTest, PageBoxesAreClampedAndAnEndBeforeTheStartIsRefused) {
    db->execute("INSERT INTO info(keyboard) VALUES(1)"); // 160 pages
    PluForm f;
    f.show();
    auto* paged = f.pagedTransfer();
    EXPECT_EQ(paged->pageCount(link::Direction::Read), 160);
    setText(&f, "txtStartPage", "5");
    setText(&f, "txtEndPage", "3");
    paged->readPages();
    EXPECT_EQ(prompter.shown.last().text, "S111526");
    EXPECT_EQ(reg.requests(4196), 0);
    EXPECT_FALSE(panelUp(&f));
    // 0 and 999 become the kind's first and last page; No sends nothing.
    setText(&f, "txtStartPage", "0");
    setText(&f, "txtEndPage", "999");
    prompter.answers = {false};
    paged->readPages();
    EXPECT_EQ(text(&f, "txtStartPage"), "1");
    EXPECT_EQ(text(&f, "txtEndPage"), "160");
    EXPECT_EQ(prompter.shown.last().text, "S111201");
    QTest::qWait(20);
    EXPECT_EQ(reg.requests(4192), 0);
    EXPECT_FALSE(engine->portOpen());
    EXPECT_FALSE(panelUp(&f));
}

TEST_F(SimTransferTest, DepartmentsRoundTrip) {
    Bytes page(records::kPageSize, 0xFF);
    const records::DepartRecord sent[] = {{1, "Drinks", 0, 13, 1, 1, 0}, {2, "Bakery", 2.5, 9, 0, 2, 2},
                                          {100, "Hundred", 1, 0, 1, 100, 3}};
    for (const auto& d : sent)
        records::EncodeDepart(d, ByteSpan(page).subspan(d.id * records::kDepartRecordSize, records::kDepartRecordSize));
    memory.write(kind::Depart, page);
    db->execute("INSERT INTO depart(id, name) VALUES(50, 'Only here')");
    DepartForm f;
    f.show();
    click(&f, "cmdUpload");
    EXPECT_FALSE(enabled(&f, "cmdAdd"));
    EXPECT_FALSE(enabled(&f, "ListView1"));
    ASSERT_TRUE(runUntil([&] { return shown("S111235"); }));
    EXPECT_EQ(prompter.shown.size(), 1); // no question before a single page
    EXPECT_TRUE(enabled(&f, "cmdAdd"));
    EXPECT_TRUE(enabled(&f, "ListView1"));
    // The table is replaced by the page, and the list shows it.
    EXPECT_EQ(db->scalar("SELECT group_concat(id) FROM depart").toText(), "1,2,100");
    ASSERT_EQ(listOf(&f)->topLevelItemCount(), 3);
    EXPECT_EQ(rowTexts(listOf(&f)->topLevelItem(1)), QStringList({"2", "Bakery", "2.50", "", "9", "S111489"}));

    // Changed here, written back.
    db->execute("UPDATE depart SET name='糕点 Cakes', price=3.1 WHERE id=2");
    db->execute("DELETE FROM depart WHERE id=1");
    click(&f, "cmdDownload");
    ASSERT_TRUE(runUntil([&] { return shown("S111118"); }));
    const Bytes back = memory.read(kind::Depart);
    auto rec = [&](int id) {
        return records::DecodeDepart(ByteView(back).subspan(id * records::kDepartRecordSize, records::kDepartRecordSize), id);
    };
    EXPECT_FALSE(rec(1));
    ASSERT_TRUE(rec(2));
    EXPECT_EQ(rec(2)->name, "糕点 Cakes");
    EXPECT_DOUBLE_EQ(rec(2)->price, 3.1);
    EXPECT_EQ(rec(2)->kitchenEn, 2);
    EXPECT_EQ(rec(100), std::optional(sent[2]));
}

TEST_F(SimTransferTest, AnyFormRunsSingleAndPagedTransfersThroughTheHostInterface) {
    Bytes page(records::kPageSize, 0xFF);
    records::CashierRecord a{4, "Anna", "1111", {}};
    records::EncodeCashier(a, ByteSpan(page).subspan(4 * records::kCashierRecordSize, records::kCashierRecordSize));
    memory.write(kind::Cashier, page);

    PlainHost host;
    ui::SinglePageTransfer single(host, "cashiers");
    ASSERT_TRUE(single.start(link::Direction::Read));
    ASSERT_TRUE(runUntil([&] { return shown("S111235"); }));
    EXPECT_EQ(host.enabledCalls, (QList<bool>{false, true}));
    EXPECT_EQ(host.reloads, 1);
    EXPECT_EQ(db->scalar("SELECT name FROM cashier WHERE id = 4").toText(), "Anna");

    // Paged: the host's page boxes and panel, pages 2 to 3 of the members.
    host.enabledCalls.clear();
    auto* panel = new ui::ProgressPanel(&host.form);
    auto* start = new QLineEdit("2", &host.form);
    auto* end = new QLineEdit("3", &host.form);
    ui::PagedTransfer paged(host, "members", panel, start, end);
    paged.readPages();
    EXPECT_TRUE(prompter.shown.last().question); // 111201 answered Yes
    ASSERT_TRUE(runUntil([&] { return host.reloads == 2; }));
    EXPECT_EQ(reg.requests(kind::Member + 1), 1);
    EXPECT_EQ(reg.requests(kind::Member + 2), 1);
    EXPECT_EQ(reg.requests(kind::Member), 0);
    EXPECT_EQ(host.enabledCalls, (QList<bool>{false, true}));
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(prompter.shown.last().text, "S111235");
    EXPECT_EQ(start->text(), "3");
}

TEST_F(SimTransferTest, SinglePageTimeOutAndPortErrors) {
    db->execute("INSERT INTO depart(id, name) VALUES(3, 'Kept')");
    fault("silence@4116");
    DepartForm f;
    f.show();
    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return reg.requests(4116) == 1; }));
    EXPECT_TRUE(engine->portOpen());
    clock.advance(link::kReplyTimeoutMs);
    ASSERT_TRUE(runUntil([&] { return shown("S111120"); }));
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_EQ(reg.requests(4116), 1); // no retry for one page
    EXPECT_FALSE(engine->portOpen());
    EXPECT_TRUE(enabled(&f, "cmdUpload"));
    EXPECT_EQ(db->scalar("SELECT name FROM depart WHERE id=3").toText(), "Kept");

    // A register error reply: its text, as an error.
    reg.clearFaults();
    fault("result3@4116");
    qsizetype mark = prompter.shown.size();
    click(&f, "cmdDownload");
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
    EXPECT_EQ(prompter.shown.last().text, ui::Text(111213));
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);

    // A port that cannot be opened: its own text, titled "Error".
    port = dir.file("no-such-tty");
    mark = prompter.shown.size();
    click(&f, "cmdUpload");
    ASSERT_TRUE(runUntil([&] { return prompter.shown.size() > mark; }));
    EXPECT_EQ(prompter.shown.last().title, "Error");
    EXPECT_EQ(prompter.shown.last().icon, Icon::Critical);
    EXPECT_FALSE(prompter.shown.last().text.isEmpty());
    EXPECT_TRUE(enabled(&f, "cmdUpload"));
    EXPECT_FALSE(engine->portOpen());
}

// The main window's one engine on the stored port: cashiers read and written
// back unchanged, the last serial event shown.
TEST_F(SimTransferTest, TheMainWindowsEngineUsesTheStoredPortAndShowsSerialEvents) {
    Bytes page(records::kPageSize, 0xFF);
    records::CashierRecord a{1, "Manager", "9999", {}};
    a.rights.fill(1);
    records::CashierRecord b{7, "王芳", "0123", {}};
    b.rights[6] = 1; // a9 only
    for (const auto& c : {a, b})
        records::EncodeCashier(c, ByteSpan(page).subspan(c.id * records::kCashierRecordSize, records::kCashierRecordSize));
    memory.write(kind::Cashier, page);
    App().commPortName = port; // as --port or the settings form leave it
    gui::FormRegistry forms;
    {
        gui::MainWindow w(forms);
        link::TransferEngine* mine = ui::Engine();
        ASSERT_NE(mine, nullptr);
        EXPECT_NE(mine, engine.get());
        EXPECT_EQ(ui::Engine(), mine); // one engine for every form
        CashierForm f(&w);
        f.show();
        click(&f, "cmdUpload");
        ASSERT_TRUE(runUntil([&] { return shown("S111235"); }));
        ASSERT_EQ(listOf(&f)->topLevelItemCount(), 2);
        EXPECT_EQ(listOf(&f)->topLevelItem(1)->text(1), "王芳");
        EXPECT_EQ(db->query("SELECT passwd, a0, a9 FROM cashier WHERE id=7").rows.at(0),
                  (std::vector<db::Value>{"0123", 0, 1}));
        // The last serial event in words; the serial control's name for it on hover.
        EXPECT_EQ(w.findChild<QLabel*>("Panel5")->text(), "S120810");
        EXPECT_EQ(w.findChild<QLabel*>("Panel5")->toolTip(), "EvReceive");

        memory.write(kind::Cashier, Bytes(records::kPageSize, 0xFF));
        click(&f, "cmdDownload");
        ASSERT_TRUE(runUntil([&] { return shown("S111118"); }));
        EXPECT_EQ(memory.read(kind::Cashier), page);
    }
    EXPECT_EQ(ui::Engine(), nullptr);
}
