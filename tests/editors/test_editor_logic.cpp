#include "TempDir.h"
#include "db/Schema.h"
#include "editors/EditorLogic.h"

#include <gtest/gtest.h>

using namespace ecr;
using namespace ecr::editors;

namespace {
struct EditorLogicTest : ::testing::Test {
    TempDir dir;
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dir.file("ecr.db"));
    PluFields plu(const std::string& id, const std::string& name = "Tea") {
        PluFields f;
        f.id = id;
        f.name = name;
        f.depart = "3";
        f.price = "12.5";
        f.safeStock = "0";
        f.stockValue = "10";
        return f;
    }
};
} // namespace

TEST_F(EditorLogicTest, ListPageFetchedFromTheCurrentPage) {
    db::Transaction tx(*db);
    for (int i = 0; i < 65; ++i) db->execute("INSERT INTO plu(id, sid) VALUES(?, ?)", {std::to_string(100 + i), i});
    tx.commit();
    const std::string sql = "SELECT id FROM plu WHERE sid >= ? ORDER BY id";
    db::Page p = FetchListPage(*db, sql, {0}, PageMove::Next, 1);
    EXPECT_EQ(p.page, 2);
    EXPECT_EQ(p.pageCount, 3);
    EXPECT_EQ(p.total, 65);
    ASSERT_EQ(p.rows.size(), 30u);
    EXPECT_EQ(p.rows.at(0, 0).toText(), "130");
    p = FetchListPage(*db, sql, {0}, PageMove::Last, 1);
    EXPECT_EQ(p.page, 3);
    ASSERT_EQ(p.rows.size(), 5u);
    EXPECT_EQ(p.rows.at(4, 0).toText(), "164");
    // A current page beyond the end (rows deleted meanwhile) comes back in range.
    p = FetchListPage(*db, sql, {40}, PageMove::Prev, 3);
    EXPECT_EQ(p.page, 1);
    EXPECT_EQ(p.rows.at(0, 0).toText(), "140");
    p = FetchListPage(*db, sql, {99}, PageMove::First, 2);
    EXPECT_EQ(p.page, 0);
    EXPECT_TRUE(p.rows.empty());
}

TEST_F(EditorLogicTest, AddRefusesDuplicateCodeAndUpdateKeepsSid) {
    long long sid = -1;
    EXPECT_EQ(AddPlu(*db, plu("12", "O'Neil's tea"), &sid), std::nullopt);
    EXPECT_EQ(sid, 0);
    EXPECT_EQ(AddPlu(*db, plu("12")), 111401);
    EXPECT_EQ(AddPlu(*db, plu("00012")), std::nullopt); // a different code
    auto f = plu("12", "Green tea");
    f.memberPrice = "abc";
    f.averagePrice = "4.25x";
    UpdatePlu(*db, f);
    auto r = db->query("SELECT name, memberprice, AveragePrice, sid FROM plu WHERE id='12'");
    EXPECT_EQ(r.at(0, 0).toText(), "Green tea");
    EXPECT_DOUBLE_EQ(r.at(0, 1).toDouble(), 0);
    EXPECT_DOUBLE_EQ(r.at(0, 2).toDouble(), 4.25);
    EXPECT_EQ(r.at(0, 3).toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT sid FROM plu WHERE id='00012'").toInt(), 1);
}

// Name search: contains, in any case (accented and Vietnamese letters too),
// with %, _ and \ matching themselves.
TEST_F(EditorLogicTest, ListQueriesMatchTypedTextLiterallyInAnyCase) {
    const std::pair<const char*, const char*> plus[] = {{"1", "ab'cd"},      {"2", "xABx"},      {"3", "100% juice"},
                                                        {"4", "a_b"},        {"5", "Phở BÒ"},    {"6", "ÉCLAIR"},
                                                        {"7", "back\\slash"}, {"8", "a%b"}};
    for (auto [id, name] : plus) AddPlu(*db, plu(id, name));
    db->execute("UPDATE plu SET depart = 7 WHERE id = '4'");
    db::Params p;
    auto ids = [&](const PluFilter& f) {
        std::string sql = PluListSql(f, p);
        std::string out;
        for (auto& r : db->query(sql, p).rows) out += r[0].toText();
        return out;
    };
    const std::pair<const char*, const char*> byName[] = {
        {"ab", "12"},   {"AB", "12"},      {"b'c", "1"}, {"%", "38"},         {"_", "4"},   {"a_", "4"},
        {"phở bò", "5"}, {"PHỞ", "5"},     {"éclair", "6"}, {"\\s", "7"},   {"k\\", "7"}, {"xyz", ""},
    };
    for (auto [text, expected] : byName) EXPECT_EQ(ids({PluFilter::Kind::Name, text}), expected) << text;
    EXPECT_EQ(ids({PluFilter::Kind::Code, "2"}), "2");
    EXPECT_EQ(ids({PluFilter::Kind::Depart, "7"}), "4");
    EXPECT_EQ(ids({PluFilter::Kind::All, ""}), "12345678");
}
