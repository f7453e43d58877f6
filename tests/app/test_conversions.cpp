#include "app/CodePage.h"
#include "app/GlobalFunc.h"

#include <gtest/gtest.h>

using namespace ecr;

namespace {
Bytes B(std::initializer_list<int> v) {
    Bytes out;
    for (int x : v) out.push_back(static_cast<std::uint8_t>(x));
    return out;
}
} // namespace

TEST(BytesToNumber, WorkedExamplesAndBoundaries) {
    const struct {
        Bytes bytes;
        int decimals;
        bool onesComplement;
        double substitute, expected;
    } cases[] = {
        {B({0x39, 0x30}), 2, false, 0, 123.45},
        {B({0xFF, 0xFF}), 2, false, 0, 0},
        {B({0xFF, 0xFF}), 2, false, 7.5, 7.5}, // blank: the substitute, unscaled
        {B({0xFE, 0xFF}), 0, false, 99, -2},
        {B({0xFE, 0xFF}), 0, true, 99, 99}, // one's complement -1: the substitute
        {B({0x9C, 0xFF, 0xFF, 0xFF}), 2, false, 0, -1.0},
        {B({0x9C, 0xFF, 0xFF, 0xFF}), 3, true, 0, -0.099},
        {B({0xFF, 0xFF, 0xFF, 0xFF}), 3, true, 5, 0}, // -0 is a plain 0
        {B({0xFF, 0xFF, 0xFF, 0x7F}), 0, false, 0, 2147483647.0},
        {B({0x00, 0x00, 0x00, 0x80}), 0, false, 0, -2147483648.0},
        {B({0x7F}), 0, false, 0, 127},
        {B({0x80}), 0, false, 0, -128},
        {B({}), 2, false, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(BytesToNumber(c.bytes, c.decimals, c.onesComplement, c.substitute), c.expected)
            << ::testing::PrintToString(c.bytes) << " " << c.decimals << " " << c.onesComplement;
}

TEST(NumberToBytes, WorkedExamplesRoundingAndCuts) {
    const struct {
        double value;
        int width, decimals;
        bool onesComplement;
        Bytes expected;
    } cases[] = {
        {-1.5, 2, 1, false, B({0xF1, 0xFF})},
        {-1.5, 2, 1, true, B({0xF0, 0xFF})},
        {7, 4, 0, false, B({0x07, 0x00, 0x00, 0x00})},
        {7, 4, 2, false, B({0xBC, 0x02, 0x00, 0x00})}, // 700
        {123.45, 2, 2, false, B({0x39, 0x30})},
        {1.005, 4, 2, false, B({101, 0, 0, 0})}, // half away from zero
        {-1.005, 4, 2, false, B({0x9B, 0xFF, 0xFF, 0xFF})},
        {0.125, 4, 2, false, B({13, 0, 0, 0})},
        {65537, 2, 0, false, B({0x01, 0x00})}, // high digits dropped
        {-0.001, 4, 2, false, B({0, 0, 0, 0})}, // rounds to zero, not negative
        {-0.001, 4, 2, true, B({0, 0, 0, 0})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberToBytes(c.value, c.width, c.decimals, c.onesComplement), c.expected)
            << c.value << " " << c.decimals << " " << c.onesComplement;
}

TEST(NumberToBytes, RoundTripsThroughBytesToNumber) {
    for (double v : {0.0, 1.0, -1.0, 12.34, -12.34, 99999.99, -99999.99, 21474836.47})
        EXPECT_DOUBLE_EQ(BytesToNumber(NumberToBytes(v, 4, 2, false), 2, false, 0), v) << v;
    for (double v : {0.0, 1.5, -1.5, -0.002, 5.0, -250.125})
        EXPECT_DOUBLE_EQ(BytesToNumber(NumberToBytes(v, 4, 3, true), 3, true, 0), v) << v;
}

TEST(Digits, SixteenDigitsRoundTrip) {
    const std::string code = "1234567890123456";
    std::int32_t a = 0, b = 0;
    ASSERT_TRUE(DigitsToLongs(code, a, b));
    EXPECT_EQ(static_cast<std::uint32_t>(a), 0x23456789u);
    EXPECT_EQ(static_cast<std::uint32_t>(b), 0xA1234567u);
    auto wa = NumberToBytes(a, 4, 0, false), wb = NumberToBytes(b, 4, 0, false);
    EXPECT_EQ(BytesToDigits(wa, wb), code);
}

TEST(Digits, InnerBlanksKeptOuterTrimmedAndTooLongRefused) {
    std::int32_t a = 0, b = 0;
    ASSERT_TRUE(DigitsToLongs("12 34", a, b));
    EXPECT_EQ(BytesToDigits(NumberToBytes(a, 4, 0, false), NumberToBytes(b, 4, 0, false)), "12 34");
    a = 11;
    b = 22;
    EXPECT_FALSE(DigitsToLongs("12345678901234567", a, b));
    EXPECT_EQ(a, 11);
    EXPECT_EQ(b, 22);
    // Leading zeros are digits, not blanks.
    ASSERT_TRUE(DigitsToLongs("00012", a, b));
    EXPECT_EQ(BytesToDigits(NumberToBytes(a, 4, 0, false), NumberToBytes(b, 4, 0, false)), "00012");
    // A filler nibble (F) stands for nothing.
    EXPECT_EQ(BytesToDigits(B({0xFF, 0xFF, 0xFF, 0xFF}), B({0xF2, 0xFF, 0xFF, 0xFF})), "1");
}

TEST(Text, BlankFieldAndPadding) {
    EXPECT_EQ(BytesToText(B({0xFF, 0xFF, 0xFF})), "");
    Bytes f(4);
    TextToBytes("AB", f);
    EXPECT_EQ(f, B({0x41, 0x42, 0x20, 0x20}));
    Bytes abc(20, 0x20);
    abc[0] = 'A';
    abc[1] = 'B';
    abc[2] = 'C';
    EXPECT_EQ(BytesToText(abc), "ABC");
    EXPECT_EQ(CleanText(BytesToText(B({'A', 0x00, 'B'}))), "AB");
    // NUL stays until cleaned.
    EXPECT_EQ(BytesToText(B({'A', 0x00, 'B'})), std::string("A\0B", 3));
}

TEST(Text, ChineseInTheRegisterCodePage) {
    ASSERT_EQ(RegisterCodePage(), "CP936");
    Bytes f(6);
    TextToBytes("中文", f);
    EXPECT_EQ(f, B({0xD6, 0xD0, 0xCE, 0xC4, 0x20, 0x20}));
    EXPECT_EQ(BytesToText(f), "中文");
    EXPECT_EQ(RegisterTextLength("可口可乐cola"), 12u);
}

TEST(Text, DoubleByteCharacterIsNotSplitAtTheFieldEnd) {
    Bytes f(5);
    TextToBytes("中文字", f); // 6 bytes in GBK: the third character does not fit
    EXPECT_EQ(f, B({0xD6, 0xD0, 0xCE, 0xC4, 0x20}));
    // A field that the register filled with a cut character decodes the rest.
    EXPECT_EQ(BytesToText(B({0xD6, 0xD0, 0xCE})), "中");
    Bytes latin(3);
    TextToBytes("ABCDEF", latin);
    EXPECT_EQ(latin, B({'A', 'B', 'C'}));
}

TEST(Text, OtherCodePageSelectable) {
    ASSERT_TRUE(SetRegisterCodePage("CP1252"));
    Bytes f(3);
    TextToBytes("é", f);
    EXPECT_EQ(f, B({0xE9, 0x20, 0x20}));
    EXPECT_EQ(BytesToText(B({0x43, 0x61, 0x66, 0xE9})), "Café");
    EXPECT_FALSE(SetRegisterCodePage("NO-SUCH-CODEPAGE"));
    EXPECT_EQ(RegisterCodePage(), "CP1252");
    ASSERT_TRUE(SetRegisterCodePage("CP936"));
}

TEST(Text, CleanReverseBlank) {
    EXPECT_EQ(CleanText(std::string("  A\0B\xC3\xBF ", 8)), "AB");
    EXPECT_EQ(ReverseText("123456"), "654321");
    EXPECT_EQ(ReverseText("ab中"), "中ba");
    EXPECT_TRUE(IsBlankBytes(B({})));
    EXPECT_TRUE(IsBlankBytes(B({0xFF, 0xFF})));
    EXPECT_FALSE(IsBlankBytes(B({0xFF, 0xFE})));
}

TEST(Dates, PackedWorkedExamples) {
    EXPECT_EQ(PackedToDateText(0), "2046-1-1 0:0");
    const std::uint32_t p = DateTextToPacked("200910070905");
    EXPECT_EQ(p, (2009u << 20) + (10u << 16) + (7u << 11) + (9u << 6) + 5u);
    EXPECT_EQ(PackedToDateText(p), "2009-10-7 9:5");
    // Month 13 and day 0 read as 1.
    EXPECT_EQ(PackedToDateText((2010u << 20) + (13u << 16) + (0u << 11)), "2010-1-1 0:0");
}

TEST(Dates, YearsUpTo4095RoundTripUnsigned) {
    for (const char* t : {"204801010000", "208012312359", "409512312359"}) {
        std::uint32_t p = DateTextToPacked(t);
        std::string y(t, 4);
        EXPECT_EQ(PackedToDateText(p).substr(0, 4), y) << t;
    }
    EXPECT_EQ(DateTextToPacked("409512312359") >> 20, 4095u);
}

TEST(Helpers, NumericValueAndByteLists) {
    EXPECT_DOUBLE_EQ(NumericValue("12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(NumericValue("  -3"), -3);
    EXPECT_DOUBLE_EQ(NumericValue("abc"), 0);
    EXPECT_DOUBLE_EQ(NumericValue(""), 0);
    EXPECT_DOUBLE_EQ(NumericValue("1.2.3"), 1.2);
    EXPECT_EQ(BytesToList(B({255, 255, 12, 0})), "255,255,12,0");
    EXPECT_EQ(ListToBytes("255,255,12,0", 6), B({255, 255, 12, 0, 255, 255}));
    EXPECT_EQ(ListToBytes("1,x,300,4", 4), B({1, 255, 255, 4}));
}

TEST(CodePages, EachInterfaceLanguageHasOneThatWritesItsText) {
    const struct {
        int lang;
        const char* text;
    } samples[] = {{1, "收银员"}, {2, "收銀員"}, {3, "Chloé"}, {4, "Phở bò"}, {5, "صندوق"}, {6, "Crème brûlée"}, {7, "สวัสดี"}};
    const std::string before = RegisterCodePage();
    EXPECT_EQ(std::string(InterfaceCodePages().front().name), kDefaultCodePage);
    for (const auto& s : samples) {
        SCOPED_TRACE(s.lang);
        bool written = false;
        for (const CodePageChoice& c : InterfaceCodePages()) {
            ASSERT_TRUE(CodePageKnown(c.name)) << c.name;
            if (c.langCode != s.lang && !(c.langCode == 0 && (s.lang == 3 || s.lang == 6))) continue;
            ASSERT_TRUE(SetRegisterCodePage(c.name));
            written = UnencodableCharacter(s.text).empty() && DecodeRegisterText(EncodeRegisterText(s.text)) == s.text;
        }
        EXPECT_TRUE(written);
    }
    EXPECT_FALSE(CodePageKnown("NO-SUCH-PAGE"));
    EXPECT_FALSE(CodePageKnown(""));
    SetRegisterCodePage(before);
}
