// The catalogue and key captions that a new database is seeded with must cover
// every message id the program uses, in all seven languages.
#include "TempDir.h"
#include "db/Schema.h"
#include "keyboard/KeyLayouts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using namespace ecr;

namespace {

const char* kLanguages[] = {"Simplified", "Traditional", "English", "Vietnam", "Farsi", "French", "Thailand"};
const char* kCaptionColumns[] = {"Chn_Content",     "Eng_Content",   "French_content",
                                 "Vietnam_content", "farsi_content", "thailand_content"};

bool blank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

// Message ids written in the program's sources.
std::set<int> idsInSources() {
    std::set<int> ids;
    const std::regex re(R"(\b(99998|99999|10000[0-3]|11[01][0-9]{3}|120[0-9]{3})\b)");
    for (const auto& e : std::filesystem::recursive_directory_iterator(std::string(ECR_SOURCE_DIR) + "/src")) {
        const auto ext = e.path().extension();
        if (ext != ".cpp" && ext != ".h") continue;
        std::ifstream in(e.path());
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string text = ss.str();
        for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
            ids.insert(std::stoi((*it)[1].str()));
    }
    return ids;
}

struct CatalogueTest : ::testing::Test {
    TempDir dir;
    std::unique_ptr<db::Database> db = db::OpenOrCreate(dir.file("ecr.db"));
};

} // namespace

TEST_F(CatalogueTest, EveryIdInTheSourcesHasTextInAllLanguages) {
    const std::set<int> ids = idsInSources();
    ASSERT_GT(ids.size(), 20u); // the scan itself works
    for (int id : ids) {
        auto rows = db->query("SELECT Simplified, Traditional, English, Vietnam, Farsi, French, Thailand "
                              "FROM msglist WHERE msgid = ?",
                              {id});
        ASSERT_EQ(rows.size(), 1u) << "message " << id << " is missing";
        for (int c = 0; c < 7; ++c)
            EXPECT_FALSE(blank(rows.rows[0][static_cast<std::size_t>(c)].toText()))
                << "message " << id << " has no " << kLanguages[c] << " text";
    }
}

TEST_F(CatalogueTest, TranslationsKeepThePlaceholders) {
    auto rows = db->query("SELECT msgid, English, Simplified, Traditional, Vietnam, Farsi, French, Thailand FROM msglist");
    ASSERT_GT(rows.size(), 400u);
    int withPlaceholder = 0;
    for (const auto& r : rows.rows) {
        const std::string en = r[1].toText();
        for (const char* ph : {"(x)", "%1"}) {
            if (en.find(ph) == std::string::npos) continue;
            ++withPlaceholder;
            for (std::size_t c = 2; c < 8; ++c)
                EXPECT_NE(r[c].toText().find(ph), std::string::npos)
                    << "message " << r[0].toInt() << " lost " << ph << " in column " << rows.columns[c];
        }
        for (std::size_t c = 1; c < 8; ++c) {
            const std::string t = r[c].toText();
            EXPECT_EQ(t.find('\t'), std::string::npos) << r[0].toInt();
            EXPECT_FALSE(blank(t)) << "message " << r[0].toInt() << " empty in " << rows.columns[c];
        }
    }
    EXPECT_GE(withPlaceholder, 10); // the progress templates and the department report title
}

TEST_F(CatalogueTest, EveryKeyOfEachLayoutAndEveryFunctionHasCaptions) {
    for (const auto& layout : keyboard::kLayouts) {
        std::set<int> codes;
        for (const auto& k : layout.keys) codes.insert(k.code);
        EXPECT_EQ(codes.size(), layout.keys.size()) << layout.keyType << " has a duplicate key";
        for (const auto& f : keyboard::kKeyFunctions) codes.insert(f.code);
        for (int code : codes) {
            auto rows = db->query("SELECT Chn_Content, Eng_Content, French_content, Vietnam_content, farsi_content, "
                                  "thailand_content FROM buttontext WHERE keytype = ? AND keycode = ?",
                                  {std::string(layout.keyType), code});
            ASSERT_EQ(rows.size(), 1u) << layout.keyType << " key " << code << " has no caption";
            for (int c = 0; c < 6; ++c)
                EXPECT_FALSE(blank(rows.rows[0][static_cast<std::size_t>(c)].toText()))
                    << layout.keyType << " key " << code << " lacks " << kCaptionColumns[c];
        }
    }
}

TEST(KeyLayouts, KeyCountsAndLevelKeys) {
    const std::size_t expected[] = {39, 39, 48, 59, 93};
    for (std::size_t i = 0; i < 5; ++i) {
        const auto& l = keyboard::kLayouts[i];
        EXPECT_EQ(l.keys.size(), expected[i]) << l.keyType;
        // Every level key 1..N is on the layout.
        std::set<int> codes;
        for (const auto& k : l.keys) codes.insert(k.code);
        for (int c = 1; c <= l.levelKeys; ++c) EXPECT_TRUE(codes.count(c)) << l.keyType << " lacks " << c;
    }
    EXPECT_EQ(std::size(keyboard::kKeyFunctions), 35u);
}
