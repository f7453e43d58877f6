#include "GuiFixture.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "gui/LoginLogic.h"
#include "gui/Startup.h"
#include "ui/DatabaseSession.h"
#include "editors/Log.h"
#include "import/ImportLog.h"
#include "link/LinkLog.h"
#include "reports/ReportsLog.h"
#include "ui/Log.h"

#include <QImage>

#include <fstream>
#include <sstream>

using namespace ecr;
using namespace ecr::gui;
using namespace ecr::ui;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct StartupTest : GuiFixture {
    AppState state;
    FormRegistry forms;
    StartupTest() { RegisterStandardForms(forms); }
};

} // namespace

TEST_F(StartupTest, MissingDatabaseIsCreatedAndReadWithDefaults) {
    const std::string path = dir.file("sub/shop.db");
    DatabaseSession session(state);
    ASSERT_TRUE(OpenStartupDatabase(session, path, dir.file("fallback")));
    db::Database* opened = session.database();
    EXPECT_EQ(state.conn, opened);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(state.dbFileName, "shop.db");
    EXPECT_EQ(state.dbPath, path);
    EXPECT_EQ(state.modelName, "CEDAR"); // the defaults were read
    EXPECT_EQ(ErrorLogPath(), dir.file("sub/ecr.log"));
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_GT(opened->scalar("SELECT count(*) FROM msglist").toInt(), 0);
}

// A database that cannot be opened: the fixed text with the path and the
// reason, the same on standard error, and a log record beside the file or,
// where no log can be written there, in the fallback folder.
TEST_F(StartupTest, DatabasesThatCannotBeOpenedAreReportedWithPathAndReason) {
    std::ofstream(dir.file("broken.db")) << "this is not a database, just some text long enough to be read as a header.....\n";
    std::ofstream(dir.file("plain")) << "x";
    struct Case {
        std::string path;
        std::string reason; // part of SQLite's text
        std::string log;    // where the record goes
        long long code;
    };
    const Case cases[] = {
        {dir.file("broken.db"), "file is not a database", dir.file("ecr.log"), 26},
        {dir.file("plain/ecr.db"), "unable to open database file", dir.file("fallback/ecr.log"), 14},
        {"/proc/nope/x.db", "unable to open database file", dir.file("fallback/ecr.log"), 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::filesystem::remove(dir.file("ecr.log"));
        std::filesystem::remove_all(dir.file("fallback"));
        prompter.shown.clear();
        DatabaseSession session(state);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(OpenStartupDatabase(session, c.path, dir.file("fallback")));
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(session.database(), nullptr);
        EXPECT_EQ(err, "ecr-manager: cannot open the database " + c.path + ": " + c.reason + "\n");
        ASSERT_EQ(prompter.shown.size(), 1);
        EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Critical);
        EXPECT_EQ(prompter.shown[0].title, "Error Message");
        EXPECT_EQ(prompter.shown[0].text, QString::fromStdString("Data file path is failed, please check file install "
                                                                 "path!\n\n" + c.path + "\n" + c.reason));
        const std::string log = readFile(c.log);
        EXPECT_NE(log.find("Location:      Main\r\n"), std::string::npos) << log;
        EXPECT_NE(log.find("Error Code:    " + std::to_string(c.code) + "\r\n"), std::string::npos) << log;
        EXPECT_NE(log.find("Error Message: " + c.path + ": " + c.reason + "\r\n"), std::string::npos) << log;
    }
}

TEST_F(StartupTest, OemSkipsTheLoginAndStoresLanguage2AndCedar) {
    db->execute("INSERT INTO info(lang, oem, keyboard, ecrtype) VALUES(3, 1, 3, 'DAP')");
    LoadStartupState(*db, App());
    ASSERT_EQ(App().oemType, 2);
    bool loginShown = false;
    auto window = StartSession(App(), forms, [&] { return loginShown = true; });
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(loginShown);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 2);
    EXPECT_EQ(db->scalar("SELECT keyboard FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT ecrtype FROM info").toText(), "CED");
    EXPECT_EQ(App().modelName, "CEDAR");
    EXPECT_EQ(App().langCode, 3); // the stored language applies from the next start
    EXPECT_TRUE(window->entry("mnuAbout")->isEnabled());
}

