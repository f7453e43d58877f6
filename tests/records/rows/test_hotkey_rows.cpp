#include "RowsFixture.h"
#include "records/Hotkey.h"

using namespace ecr;
using namespace ecr::records;

TEST_F(RowsFixture, BlankKeyboardPageGives385RowsAndGoesBackUnchanged) {
    db->execute("INSERT INTO hotkey(keyaddress,content,content2,function) VALUES(400,1,1,'X')");
    ASSERT_EQ(store(kind::Keyboard, blankPage(), 0), "");
    EXPECT_EQ(count("hotkey"), 385);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM hotkey WHERE content=0 AND content2=0 AND function=''").toInt(), 385);
    EXPECT_EQ(text("SELECT min(keyaddress) || '-' || max(keyaddress) FROM hotkey"), "0-384");
    EXPECT_EQ(build(kind::Keyboard, 0), blankPage());
}

TEST_F(RowsFixture, KeyAddress384IsTheLastRecordAndRoundTrips) {
    db->execute("INSERT INTO hotkey(keyaddress,content,content2,function) VALUES"
                "(0,10,0,'D'),(200,123456,7,'P'),(384,99,1,'F'),(385,1,1,'Q'),(-1,1,1,'Q'),(50,0,0,'')");
    const Bytes page = build(kind::Keyboard, 0);
    EXPECT_EQ(Bytes(page.begin() + 3840, page.begin() + 3850),
              (Bytes{99, 0, 0, 0, 1, 0, 0, 0, 'F', 0x00}));
    EXPECT_TRUE(std::all_of(page.begin() + 3850, page.end(), [](auto b) { return b == 0xFF; }));
    EXPECT_TRUE(IsBlankBytes(ByteView(page).subspan(500, 10))); // key 50 has no function
    ASSERT_EQ(store(kind::Keyboard, page, 0), "");
    EXPECT_EQ(count("hotkey"), 385);
    EXPECT_EQ(text("SELECT content || ',' || content2 || ',' || function FROM hotkey WHERE keyaddress=384"),
              "99,1,F");
    EXPECT_EQ(text("SELECT content || ',' || function FROM hotkey WHERE keyaddress=200"), "123456,P");
    EXPECT_EQ(build(kind::Keyboard, 0), page);
}

