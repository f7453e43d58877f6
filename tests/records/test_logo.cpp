#include "TempDir.h"
#include "records/Logo.h"
#include "records/LogoDither.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace ecr;
using namespace ecr::records;

namespace {

// How a crafted bitmap differs from what paint programs write.
struct Layout {
    bool topDown = false;    // negative height, top row first
    std::size_t gap = 0;     // bytes between the palette and the rows
    std::size_t trailing = 0; // bytes after the rows
    bool whiteFirst = false; // palette: white, then black
};

void put32(Bytes& f, std::size_t off, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f.at(off + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(v >> (8 * i));
}

// A bitmap file as paint programs write it: 62-byte header with a two-colour
// palette, rows bottom-up, each padded to 4 bytes. rows[0] is the top row.
Bytes bitmap(int width, const std::vector<Bytes>& rows, int bpp = 1, Layout layout = {}) {
    const int stride = 4 * ((width + 31) / 32);
    Bytes f(62 + layout.gap, 0x00);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, static_cast<std::uint32_t>(62 + stride * static_cast<int>(rows.size())));
    put32(f, 10, static_cast<std::uint32_t>(62 + layout.gap));
    put32(f, 14, 40);
    put32(f, 18, static_cast<std::uint32_t>(width));
    const auto height = static_cast<std::int32_t>(rows.size());
    put32(f, 22, static_cast<std::uint32_t>(layout.topDown ? -height : height));
    f[26] = 1;
    f[28] = static_cast<std::uint8_t>(bpp);
    const std::size_t white = layout.whiteFirst ? 54 : 58;
    f[white] = f[white + 1] = f[white + 2] = 0xFF;
    std::vector<Bytes> stored = rows;
    if (!layout.topDown) std::reverse(stored.begin(), stored.end());
    for (Bytes row : stored) {
        row.resize(static_cast<std::size_t>(stride), 0x00);
        if (layout.whiteFirst)
            for (auto& b : row) b = static_cast<std::uint8_t>(~b);
        f.insert(f.end(), row.begin(), row.end());
    }
    f.insert(f.end(), layout.trailing, 0x5A);
    return f;
}

} // namespace

TEST(Logo, RowsInvertedTopFirstAndCutToTheWidth) {
    const struct {
        const char* name;
        Bytes file;
        Bytes expected;
    } cases[] = {
        {"8 wide: white top row prints nothing", bitmap(8, {{0xFF}, {0x0F}}), {0x00, 0xF0}},
        {"12 wide: only the bits of the width", bitmap(12, {{0x00, 0x00}, {0x5A, 0x33}, {0xFF, 0xFF}}),
         {0xFF, 0xF0, 0xA5, 0xC0, 0x00, 0x00}},
        // 33 pixels: 5 bytes a row, 8 bytes a row in the file.
        {"33 wide: four-byte padding", bitmap(33, {{1, 2, 3, 4, 0x7F, 9, 9, 9}, {0, 0, 0, 0, 0, 0, 0, 0}}),
         {0xFE, 0xFD, 0xFC, 0xFB, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x80}},
    };
    for (const auto& c : cases) {
        Bytes out;
        ASSERT_TRUE(LogoToBytes(c.file, out).ok()) << c.name;
        EXPECT_EQ(out, c.expected) << c.name;
    }
}

// The rows are where the header puts them, in the order its height gives,
// whatever follows them; the palette says which bit is ink. Each layout
// holds the same picture (top row 0x5A 0x33 as ink, bottom row blank).
TEST(Logo, RowsAreReadWhereAndHowTheHeaderSays) {
    const std::vector<Bytes> rows = {{0xA5, 0xCC}, {0xFF, 0xFF}}; // in file terms: 0 bits are ink
    const Bytes expected = {0x5A, 0x30, 0x00, 0x00};              // 12 pixels wide
    const struct {
        const char* name;
        Layout layout;
    } cases[] = {
        {"bottom-up", {}},
        {"top-down", {.topDown = true}},
        {"trailing bytes", {.trailing = 6}},
        {"gap before the rows", {.gap = 10}},
        {"top-down with trailing bytes", {.topDown = true, .trailing = 3}},
        {"white first in the palette", {.whiteFirst = true}},
    };
    for (const auto& c : cases) {
        LogoImage image;
        ASSERT_TRUE(DecodeLogo(bitmap(12, rows, 1, c.layout), image).ok()) << c.name;
        EXPECT_EQ(image.width, 12) << c.name;
        EXPECT_EQ(image.height, 2) << c.name;
        EXPECT_EQ(image.bytes, expected) << c.name;
    }
}

