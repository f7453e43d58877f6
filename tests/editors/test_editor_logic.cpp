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

TEST_F(EditorLogicTest, NextIdUpTo99) {
    EXPECT_EQ(NextId(*db, "depart"), 1);
    db->execute("INSERT INTO depart(id, name) VALUES(10, 'x')");
    db->execute("INSERT INTO depart(id, name) VALUES(5, 'y')");
    EXPECT_EQ(NextId(*db, "depart"), 11);
    db->execute("INSERT INTO cashier(id, name) VALUES(98, 'x')");
    EXPECT_EQ(NextId(*db, "cashier"), 99);
    db->execute("INSERT INTO cashier(id, name) VALUES(99, 'y')");
    EXPECT_EQ(NextId(*db, "cashier"), std::nullopt);
}

TEST(ListPaging, MovesAndLabel) {
    EXPECT_EQ(ParsePageMove("FIRST"), PageMove::First);
    EXPECT_EQ(ParsePageMove("Prev"), PageMove::Prev);
    EXPECT_EQ(ParsePageMove("sideways"), std::nullopt);
    EXPECT_EQ(TargetPage(PageMove::Prev, 1, 5), 1);
    EXPECT_EQ(TargetPage(PageMove::Next, 5, 5), 5);
    EXPECT_EQ(TargetPage(PageMove::Next, 2, 5), 3);
    EXPECT_EQ(TargetPage(PageMove::Last, 2, 5), 5);
    EXPECT_EQ(TargetPage(PageMove::First, 4, 5), 1);
    EXPECT_EQ(PositionLabel(3, 12), "3(12)");
}

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

TEST_F(EditorLogicTest, PluChecksInOrder) {
    PluFields f;
    EXPECT_EQ(CheckPluFields(f)->messageId, 111172);
    f.id = "  12 ";
    EXPECT_EQ(CheckPluFields(f)->field, "txtName");
    f.name = "一二三四五六七八九十"; // 20 bytes in GBK
    EXPECT_EQ(CheckPluFields(f)->messageId, 111175);
    f.name = "一二三四五六七八九十一"; // 22 bytes
    EXPECT_EQ(CheckPluFields(f)->messageId, 111174);
    f.name = "Tea";
    f.depart = "1";
    EXPECT_EQ(CheckPluFields(f)->messageId, 111176);
    f.price = "2";
    EXPECT_EQ(CheckPluFields(f)->messageId, 111177);
    f.safeStock = "0";
    EXPECT_EQ(CheckPluFields(f)->field, "txtStockValue");
    f.stockValue = "0";
    EXPECT_FALSE(CheckPluFields(f));
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

TEST_F(EditorLogicTest, PluExportWrittenAndReadBack) {
    AddPlu(*db, plu("00012", "可乐"));
    auto f = plu("7", "Tea");
    f.a0 = 1;
    f.memberPrice = "11";
    AddPlu(*db, f);
    const std::vector<std::string> captions = {"Code", "Name", "Dept", "Price", "Member", "Cost", "Safe", "Stock", "Open"};
    for (int lang : {1, 3}) {
        const std::string path = dir.file("plu" + std::to_string(lang) + ".xlsx");
        sheets::WriteXlsx(path, PluExportSheet(*db, lang, captions));
        auto s = sheets::ReadFirstSheet(path);
        EXPECT_EQ(s.name, "PLU");
        ASSERT_EQ(s.rows.size(), 3u);
        for (int c = 0; c < 9; ++c) EXPECT_EQ(s.at(0, c).text, captions[static_cast<std::size_t>(c)]);
        EXPECT_EQ(s.at(1, 0).text, "00012");
        EXPECT_EQ(s.at(1, 1).text, "可乐");
        EXPECT_DOUBLE_EQ(s.at(1, 3).number, 12.5);
        EXPECT_EQ(s.at(1, 8).text, lang == 1 ? "否" : "NO");
        EXPECT_EQ(s.at(2, 8).text, lang == 1 ? "是" : "YES");
        EXPECT_DOUBLE_EQ(s.at(2, 4).number, 11);
    }
}