TEST_F(StartupTest, LoginDecidesWhetherTheMainWindowComes) {
    db->execute("INSERT INTO info(lang, oem) VALUES(3, 0)");
    LoadStartupState(*db, App());
    int logins = 0;
    EXPECT_EQ(StartSession(App(), forms, [&] { return ++logins, false; }), nullptr);
    auto window = StartSession(App(), forms, [&] { return ++logins, true; });
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(logins, 2);
    EXPECT_FALSE(window->entry("mnuAbout")->isEnabled());
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 3);
}

TEST_F(StartupTest, RowWrittenByTheFirstLoginKeepsTheDefaultVersion) {
    StoreLogin(*db, App(), 3, 2);
    LoadStartupState(*db, App());
    EXPECT_EQ(App().dataVersion, 320);
    EXPECT_EQ(App().registerVersion, 100320);
}

TEST(StartOptions, CommandLine) {
    const struct {
        QStringList args;
        std::string db, port, icon;
        bool help, verbose;
    } taken[] = {
        {{}, "", "", "", false, false},
        {{"--db", "/tmp/a b.db"}, "/tmp/a b.db", "", "", false, false},
        {{"--port", "/dev/pts/4", "--db=y.db"}, "y.db", "/dev/pts/4", "", false, false},
        {{"--port=/dev/ttyUSB1", "--verbose"}, "", "/dev/ttyUSB1", "", false, true},
        {{"--write-icon", "i.png", "-h"}, "", "", "i.png", true, false},
    };
    for (const auto& c : taken) {
        const StartOptions o = ParseStartOptions(QStringList{"ecr-manager"} + c.args);
        const auto seen = std::tuple(o.error, o.dbPath, o.port, o.writeIcon, o.help, o.verbose);
        EXPECT_EQ(seen, std::tuple(QString(), c.db, c.port, c.icon, c.help, c.verbose)) << c.args.join(' ').toStdString();
    }
    // An empty value or a repeated option is a usage error, not the default.
    const std::pair<QStringList, QString> refused[] = {
        {{"--db"}, "--db needs a value"},
        {{"--port"}, "--port needs a value"},
        {{"--db="}, "--db needs a value"},
        {{"--db", ""}, "--db needs a value"},
        {{"--write-icon="}, "--write-icon needs a value"},
        {{"--db", "a.db", "--db=b.db"}, "--db is given twice"},
        {{"--port=/dev/pts/1", "--port", "/dev/pts/2"}, "--port is given twice"},
        {{"--demo"}, "unknown argument --demo"},
        {{"--dbx"}, "unknown argument --dbx"},
    };
    for (const auto& [args, error] : refused)
        EXPECT_EQ(ParseStartOptions(QStringList{"ecr-manager"} + args).error, error) << args.join(' ').toStdString();
}

// The install step draws the desktop's icon with the program itself.
TEST_F(StartupTest, WritesItsIconForTheDesktopAndEnds) {
    const std::string path = dir.file("ecr-manager.png");
    EXPECT_EQ(RunDesktop({"ecr-manager", "--write-icon", QString::fromStdString(path)}), 0);
    const QImage icon(QString::fromStdString(path));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(256, 256));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);       // a rounded corner
    EXPECT_EQ(qAlpha(icon.pixel(128, 20)), 255);  // the tile
    EXPECT_EQ(App().conn, db.get());              // no database was opened for it
    EXPECT_EQ(RunDesktop({"ecr-manager", "--write-icon", QString::fromStdString(dir.file("no/such/dir/i.png"))}), 1);
}

// --verbose turns on the debug output of every area; without it, none.
TEST(VerboseLogging, TurnsDebugOutputOfEveryAreaOnAndOff) {
    const QLoggingCategory* areas[] = {&lcGui(), &editors::lcEditors(), &sheets::lcImport(), &reports::lcReports(),
                                       &lcLink()};
    for (bool verbose : {true, false, true}) {
        SetVerboseLogging(verbose);
        for (const QLoggingCategory* c : areas) {
            EXPECT_EQ(c->isDebugEnabled(), verbose) << c->categoryName();
            EXPECT_TRUE(c->isWarningEnabled()) << c->categoryName();
        }
    }
    QLoggingCategory::setFilterRules(QString());
}
