#include "TempDir.h"
#include "records/Logo.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ecr;
using namespace ecr::records;

namespace {

// A bitmap file as paint programs write it: 62-byte header with a two-colour
// palette, rows bottom-up, each padded to 4 bytes. rows[0] is the top row.
Bytes bitmap(int width, const std::vector<Bytes>& rows, int bpp = 1) {
    const int stride = 4 * ((width + 31) / 32);
    Bytes f(62, 0x00);
    f[0] = 'B';
    f[1] = 'M';
    auto put32 = [&](std::size_t off, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) f[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(2, static_cast<std::uint32_t>(62 + stride * static_cast<int>(rows.size())));
    put32(10, 62);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(rows.size()));
    f[26] = 1;
    f[28] = static_cast<std::uint8_t>(bpp);
    f[58] = f[59] = f[60] = 0xFF; // palette entry 1: white
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        Bytes row = *it;
        row.resize(static_cast<std::size_t>(stride), 0x00);
        f.insert(f.end(), row.begin(), row.end());
    }
    return f;
}

} // namespace

TEST(Logo, LeftBitsMask) {
    const std::uint8_t expected[] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0x00};
    for (int n = 0; n <= 8; ++n) EXPECT_EQ(LeftBitsMask(n), expected[n]) << n;
    EXPECT_EQ(LeftBitsMask(-1), 0);
}

TEST(Logo, Width8TwoRowsInvertedTopFirst) {
    Bytes out;
    const LogoError e = LogoToBytes(bitmap(8, {{0xFF}, {0x0F}}), out);
    ASSERT_TRUE(e.ok());
    EXPECT_EQ(out, (Bytes{0x00, 0xF0})); // white top row prints nothing
}

TEST(Logo, Width12KeepsOnlyTheBitsOfTheWidth) {
    Bytes out;
    ASSERT_TRUE(LogoToBytes(bitmap(12, {{0x00, 0x00}, {0x5A, 0x33}, {0xFF, 0xFF}}), out).ok());
    EXPECT_EQ(out, (Bytes{0xFF, 0xF0, 0xA5, 0xC0, 0x00, 0x00}));
}

TEST(Logo, WideRowsUseTheFourBytePadding) {
    // 33 pixels: 5 bytes a row, 8 bytes a row in the file.
    Bytes out;
    ASSERT_TRUE(LogoToBytes(bitmap(33, {{1, 2, 3, 4, 0x7F, 9, 9, 9}, {0, 0, 0, 0, 0, 0, 0, 0}}), out).ok());
    EXPECT_EQ(out, (Bytes{0xFE, 0xFD, 0xFC, 0xFB, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x80}));
}

TEST(Logo, RefusedFiles) {
    Bytes out{1, 2, 3};
    Bytes bmp = bitmap(8, {{0x00}});
    EXPECT_EQ(LogoToBytes(bitmap(8, {{0x00}}, 24), out).messageId, kLogoNotMonochromeId);
    EXPECT_TRUE(out.empty());
    Bytes notBmp = bmp;
    notBmp[0] = 'P';
    EXPECT_EQ(LogoToBytes(notBmp, out).messageId, kLogoNotBitmapId);
    EXPECT_EQ(LogoToBytes(Bytes{'B', 'M'}, out).messageId, kLogoNotBitmapId);
    EXPECT_EQ(LogoToBytes(Bytes{}, out).messageId, kLogoNotBitmapId);
    // Too large is checked before anything else.
    Bytes big(kLogoMaxFileSize + 1, 0x00);
    const LogoError e = LogoToBytes(big, out);
    EXPECT_EQ(e.messageId, 0);
    EXPECT_EQ(e.text, "图片太大! ");
    EXPECT_FALSE(e.ok());
}

TEST(Logo, SizesTheFileCannotHoldAreRefused) {
    Bytes out;
    auto withSize = [](Bytes f, std::int32_t w, std::int32_t h) {
        for (int i = 0; i < 4; ++i) {
            f[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(w) >> (8 * i));
            f[22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(h) >> (8 * i));
        }
        return f;
    };
    const Bytes bmp = bitmap(8, {{0x00}, {0x00}}); // 62 + 8 bytes
    EXPECT_TRUE(LogoToBytes(bmp, out).ok());
    EXPECT_EQ(LogoToBytes(withSize(bmp, 8, 100), out).messageId, kLogoNotBitmapId);
    EXPECT_EQ(LogoToBytes(withSize(bmp, 100000, 1), out).messageId, kLogoNotBitmapId);
    EXPECT_EQ(LogoToBytes(withSize(bmp, 0x7FFFFFFF, 0x7FFFFFFF), out).messageId, kLogoNotBitmapId);
    EXPECT_EQ(LogoToBytes(withSize(bmp, 8, 0), out).messageId, kLogoNotBitmapId);
    EXPECT_EQ(LogoToBytes(withSize(bmp, 0, 2), out).messageId, kLogoNotBitmapId);
    EXPECT_EQ(LogoToBytes(withSize(bmp, 8, -2), out).messageId, kLogoNotBitmapId); // top-down
    EXPECT_EQ(LogoToBytes(withSize(bmp, -8, 2), out).messageId, kLogoNotBitmapId);
    // Exactly what the file holds after its first 30 bytes is still read.
    EXPECT_TRUE(LogoToBytes(withSize(bmp, 32, 10), out).ok());
    EXPECT_EQ(out.size(), 40u);
    EXPECT_EQ(LogoToBytes(withSize(bmp, 32, 11), out).messageId, kLogoNotBitmapId);
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
    EXPECT_EQ(LogoFileToBytes(dir.file("big.bmp"), out).text, "图片太大! ");
}
