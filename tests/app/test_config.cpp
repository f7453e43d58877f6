#include "CoreFixture.h"
#include "app/Config.h"

using namespace ecr;

TEST_F(CoreFixture, EmptyInfoGivesStartupDefaults) {
    state.langCode = 5;
    state.baudRate = 9600;
    LoadStartupState(*db, state);
    EXPECT_EQ(state.langCode, 1);
    EXPECT_EQ(state.commPort, 1);
    EXPECT_EQ(state.baudRate, 115200);
    EXPECT_EQ(state.dataVersion, 320);
    EXPECT_EQ(state.registerVersion, 100320);
    EXPECT_EQ(state.modelName, "CEDAR");
    EXPECT_FALSE(state.oemMode);
    EXPECT_EQ(state.taxDefault, 0);
    EXPECT_EQ(GetKeyboardType(*db), 2);
    EXPECT_EQ(GetDecimalPlaces(*db), 2);
    EXPECT_EQ(CommSettingsText(state), "COM1:115200");
}

TEST_F(CoreFixture, StoredConfigurationIsRead) {
    db->execute("INSERT INTO info(lang, port, rate, oem, keyboard, ecrtype, ver) VALUES(3, 2, 19200, 1, 0, 'BIR', 5)");
    db->execute("INSERT INTO params(TaxDefaultValue, PointEn) VALUES(17.5, 3)");
    LoadStartupState(*db, state);
    EXPECT_EQ(state.langCode, 3);
    EXPECT_EQ(state.commPort, 2);
    EXPECT_EQ(state.baudRate, 19200);
    EXPECT_TRUE(state.oemMode);
    EXPECT_EQ(state.oemType, 2);
    EXPECT_EQ(state.modelName, "BIRCH");
    EXPECT_EQ(state.registerVersion, 1005); // digits joined, not added
    EXPECT_DOUBLE_EQ(state.taxDefault, 17.5);
    EXPECT_EQ(GetKeyboardType(*db), 0);
    EXPECT_EQ(GetDecimalPlaces(*db), 3);
}

TEST_F(CoreFixture, RegisterVersionRefreshFollowsKeyboardValue) {
    EXPECT_EQ(JoinRegisterVersion(320), 100320);
    EXPECT_EQ(JoinRegisterVersion(5), 1005);
    state.registerVersion = 42;
    EXPECT_TRUE(RefreshRegisterVersion(*db, state)); // no row: unchanged
    EXPECT_EQ(state.registerVersion, 42);
    db->execute("INSERT INTO info(keyboard, ver) VALUES(7, 330)");
    RefreshRegisterVersion(*db, state);
    EXPECT_EQ(state.registerVersion, 42); // keyboard outside 0..4: unchanged
    db->execute("UPDATE info SET keyboard = 4");
    RefreshRegisterVersion(*db, state);
    EXPECT_EQ(state.registerVersion, 100330);
}

TEST_F(CoreFixture, CommSettingsInsertThenUpdateByName) {
    SaveCommSettings(*db, state, "COM3", 57600);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT port FROM info").toInt(), 3);
    EXPECT_EQ(CommSettingsText(state), "COM3:57600");
    SaveCommSettings(*db, state, "/dev/pts/7", 115200);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT portname FROM info").toText(), "/dev/pts/7");
    EXPECT_EQ(db->scalar("SELECT port FROM info").toInt(), 3); // number kept for a named device
    EXPECT_EQ(CommSettingsText(state), "/dev/pts/7:115200");
    SaveCommSettings(*db, state, "/dev/ttyS1", 9600);
    EXPECT_EQ(state.commPort, 2);
    LoadStartupState(*db, state);
    EXPECT_EQ(state.commPortName, "/dev/ttyS1");
    EXPECT_EQ(state.baudRate, 9600);
}

TEST_F(CoreFixture, SaveLanguageInsertsOnlyWhenMissing) {
    SaveLanguage(*db, state, 7);
    SaveLanguage(*db, state, 4);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM info").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT lang FROM info").toInt(), 4);
    EXPECT_EQ(state.langCode, 4);
}

TEST_F(CoreFixture, NameLookupsUseBoundValues) {
    db->execute("INSERT INTO bundle(bundlenumber, bundlename) VALUES('12', 'Lunch O''Day')");
    db->execute("INSERT INTO depart(id, name) VALUES(3, '饮料')");
    db->execute("INSERT INTO cashier(id, name) VALUES(1, 'Ann')");
    EXPECT_EQ(GetBundleName(*db, "12"), "Lunch O'Day");
    EXPECT_EQ(GetBundleName(*db, "12' OR '1'='1"), "");
    EXPECT_EQ(GetDepartName(*db, 3), "饮料");
    EXPECT_EQ(GetDepartName(*db, 4), "");
    EXPECT_EQ(GetCashierName(*db, 1), "Ann");
}

TEST_F(CoreFixture, ToNativeCurrency) {
    EXPECT_EQ(ToNativeCurrency(*db, 10, 3), 0); // no params row
    db->execute("INSERT INTO params(PayWay3NativeCurrency, PayWay3ForeignCurrency, PayWay4NativeCurrency, "
                "PayWay4ForeignCurrency) VALUES(7, 1, 5, 0)");
    EXPECT_DOUBLE_EQ(ToNativeCurrency(*db, 10, 3), 70);
    EXPECT_EQ(ToNativeCurrency(*db, 10, 4), 0); // foreign value 0
    EXPECT_EQ(ToNativeCurrency(*db, 10, 2), 0);
    EXPECT_EQ(ToNativeCurrency(*db, 10, 7), 0);
}