TEST(Logo, FilesThatAreNoMonochromeBitmapOrDoNotFitTheirHeaderAreRefused) {
    const Bytes good = bitmap(8, {{0x00}, {0x00}}); // 62 + 8 bytes
    auto with = [&good](std::size_t off, std::uint32_t v) {
        Bytes f = good;
        put32(f, off, v);
        return f;
    };
    const struct {
        const char* name;
        Bytes file;
        int messageId = kLogoNotBitmapId;
    } cases[] = {
        {"24 bits a pixel", bitmap(8, {{0x00}}, 24), kLogoNotMonochromeId},
        {"not BM", [&good] {
             Bytes f = good;
             f[0] = 'P';
             return f;
         }()},
        {"only BM", Bytes{'B', 'M'}},
        {"empty", Bytes{}},
        {"too large, checked before anything else", Bytes(kLogoMaxFileSize + 1, 0x00), kLogoTooLargeId},
        {"taller than the file", with(22, 3)},
        {"wider than the file", with(18, 100000)},
        {"both huge", with(18, 0x7FFFFFFF)},
        {"no rows", with(22, 0)},
        {"no columns", with(18, 0)},
        {"negative width", with(18, static_cast<std::uint32_t>(-8))},
        {"rows past the end", with(10, 63)},
        {"rows inside the header", with(10, 40)},
        {"rows beyond the file", with(10, 0xFFFFFFF0u)},
        {"core header", with(14, 12)},
        {"header past the end", with(14, 0x10000)},
        {"compressed", with(30, 1)},
    };
    for (const auto& c : cases) {
        LogoImage image;
        EXPECT_EQ(DecodeLogo(c.file, image).messageId, c.messageId) << c.name;
        EXPECT_TRUE(image.bytes.empty()) << c.name;
        Bytes out{1, 2, 3};
        EXPECT_EQ(LogoToBytes(c.file, out).messageId, c.messageId) << c.name;
        EXPECT_TRUE(out.empty()) << c.name;
    }
    LogoImage image;
    EXPECT_TRUE(DecodeLogo(good, image).ok());
    EXPECT_TRUE(DecodeLogo(with(22, static_cast<std::uint32_t>(-2)), image).ok()); // the same rows top-down
}

TEST(Logo, MonochromeBitmapReadsBackToTheSameLogo) {
    LogoImage logo{13, 3, {0xFF, 0xF8, 0x81, 0x08, 0x5A, 0xA0}};
    const Bytes file = MonochromeBitmap(logo);
    EXPECT_EQ(file.size(), MonochromeBitmapSize(13, 3));
    EXPECT_EQ(file.size(), 62u + 3 * 4);
    EXPECT_EQ(file[28], 1);
    EXPECT_EQ(file[62], static_cast<std::uint8_t>(~0x5A)); // bottom row first
    LogoImage back;
    ASSERT_TRUE(DecodeLogo(file, back).ok());
    EXPECT_EQ(back, logo);
    EXPECT_TRUE(back.ink(0, 0));
    EXPECT_TRUE(back.ink(12, 0));
    EXPECT_FALSE(back.ink(1, 1));
    EXPECT_TRUE(back.ink(12, 1));
    EXPECT_FALSE(back.ink(0, 2));
}

TEST(LogoDither, GreyLevelsBecomeDotPatterns) {
    const struct {
        const char* name;
        GreyPicture picture;
        Bytes expected;
    } cases[] = {
        {"white", {4, 1, {255, 255, 255, 255}}, {0x00}},
        {"black", {4, 1, {0, 0, 0, 0}}, {0xF0}},
        {"threshold", {2, 1, {127, 128}}, {0x80}},
        // 100 is ink and leaves 100 to its right neighbour (43), which is
        // then paper and passes -112 on: ink, paper, ink, ink.
        {"one row of dark grey", {4, 1, {100, 100, 100, 100}}, {0xB0}},
        // Below: 100 + 5/16 of 100 = 131 is paper.
        {"error carried down", {1, 2, {100, 100}}, {0x80, 0x00}},
        {"nine wide", {9, 1, {0, 255, 0, 255, 0, 255, 0, 255, 0}}, {0xAA, 0x80}},
    };
    for (const auto& c : cases) {
        const LogoImage logo = DitherPicture(c.picture);
        EXPECT_EQ(logo.width, c.picture.width) << c.name;
        EXPECT_EQ(logo.height, c.picture.height) << c.name;
        EXPECT_EQ(logo.bytes, c.expected) << c.name;
    }
    // A half grey field is about half ink.
    GreyPicture grey{64, 64, std::vector<std::uint8_t>(64 * 64, 128)};
    const LogoImage half = DitherPicture(grey);
    int ink = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ink += half.ink(x, y);
    EXPECT_NEAR(ink, 64 * 64 / 2, 64);
}

