// The keyboard model on every layout: level addressing and folding, the
// layout a keyboard type opens, PLU numbers in two words, the checks of the
// PLU fields, and storing, loading, showing and restoring assignments.
#include "KeyboardCases.h"
#include "TempDir.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "keyboard/KeyModel.h"
#include "records/Limits.h"

#include <gtest/gtest.h>

#include <set>

using namespace ecr;
using namespace ecr::keyboard;
using Kind = KeyAssignment::Kind;

namespace {

using keytest::kCases;
using keytest::LayoutCase;

std::vector<int> addressesOf(std::initializer_list<int> a) { return a; }

} // namespace

namespace ecr::keyboard {
void PrintTo(const KeyFace& f, std::ostream* os) {
    *os << "{\"" << f.caption << "\", \"" << f.tooltip << "\", " << f.unknownPlu << "}";
}
void PrintTo(const KeyAssignment& a, std::ostream* os) {
    *os << "{kind " << static_cast<int>(a.kind) << ", \"" << a.plu[0] << "\", \"" << a.plu[1] << "\", \"" << a.plu[2]
        << "\", function " << a.function << "}";
}
void PrintTo(const Refusal& r, std::ostream* os) { *os << "{level " << r.level << ", message " << r.messageId << "}"; }
} // namespace ecr::keyboard

TEST(KeyAddressing, LevelKeysSpreadOverNAndFoldBackOnEveryLayout) {
    for (const LayoutCase& c : kCases) {
        SCOPED_TRACE(c.keyType);
        const KeyLayout& l = LayoutAt(c.index);
        ASSERT_EQ(l.keyType, c.keyType);
        EXPECT_EQ(static_cast<int>(l.keys.size()), c.keys);
        const int n = c.n;
        // The highest level key keeps its levels at N, 2N (and 3N).
        EXPECT_EQ(KeyAddresses(l, n), c.levels == 3 ? addressesOf({n, 2 * n, 3 * n}) : addressesOf({n, 2 * n}));
        EXPECT_EQ(KeyAddresses(l, 1), c.levels == 3 ? addressesOf({1, n + 1, 2 * n + 1}) : addressesOf({1, n + 1}));
        EXPECT_EQ(KeyCodeOf(l, c.levels * n), n);
        EXPECT_EQ(LevelOf(l, c.levels * n), c.levels - 1);
        EXPECT_EQ(KeyCodeOf(l, n + 1), 1);
        EXPECT_EQ(KeyCodeOf(l, n), n);
        EXPECT_EQ(KeyCodeOf(l, c.levels * n + 1), c.levels * n + 1); // past the levels: itself

        // Every key of the picture: its addresses fold back onto it, level by
        // level; no two keys share an address; all fit the page's 385 records.
        std::set<int> taken;
        int levelKeys = 0;
        for (const KeyPos& k : l.keys) {
            const std::vector<int> a = KeyAddresses(l, k.code);
            EXPECT_EQ(static_cast<int>(a.size()), k.code <= n ? c.levels : 1) << k.code;
            levelKeys += k.code <= n;
            for (int j = 0; j < static_cast<int>(a.size()); ++j) {
                EXPECT_EQ(KeyCodeOf(l, a[j]), k.code) << a[j];
                EXPECT_EQ(LevelOf(l, a[j]), j) << a[j];
                EXPECT_TRUE(taken.insert(a[j]).second) << "address " << a[j] << " twice";
                EXPECT_LT(a[j], 385);
            }
        }
        EXPECT_EQ(levelKeys, n); // keys 1..N all on the picture
    }
    // Key 101 of the 93-key layout has one level, and address 101 stays 101.
    const KeyLayout& l93 = LayoutAt(kKey93);
    EXPECT_EQ(KeyAddresses(l93, 101), addressesOf({101}));
    EXPECT_EQ(KeyCodeOf(l93, 101), 101);
    EXPECT_NE(FindKey(l93, 101), nullptr);
}

TEST(KeyAddressing, KeyboardTypeOpensItsLayout) {
    const struct {
        int type, oem, layout;
    } cases[] = {{0, 0, kKey39}, {0, 1, kKey39_2}, {0, 2, kKey39}, {1, 0, kKey48}, {2, 0, kKey59}, {3, 0, kKey93},
                 {4, 0, kKey39_2}, {5, 0, kKey59}, {7, 0, kKey59}, {-1, 0, kKey59}, {3, 1, kKey93}};
    for (const auto& c : cases) EXPECT_EQ(LayoutForKeyboardType(c.type, c.oem), c.layout) << c.type << "/" << c.oem;
}

