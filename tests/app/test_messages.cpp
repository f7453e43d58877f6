#include "CoreFixture.h"
#include "app/ErrorLog.h"
#include "app/Messages.h"

#include <fstream>
#include <sstream>

using namespace ecr;

namespace {
struct MessageTest : CoreFixture {
    void SetUp() override {
        db->execute("DELETE FROM msglist WHERE msgid IN (900001, 900002, 900003, 99998, 99999, 100001)");
        db->execute("INSERT INTO msglist(msgid, Simplified, English, Thailand, Traditional) "
                    "VALUES(900001, '简', 'Eng', '', NULL)");
        db->execute("INSERT INTO msglist(msgid, Simplified, English, Thailand) VALUES(900002, '只有中文', '   ', '   ')");
        db->execute("INSERT INTO msglist(msgid) VALUES(900003)");
        db->execute("INSERT INTO msglist(msgid, English) VALUES(100001, 'Ready')");
        db->execute("INSERT INTO msglist(msgid, English) VALUES(99998, 'OEM ready')");
    }
    std::string get(int lang, int id) { return GetMessage(*db, lang, id); }
};
} // namespace

TEST_F(MessageTest, FallsBackToEnglishThenSimplified) {
    EXPECT_EQ(get(1, 900001), "简");
    EXPECT_EQ(get(7, 900001), "Eng");   // empty Thai text
    EXPECT_EQ(get(2, 900001), "Eng");   // null Traditional text
    EXPECT_EQ(get(7, 900002), "只有中文"); // spaces only count as missing
    EXPECT_EQ(get(9, 900001), "Eng");   // no column for the code
    EXPECT_EQ(get(3, 900003), " ");     // all null: a single space
    EXPECT_EQ(get(3, 123), "");         // no row
}

TEST_F(MessageTest, OemSubstitutionWritesTheIdBack) {
    int id = 100001;
    EXPECT_EQ(GetMessage(*db, 3, id), "Ready");
    EXPECT_EQ(id, 100001);
    db->execute("INSERT INTO info(oem) VALUES(1)");
    EXPECT_EQ(GetMessage(*db, 3, id), "OEM ready");
    EXPECT_EQ(id, 99998);
    int other = 110000;
    GetMessage(*db, 3, other);
    EXPECT_EQ(other, 99998);
    int title = 100000;
    GetMessage(*db, 3, title);
    EXPECT_EQ(title, 99999);
    int plain = 900001;
    EXPECT_EQ(GetMessage(*db, 3, plain), "Eng");
    EXPECT_EQ(plain, 900001);
}

TEST_F(MessageTest, DatabaseErrorIsLoggedAndGivesEmptyText) {
    SetErrorLogFolder(dir.path.string());
    db->executeScript("DROP TABLE msglist");
    int id = 900001;
    EXPECT_EQ(GetMessage(*db, 3, id), "");
    std::ifstream in(ErrorLogPath());
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_NE(s.str().find("Location:      GlobalFunc_GetMessage\r\n"), std::string::npos);
    EXPECT_NE(s.str().find("no such table: msglist"), std::string::npos);
    SetErrorLogFolder("");
}

TEST(Languages, OfTheLocale) {
    const struct {
        const char* locale;
        int lang;
    } cases[] = {
        {"zh_CN.UTF-8", 1}, {"zh_SG", 1},        {"zh_TW.UTF-8", 2}, {"zh_HK", 2},    {"zh_Hant", 2},
        {"en_US.UTF-8", 3}, {"C", 3},            {"POSIX", 3},       {"", 3},         {"de_DE.UTF-8", 3},
        {"vi_VN", 4},       {"fa_IR.UTF-8", 5},  {"fr_FR.UTF-8", 6}, {"fr_CA", 6},    {"th_TH.TIS-620", 7},
    };
    for (const auto& c : cases) EXPECT_EQ(LanguageOfLocale(c.locale), c.lang) << c.locale;
}
