// The database session: another file put in place of the open one with the
// main window and the open forms following it, a consistent online backup
// while another connection writes, compaction.
#include "gui/GuiFixture.h"
#include "editors/DepartForm.h"
#include "gui/FormRegistry.h"
#include "gui/MainWindow.h"
#include "ui/DatabaseSession.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

using namespace ecr;
using namespace ecr::ui;
namespace fs = std::filesystem;

namespace {

struct SessionTest : GuiFixture {
    DatabaseSession session{App()};
    std::string a = dir.file("a.db");
    std::string b = dir.file("b.db");

    SessionTest() {
        SetSession(&session);
        session.open(a);
    }
    ~SessionTest() override { SetSession(nullptr); }

    static QString panel(gui::MainWindow& w, int n) {
        return w.findChild<QLabel*>(QStringLiteral("Panel%1").arg(n))->text();
    }
    static long long count(db::Database& d, const std::string& where = "1") {
        return d.scalar("SELECT count(*) FROM depart WHERE " + where).toInt();
    }
    static void depart(db::Database& d, int id, const std::string& name) {
        d.execute("INSERT INTO depart(id, name, price, discounten, tax, addr, KitchenEn) VALUES(?, ?, 0, 0, 0, ?, 1)",
                  {id, name, id});
    }
};

} // namespace

TEST_F(SessionTest, AReplacedDatabaseIsFollowedByTheStatusBarAndTheOpenForms) {
    depart(*session.database(), 1, "From A");
    {
        auto other = db::OpenOrCreate(b);
        other->execute("INSERT INTO info(lang, portname, rate) VALUES(3, '/dev/pts/9', 9600)");
        depart(*other, 5, "From B");
    }
    gui::FormRegistry forms;
    gui::MainWindow w(forms);
    editors::DepartForm departments(&w);
    EXPECT_EQ(panel(w, 3), "a.db");
    EXPECT_EQ(departments.list()->topLevelItem(0)->text(1), "From A");

    QSignalSpy replaced(&session, &DatabaseSession::replaced);
    QString why;
    ASSERT_TRUE(session.replace(b, &why)) << why.toStdString();
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(App().conn, session.database());
    EXPECT_EQ(App().dbPath, b);
    EXPECT_EQ(App().langCode, 3);
    EXPECT_EQ(panel(w, 3), "b.db");
    EXPECT_EQ(w.findChild<QLabel*>("Panel3")->toolTip(), QString::fromStdString(b));
    EXPECT_EQ(panel(w, 2), "/dev/pts/9:9600");
    EXPECT_TRUE(w.entry("mnuEnglish")->isChecked());
    ASSERT_EQ(departments.list()->topLevelItemCount(), 1);
    EXPECT_EQ(departments.list()->topLevelItem(0)->text(1), "From B");

    // A device given for the run stays whatever the next file stores.
    session.setPortOverride("/dev/pts/4");
    ASSERT_TRUE(session.replace(a));
    EXPECT_EQ(panel(w, 2), "/dev/pts/4:115200");
    EXPECT_EQ(panel(w, 3), "a.db");
    EXPECT_EQ(departments.list()->topLevelItem(0)->text(1), "From A");
}

TEST_F(SessionTest, AReplacementThatCannotBeOpenedOrWouldCutATransactionChangesNothing) {
    db::Database* before = session.database();
    QSignalSpy replaced(&session, &DatabaseSession::replaced);

    std::ofstream(dir.file("broken.db")) << "this is not a database, just some text long enough to be read as a header.....\n";
    EXPECT_THROW(session.replace(dir.file("broken.db")), db::DbError);
    EXPECT_EQ(session.database(), before);
    EXPECT_EQ(App().conn, before);
    EXPECT_EQ(App().dbPath, a);

    before->begin();
    QString why;
    EXPECT_FALSE(session.replace(b, &why));
    EXPECT_EQ(why, "a transaction is open");
    before->rollback();
    EXPECT_FALSE(fs::exists(b)); // not even created
    EXPECT_EQ(replaced.count(), 0);
}

// WAL mode keeps committed pages in the -wal file until a checkpoint: a copy
// of the main file misses them, the backup does not; and a transaction open
// on another connection neither blocks the backup nor leaks into it.
TEST_F(SessionTest, OnlineBackupWhileAnotherConnectionHoldsAWriteTransaction) {
    db::Database& mine = *session.database();
    mine.executeScript("PRAGMA wal_checkpoint(TRUNCATE);");
    for (int id = 1; id <= 50; ++id) depart(mine, id, "D" + std::to_string(id));

    auto other = db::Database::open(a, false);
    other->executeScript("BEGIN IMMEDIATE; INSERT INTO depart(id, name) VALUES(99, 'not committed');");

    fs::copy_file(a, dir.file("copy.db"));
    EXPECT_EQ(count(*db::Database::open(dir.file("copy.db"), false)), 0);

    session.backup(dir.file("backup.db"));
    EXPECT_FALSE(fs::exists(dir.file("backup.db.part")));
    {
        auto backup = db::Database::open(dir.file("backup.db"), false);
        EXPECT_EQ(count(*backup), 50);
        EXPECT_EQ(count(*backup, "id = 99"), 0);
        EXPECT_EQ(backup->scalar("PRAGMA integrity_check").toText(), "ok");
        EXPECT_GT(backup->scalar("SELECT count(*) FROM msglist").toInt(), 400);
    }

    // Once committed, the next backup (over the old file) has it.
    other->executeScript("COMMIT;");
    session.backup(dir.file("backup.db"));
    EXPECT_EQ(count(*db::Database::open(dir.file("backup.db"), false)), 51);

    // A backup into a folder that does not exist fails with the reason and
    // leaves nothing behind.
    EXPECT_THROW(session.backup(dir.file("nowhere/backup.db")), db::DbError);
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));
}

TEST_F(SessionTest, CompactionShrinksTheFileAndKeepsTheRows) {
    db::Database& mine = *session.database();
    depart(mine, 7, "Kept");
    mine.execute("CREATE TABLE scratch(t TEXT)");
    {
        db::Transaction t(mine);
        for (int i = 0; i < 2000; ++i) mine.execute("INSERT INTO scratch VALUES(?)", {std::string(1000, 'x')});
        t.commit();
    }
    mine.execute("DELETE FROM scratch");
    mine.executeScript("PRAGMA wal_checkpoint(TRUNCATE);");
    const auto before = fs::file_size(a);
    session.compact();
    const auto after = fs::file_size(a);
    EXPECT_LT(after, before / 2) << before << " -> " << after;
    EXPECT_EQ(fs::file_size(a + "-wal"), 0u);
    EXPECT_EQ(count(mine, "id = 7 AND name = 'Kept'"), 1);
}