TEST(LogoDither, PicturesAreFittedIntoTheLogoFileLimit) {
    const struct {
        int w, h, fitW, fitH;
    } cases[] = {
        {384, 200, 384, 200},  // 62 + 48 * 200 = 9662 bytes
        {384, 254, 384, 254},  // 12254: the largest at this width
        {384, 255, 383, 254},  // 12302 does not fit
        {1000, 1000, 305, 305},
        {1, 10000, 1, 3056},
        {10000, 1, 10000, 1},
        {100000, 1, 97792, 1},
    };
    for (const auto& c : cases) {
        const auto [w, h] = FitLogoSize(c.w, c.h);
        EXPECT_EQ(w, c.fitW) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.fitH) << c.w << "x" << c.h;
        EXPECT_LE(MonochromeBitmapSize(w, h), kLogoMaxFileSize);
    }
}

TEST(Logo, LargestFileIsAccepted) {
    // 12288 bytes: 62 of header, 12226 of rows 2 bytes wide (4 in the file).
    std::vector<Bytes> rows(3056, Bytes{0x00, 0x00});
    Bytes f = bitmap(16, rows);
    f.resize(kLogoMaxFileSize, 0x00);
    Bytes out;
    ASSERT_TRUE(LogoToBytes(f, out).ok());
    EXPECT_EQ(out.size(), 3056u * 2);
}

TEST(Logo, PagesOfTheLogo) {
    Bytes logo(4096);
    for (std::size_t i = 0; i < logo.size(); ++i) logo[i] = static_cast<std::uint8_t>(i % 251 + 1);
    auto pages = LogoPages(logo);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], logo);
    logo.push_back(0xAB);
    pages = LogoPages(logo);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1][0], 0xAB);
    EXPECT_EQ(std::count(pages[1].begin(), pages[1].end(), 0x00), 4095);
    EXPECT_TRUE(LogoPages(Bytes{}).empty());
    pages = LogoPages(Bytes{0x12, 0x34});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].size(), 4096u);
    EXPECT_EQ(pages[0][1], 0x34);
    EXPECT_EQ(pages[0][2], 0x00);
}

TEST(Logo, FromAFile) {
    TempDir dir;
    const Bytes bmp = bitmap(8, {{0xFF}, {0x0F}});
    {
        std::ofstream f(dir.file("logo.bmp"), std::ios::binary);
        f.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    }
    Bytes out;
    ASSERT_TRUE(LogoFileToBytes(dir.file("logo.bmp"), out).ok());
    EXPECT_EQ(out, (Bytes{0x00, 0xF0}));
    // Files that cannot be read are told apart from files that are not bitmaps.
    const LogoError missing = LogoFileToBytes(dir.file("missing.bmp"), out);
    EXPECT_EQ(missing.messageId, kLogoUnreadableId);
    EXPECT_EQ(missing.text, "No such file or directory");
    const LogoError under = LogoFileToBytes(dir.file("logo.bmp") + "/x.bmp", out);
    EXPECT_EQ(under.messageId, kLogoUnreadableId);
    EXPECT_EQ(under.text, "Not a directory");
    EXPECT_EQ(LogoFileToBytes(dir.path.string(), out).messageId, kLogoFolderId);
    EXPECT_TRUE(out.empty());
    {
        std::ofstream f(dir.file("big.bmp"), std::ios::binary);
        const Bytes big(20000, 'B');
        f.write(reinterpret_cast<const char*>(big.data()), static_cast<std::streamsize>(big.size()));
    }
    EXPECT_EQ(LogoFileToBytes(dir.file("big.bmp"), out).messageId, kLogoTooLargeId);
}
