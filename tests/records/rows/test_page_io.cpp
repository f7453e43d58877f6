// The engine's two page I/Os: the database (uploads that meet rows already
// there) and the page-image file.
#include "RowsFixture.h"
#include "records/Fields.h"
#include "records/Plu.h"
#include "records/rows/DbPageIO.h"
#include "records/rows/ImagePageIO.h"

#include <sys/stat.h>

using namespace ecr;
using namespace ecr::records;

namespace {

PluRecord plu(const std::string& id, int sid) {
    PluRecord r;
    r.id = id;
    r.name = "PLU " + id;
    r.depart = 1;
    r.price = 1.5;
    r.sid = sid;
    return r;
}

Bytes pluPage(const std::vector<PluRecord>& records) {
    Bytes page(kPageSize, 0xFF);
    for (const auto& r : records) EncodePlu(r, RecordAt(ByteSpan(page), r.sid % 100, kPluRecordSize), 2);
    return page;
}

} // namespace

TEST_F(RowsFixture, UploadMovesARowOfAnotherCodeOutOfTheSlotItTakes) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('11','user''s',5),('12','other',6),('13','last',300)");
    // The register holds 21 at slot 5 and 12 at slot 7.
    ASSERT_EQ(store(kind::Plu, pluPage({plu("21", 5), plu("12", 7)}), 0), "");
    EXPECT_EQ(text("SELECT group_concat(id || '@' || sid, ' ') FROM (SELECT * FROM plu ORDER BY sid)"),
              "21@5 12@7 13@300 11@301");
    EXPECT_EQ(last.moved, std::vector<std::string>{"11"});
    EXPECT_EQ(db->scalar("SELECT count(*) FROM (SELECT sid FROM plu GROUP BY sid HAVING count(*) > 1)").toInt(), 0);
    // The same page again moves nothing.
    ASSERT_EQ(store(kind::Plu, pluPage({plu("21", 5), plu("12", 7)}), 0), "");
    EXPECT_TRUE(last.moved.empty());
}

TEST_F(RowsFixture, DisplacedRowAvoidsTheSlotsOfItsOwnPage) {
    db->execute("INSERT INTO plu(id,name,sid) VALUES('11','a',0),('12','b',1)");
    // Page 0 brings records at 0, 1 and 2: 11 and 12 go past them, to 3 and 4.
    ASSERT_EQ(store(kind::Plu, pluPage({plu("21", 0), plu("22", 1), plu("23", 2)}), 0), "");
    EXPECT_EQ(text("SELECT group_concat(id || '@' || sid, ' ') FROM (SELECT * FROM plu ORDER BY sid)"),
              "21@0 22@1 23@2 11@3 12@4");
    EXPECT_EQ(last.moved, (std::vector<std::string>{"11", "12"}));
}

TEST(ImagePageIO, PagesByAddressAndWhatIsKnownOfTheRegister) {
    TempDir dir;
    const std::string path = dir.file("register.ecrimg");
    const ::mode_t old = ::umask(022);
    {
        rows::ImagePageIO image(path);
        image.setMeta(rows::meta::Keyboard, "0");
        image.setMeta(rows::meta::RegisterVersion, "100330");
        Bytes plu1(kPageSize, 0x11), journal(kPageSize, 0xFF);
        EXPECT_EQ(image.storePage(kind::Plu, plu1, 1).error, "");
        // An erased journal page is kept and ends the run.
        const auto r = image.storePage(kind::Journal2, journal, 3);
        EXPECT_TRUE(r.endOfData);
        EXPECT_EQ(image.addresses(), (std::vector<int>{4193, 4259}));
    }
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    rows::ImagePageIO image(path); // reopened
    EXPECT_EQ(image.registerFacts().keyboardType, 0);
    EXPECT_EQ(image.registerFacts().registerVersion, 100330);
    EXPECT_EQ(image.meta(rows::meta::Model), std::nullopt);
    EXPECT_EQ(image.buildPage(kind::Plu, 1).page, Bytes(kPageSize, 0x11));
    EXPECT_EQ(image.buildPage(kind::Plu, 2).page, Bytes(kPageSize, 0xFF)); // never read: erased
    EXPECT_EQ(image.buildPage(kind::Logo, 0).page, Bytes(kPageSize, 0x00));

    // The read before a parameter write leaves the stored page; the write
    // sends the stored page, or the register's own when none is stored.
    Bytes reg(kPageSize, 0x22), kept(kPageSize, 0x33);
    image.setStoreParameters(false);
    EXPECT_EQ(image.storePage(kind::Params, reg, 0).error, "");
    EXPECT_EQ(image.page(kind::Params), std::nullopt);
    EXPECT_EQ(image.buildPage(kind::Params, 0).page, reg);
    image.setStoreParameters(true);
    EXPECT_EQ(image.storePage(kind::Params, kept, 0).error, "");
    image.setStoreParameters(false);
    EXPECT_EQ(image.storePage(kind::Params, reg, 0).error, "");
    EXPECT_EQ(image.buildPage(kind::Params, 0).page, kept);

    // The allocation pages decide which journal pages hold data.
    Bytes fat(kPageSize, 0xFF);
    NumberToBytes(2, ByteSpan(fat).subspan(8, 4), 0, false);
    image.storePage(kind::JournalFat, fat, 0);
    const JournalPageTable t = image.journalTable();
    EXPECT_EQ(t.entries[2], 2);
    EXPECT_EQ(t.entries[0], -1);
    EXPECT_EQ(t.entries[1024], -1);
}

TEST(ImagePageIO, AFileOfAnotherKindIsRefused) {
    TempDir dir;
    auto db = db::OpenOrCreate(dir.file("ecr.db"));
    db->execute("CREATE TABLE page(id INTEGER)");
    db.reset();
    EXPECT_THROW(rows::ImagePageIO(dir.file("ecr.db")), db::DbError);
}
