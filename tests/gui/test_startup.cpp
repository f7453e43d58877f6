#include "GuiFixture.h"
#include "app/Config.h"
#include "app/ErrorLog.h"
#include "gui/Session.h"
#include "gui/Startup.h"

#include <fstream>
#include <sstream>

using namespace ecr;
using namespace ecr::gui;

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
    auto opened = OpenStartupDatabase(path, state);
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(state.dbFileName, "shop.db");
    EXPECT_EQ(state.dbPath, path);
    EXPECT_EQ(state.langCode, 1);
    EXPECT_EQ(state.baudRate, 115200);
    EXPECT_EQ(state.modelName, "CEDAR");
    EXPECT_EQ(ErrorLogPath(), dir.file("sub/ecr.log"));
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_GT(opened->scalar("SELECT count(*) FROM msglist").toInt(), 0);
}

TEST_F(StartupTest, UnreadableDatabaseIsLoggedAndReported) {
    const std::string path = dir.file("broken.db");
    std::ofstream(path) << "this is not a database, just some text long enough to be read as a header.....\n";
    EXPECT_EQ(OpenStartupDatabase(path, state), nullptr);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.shown[0].title, "Error Message");
    EXPECT_EQ(prompter.shown[0].text, "Data file path is failed, please check file install path!");
    const std::string log = readFile(dir.file("ecr.log"));
    EXPECT_NE(log.find("Location:      Main\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Error Code:    26\r\n"), std::string::npos) << log;
}

TEST_F(StartupTest, DatabaseInAFolderThatCannotExistIsReported) {
    std::ofstream(dir.file("plain")) << "x";
    EXPECT_EQ(OpenStartupDatabase(dir.file("plain/ecr.db"), state), nullptr);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].title, "Error Message");
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
    db->execute("UPDATE info SET ver = 5");
    LoadStartupState(*db, App());
    EXPECT_EQ(App().registerVersion, 1005);
}

TEST_F(StartupTest, CommandLine) {
    StartOptions o = ParseStartOptions({"ecr-manager"});
    EXPECT_TRUE(o.dbPath.empty());
    EXPECT_TRUE(o.error.isEmpty());
    o = ParseStartOptions({"ecr-manager", "--db", "/tmp/a b.db"});
    EXPECT_EQ(o.dbPath, "/tmp/a b.db");
    o = ParseStartOptions({"ecr-manager", "--db=x.db"});
    EXPECT_EQ(o.dbPath, "x.db");
    EXPECT_TRUE(o.port.empty());
    o = ParseStartOptions({"ecr-manager", "--port", "/dev/pts/4", "--db", "y.db"});
    EXPECT_EQ(o.port, "/dev/pts/4");
    EXPECT_EQ(o.dbPath, "y.db");
    EXPECT_EQ(ParseStartOptions({"ecr-manager", "--port=/dev/ttyUSB1"}).port, "/dev/ttyUSB1");
    EXPECT_FALSE(ParseStartOptions({"ecr-manager", "--db"}).error.isEmpty());
    EXPECT_FALSE(ParseStartOptions({"ecr-manager", "--port"}).error.isEmpty());
    EXPECT_FALSE(ParseStartOptions({"ecr-manager", "--demo"}).error.isEmpty());
    EXPECT_FALSE(ParseStartOptions({"ecr-manager", "--dbx"}).error.isEmpty());
    EXPECT_TRUE(ParseStartOptions({"ecr-manager", "--help"}).help);
}
