// Field limits: what a form, the import and the download check accept must be
// what the register keeps, to the byte.
#include "app/CodePage.h"
#include "app/GlobalFunc.h"
#include "records/Bundle.h"
#include "records/Fields.h"
#include "records/Limits.h"
#include "records/Member.h"
#include "records/Params.h"
#include "records/Plu.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ecr;
using namespace ecr::records;

namespace {

struct TextCase {
    const char* what;
    FieldLimit limit;
    const char* text;
    int pointDecimals;
    std::optional<LimitProblem> expected;
};

LimitProblem P(int id, std::vector<std::string> args = {}) { return {id, std::move(args)}; }

} // namespace

TEST(Limits, TypedAndPastedTextAgainstEachKindOfField) {
    const TextCase cases[] = {
        {"16 digits", PluLimits::id, "1234567890123456", 2, std::nullopt},
        {"17 digits", PluLimits::id, "12345678901234567", 2, P(limitmsg::BadCode)},
        {"letters", PluLimits::id, "12ab", 2, P(limitmsg::BadCode)},
        {"empty code", PluLimits::id, "  ", 2, P(limitmsg::BadCode)},
        {"inner blank", PluLimits::id, " 12 34 ", 2, std::nullopt},
        {"unused bundle place", BundleLimits::pluNumber, "", 2, std::nullopt},
        {"20 bytes: ten Chinese characters", PluLimits::name, "一二三四五六七八九十", 2, std::nullopt},
        {"22 bytes", PluLimits::name, "一二三四五六七八九十一", 2, P(limitmsg::TooLong, {"22", "20"})},
        {"not in GBK", PluLimits::name, "Phở bò", 2, P(limitmsg::Unencodable, {"ở"})},
        {"department 100", PluLimits::depart, "100", 2, std::nullopt},
        {"department 101", PluLimits::depart, "101", 2, P(limitmsg::OutOfRange, {"101", "0", "100"})},
        {"department 300", PluLimits::depart, "300", 2, P(limitmsg::OutOfRange, {"300", "0", "100"})},
        {"department 2.5", PluLimits::depart, "2.5", 2, P(limitmsg::OutOfRange, {"2.5", "0", "100"})},
        {"pasted price", PluLimits::price, "12abc", 2, P(limitmsg::NotANumber, {"12abc"})},
        {"price at the top", PluLimits::price, "21474836.47", 2, std::nullopt},
        {"price one cent above", PluLimits::price, "21474836.48", 2,
         P(limitmsg::OutOfRange, {"21474836.48", "-21474836.48", "21474836.47"})},
        {"price that wraps", PluLimits::price, "99999999", 2,
         P(limitmsg::OutOfRange, {"99999999", "-21474836.48", "21474836.47"})},
        {"the same price with no decimals", PluLimits::price, "99999999", 0, std::nullopt},
        {"member price that wraps", PluLimits::price, "25000000", 2,
         P(limitmsg::OutOfRange, {"25000000", "-21474836.48", "21474836.47"})},
        {"empty price is 0", PluLimits::price, "", 2, std::nullopt},
        {"stock lowest in one's complement", PluLimits::stock, "-2147483.647", 2, std::nullopt},
        {"stock below it", PluLimits::stock, "-2147483.648", 2,
         P(limitmsg::OutOfRange, {"-2147483.648", "-2147483.647", "2147483.647"})},
        {"two-byte field", MemberLimits::addr, "32768", 2, P(limitmsg::OutOfRange, {"32768", "-32768", "32767"})},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckText(c.limit, c.text, c.pointDecimals), c.expected) << c.what;
}

TEST(Limits, EveryPriceThatPassesComesBackFromThePageUnchanged) {
    // The boundary values of the check are the boundary values of the field.
    for (int decimals : {0, 2, 3}) {
        const auto [lo, hi] = LimitRange(PluLimits::price, decimals);
        for (double v : {lo, hi}) {
            ASSERT_FALSE(CheckNumber(PluLimits::price, v, decimals)) << v;
            Bytes field(4);
            PutNumber(v, field, decimals, false);
            EXPECT_DOUBLE_EQ(BytesToNumber(field, decimals, false, 0), v) << decimals;
        }
        EXPECT_TRUE(CheckNumber(PluLimits::price, hi + 1, decimals));
        EXPECT_TRUE(CheckNumber(PluLimits::price, lo - 1, decimals));
    }
    EXPECT_TRUE(CheckNumber(PluLimits::price, std::nan(""), 2));
}

TEST(Limits, ParameterFieldsFollowTheLayout) {
    // Header lines are written 32 bytes wide in both layouts; the fiscal text 40.
    EXPECT_EQ(ParamLimit("NoteHead1", ParamLayout::B)->bytes, 32);
    EXPECT_EQ(ParamLimit("NoteHead9", ParamLayout::A)->bytes, 32);
    EXPECT_EQ(ParamLimit("FiscalInfo", ParamLayout::B)->bytes, 40);
    EXPECT_EQ(ParamLimit("Price3", ParamLayout::B)->bytes, 10);
    EXPECT_EQ(ParamLimit("TaxDefaultValue", ParamLayout::B)->decimals, 2);
    EXPECT_FALSE(ParamLimit("NoSuchColumn", ParamLayout::B));
}

TEST(SubstituteArgs, FillsNumberedPlaceholders) {
    EXPECT_EQ(SubstituteArgs("%1: %2 of %3", {"Price", "7"}), "Price: 7 of %3");
    EXPECT_EQ(SubstituteArgs("100%", {"x"}), "100%");
}