TEST(KeyAssignments, PluNumbersRoundTripThroughTheirTwoWords) {
    const struct {
        const char* number;
        long long first, second;
    } cases[] = {
        {"1001", 0, 0x2112},
        {"7", 0, 8},
        {"0001", 0, 0x1112},
        {"12345678", 0, 0x23456789},
        {"123456789", 0x2, 0x3456789A},
        // nibble A fills the high word: a negative 32-bit value
        {"9999999999999999", static_cast<std::int32_t>(0xAAAAAAAAu), static_cast<std::int32_t>(0xAAAAAAAAu)},
    };
    for (const auto& c : cases) {
        const auto words = PluWords(c.number);
        ASSERT_TRUE(words) << c.number;
        EXPECT_EQ(words->first, c.first) << c.number;
        EXPECT_EQ(words->second, c.second) << c.number;
        EXPECT_EQ(PluNumber(words->first, words->second), c.number);
    }
    EXPECT_FALSE(PluWords("12345678901234567"));
    EXPECT_EQ(PluNumber(0, 0), "");
}

TEST(KeyAssignments, PluFieldsAreCheckedOnTheKeysOwnLevels) {
    using F = std::array<std::string, 3>;
    const struct {
        int layout, code;
        F fields;
        std::optional<Refusal> refusal;
    } cases[] = {
        {kKey59, 5, {"1001", "", ""}, std::nullopt},
        {kKey59, 5, {"", "  ", ""}, Refusal{1, 111122, {}}},
        {kKey59, 32, {"1", "2", " 3 "}, std::nullopt},
        {kKey59, 5, {"12345678901234567", "", ""}, Refusal{0, records::limitmsg::BadCode, {}}},
        {kKey59, 5, {"1234567890123456", "12a", ""}, Refusal{1, records::limitmsg::BadCode, {}}},
        {kKey39, 12, {"1", "2", " "}, Refusal{2, 111122, {}}},
        {kKey48, 20, {"", "", "9"}, std::nullopt},
        // levels a key lacks are not looked at
        {kKey93, 50, {"1", "2", "   "}, std::nullopt},
        {kKey93, 101, {"", "x", " "}, std::nullopt},
        {kKey39_2, 151, {" ", "", ""}, Refusal{0, 111122, {}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckPluFields(LayoutAt(c.layout), c.code, c.fields), c.refusal)
            << LayoutAt(c.layout).keyType << " key " << c.code;
}

TEST(KeyAssignments, PluCaptionShortensFromEightDigits) {
    EXPECT_EQ(PluCaption("1234567", false), "<<  >>\n1234567");
    EXPECT_EQ(PluCaption("12345678", false), "<<  >>\n1234...");
    EXPECT_EQ(PluCaption("1234567890123456", true), "<< ! >>\n1234...");
    EXPECT_EQ(KeyCaptionText("Copy Receipt 2"), "Copy\nReceipt\n2");
}

namespace {

struct StoreTest : ::testing::Test {
    TempDir dir;
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dir.file("ecr.db"));

    using Row = keytest::Row;
    std::vector<Row> rows() { return keytest::HotkeyRows(*db); }
    static Row plu(long long address, const char* number) { return keytest::PluRow(address, number); }
    static KeyAssignment plus(std::string a, std::string b = {}, std::string c = {}) {
        return {Kind::Plu, {std::move(a), std::move(b), std::move(c)}, 0};
    }
    void addPlu(const char* id) { db->execute("INSERT INTO plu(id, name, sid) VALUES(?, 'x', 0)", {id}); }
};

} // namespace

TEST_F(StoreTest, SingleLevelKeysAndClearing) {
    KeyboardStore s93(*db, LayoutAt(kKey93), 3);
    s93.store(101, plus("55", "66", "77"));
    EXPECT_EQ(rows(), (std::vector<Row>{plu(101, "55")}));
    EXPECT_EQ(s93.faces().at(101).caption, "<< ! >>\n55");
    // A PLU assignment without numbers clears the key.
    s93.store(101, plus("", "", ""));
    EXPECT_TRUE(rows().empty());
    bool has = true;
    EXPECT_EQ(s93.load(101, &has), KeyAssignment{});
    EXPECT_FALSE(has);

    KeyboardStore s59(*db, LayoutAt(kKey59), 3);
    s59.store(151, plus("42"));
    s59.store(7, plus("", "", "8")); // level 3 alone
    EXPECT_EQ(rows(), (std::vector<Row>{plu(71, "8"), plu(151, "42")}));
    EXPECT_EQ(s59.assignedKeys(), 2);
    s59.restoreAll();
    EXPECT_TRUE(rows().empty());
}

TEST_F(StoreTest, AFailedStoreOrRestoreKeepsWhatTheKeyHad) {
    KeyboardStore s(*db, LayoutAt(kKey59), 3);
    s.store(32, plus("1", "2", "3"));
    s.store(151, {Kind::Function, {}, 150});
    const auto before = rows();
    // The last level's row cannot be written: the deletion and the levels
    // written before it are taken back.
    db->execute("CREATE TRIGGER refuse BEFORE INSERT ON hotkey WHEN NEW.keyaddress = 96 "
                "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_THROW(s.store(32, plus("7", "8", "9")), db::DbError);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(s.load(32), plus("1", "2", "3"));
    // Other addresses still take their rows.
    s.store(32, plus("7", "8"));
    EXPECT_EQ(rows(), (std::vector<Row>{plu(32, "7"), plu(64, "8"), {151, 150, 0, "F"}}));

    db->execute("DROP TRIGGER refuse");
    db->execute("CREATE TRIGGER keep BEFORE DELETE ON hotkey BEGIN SELECT RAISE(ABORT, 'locked'); END");
    const auto kept = rows();
    EXPECT_THROW(s.restore(32), db::DbError);
    EXPECT_THROW(s.restoreAll(), db::DbError);
    EXPECT_THROW(s.store(151, {Kind::Function, {}, 151}), db::DbError);
    EXPECT_EQ(rows(), kept);
}

TEST_F(StoreTest, FacesShowNumbersFunctionsAndUnknownPlus) {
    KeyboardStore s(*db, LayoutAt(kKey59), 3);
    addPlu("12345678");
    s.store(1, plus("12345678"));
    s.store(2, plus("1234567"));
    s.store(3, plus("99999999"));
    s.store(4, {Kind::Function, {}, 150});
    const auto f = s.faces();
    EXPECT_EQ(f.at(1), (KeyFace{"<<  >>\n1234...", "12345678", false}));
    EXPECT_EQ(f.at(2), (KeyFace{"<< ! >>\n1234567", "1234567\nPLU 1234567 is not in the PLU list: the register cannot "
                                                    "sell it from this key until the PLU is added.",
                                true}));
    EXPECT_TRUE(f.at(3).unknownPlu);
    EXPECT_EQ(f.at(3).caption, "<< ! >>\n9999...");
    EXPECT_EQ(f.at(4), (KeyFace{"<<  >>\nCopy\nReceipt", "Copy Receipt", false}));
    // Keys without rows keep their factory captions, blanks as line breaks.
    EXPECT_EQ(f.at(137), (KeyFace{"Void\nAll", "", false}));
    EXPECT_EQ(f.at(120), (KeyFace{"0", "", false}));
    EXPECT_EQ(f.size(), 59u);
}

TEST_F(StoreTest, BlankRecordsFromTheRegisterAssignNothing) {
    // An upload stores every record of the page; blank ones have no function.
    for (int a = 0; a < 385; ++a) db->execute("INSERT INTO hotkey VALUES(?, 0, 0, '')", {a});
    const auto w = PluWords("1234567890");
    db->execute("UPDATE hotkey SET content = ?, content2 = ?, function = 'P' WHERE keyaddress = 9",
                {w->first, w->second});
    db->execute("UPDATE hotkey SET content = 3, function = 'X' WHERE keyaddress = 10");
    KeyboardStore s(*db, LayoutAt(kKey59), 3);
    const auto f = s.faces();
    // Levels 2 and 3 of key 9 are blank: the number stays in the tooltip.
    EXPECT_EQ(f.at(9), (KeyFace{"<< ! >>\n1234...", f.at(9).tooltip, true}));
    EXPECT_EQ(f.at(9).tooltip.substr(0, 11), "1234567890\n");
    // A letter the editor does not know: the caption stays, the tooltip repeats it.
    EXPECT_EQ(f.at(10), (KeyFace{"Dept\n10", "Dept\n10", false}));
    bool has = true;
    EXPECT_EQ(s.load(5, &has), KeyAssignment{});
    EXPECT_FALSE(has);
    EXPECT_EQ(s.load(9).plu[0], "1234567890");
}

TEST_F(StoreTest, CaptionsFollowTheLanguageWithEnglishForTheRest) {
    const struct {
        int lang;
        const char* key1;
        const char* key137;
    } cases[] = {{1, "部类1", "整单取消"},  {2, "Dept\n1", "Void\nAll"},      {3, "Dept\n1", "Void\nAll"},
                 {4, "Nhóm\n1", "Hủy\nhết"}, {6, "Rayon\n1", "Annuler\nTout"}, {7, "แผนก\n1", "ยกเลิก\nทั้งหมด"},
                 {9, "Dept\n1", "Void\nAll"}};
    for (const auto& c : cases) {
        KeyboardStore s(*db, LayoutAt(kKey59), c.lang);
        const auto f = s.faces();
        EXPECT_EQ(f.at(1).caption, c.key1) << c.lang;
        EXPECT_EQ(f.at(137).caption, c.key137) << c.lang;
    }
    // A caption missing in the language's column falls back to English; a key
    // without a row is blank.
    db->execute("UPDATE buttontext SET French_content = NULL WHERE keytype = 'KEY59' AND keycode = 1");
    db->execute("DELETE FROM buttontext WHERE keytype = 'KEY59' AND keycode = 2");
    KeyboardStore fr(*db, LayoutAt(kKey59), 6);
    EXPECT_EQ(fr.faces().at(1).caption, "Dept\n1");
    EXPECT_EQ(fr.faces().at(2).caption, "");
    EXPECT_EQ(fr.buttonText(2), "");
}
