#include "app/GlobalFunc.h"
#include <gtest/gtest.h>
#include "app/ErrorLog.h"
#include "records/Bundle.h"
#include "records/Fields.h"
#include "records/Member.h"
#include "records/Promotion.h"

using namespace ecr;
using namespace ecr::records;

namespace {

std::string text(const Bytes& b, std::size_t off, std::size_t n) {
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(off), b.begin() + static_cast<std::ptrdiff_t>(off + n));
}

} // namespace

TEST(MemberBundlePromotionCodec, MemberRecordBytesExactly) {
    const MemberRecord m{131, "13800138000", "O'Neil", "1 Main St", "555-0100", 150, 3};
    Bytes rec(128, 0xFF);
    ASSERT_TRUE(EncodeMember(m, rec));
    EXPECT_EQ(Bytes(rec.begin(), rec.begin() + 14),
              (Bytes{0x49, 0x02, 0x00, 0x00, 0x11, 0x91, 0x24, 0x11, 0x96, 0x00, 0x00, 0x00, 0x03, 0x00}));
    EXPECT_EQ(text(rec, 14, 32), "O'Neil" + std::string(26, ' '));
    EXPECT_EQ(text(rec, 46, 32), "1 Main St" + std::string(23, ' '));
    EXPECT_EQ(text(rec, 78, 32), "555-0100" + std::string(24, ' '));
    EXPECT_TRUE(IsBlankBytes(ByteView(rec).subspan(110, 18)));
    EXPECT_EQ(*DecodeMember(rec, 1, 31), m);
}

TEST(MemberBundlePromotionCodec, BundleRecordBytesExactly) {
    BundleRecord b;
    b.sid = 15;
    b.bundlenumber = "100";
    b.bundlename = "Lunch";
    b.price = 25.5;
    b.address = 0;
    b.items[0] = {"4711", 2};
    b.items[9] = {"19", 0.5};
    Bytes rec(256, 0xFF);
    ASSERT_TRUE(EncodeBundle(b, rec));
    EXPECT_EQ(Bytes(rec.begin(), rec.begin() + 20), (Bytes{0x00, 0x00, 0x00, 0x00, 0x11, 0x02, 0x00, 0x00, // 100
                                                           0x00, 0x00, 0x00, 0x00, 0x22, 0x58, 0x00, 0x00, // 4711
                                                           0xD0, 0x07, 0x00, 0x00}));                      // 2.000
    // Unused PLU slots carry empty codes and quantity 0.
    EXPECT_EQ(Bytes(rec.begin() + 20, rec.begin() + 32), Bytes(12, 0x00));
    EXPECT_EQ(Bytes(rec.begin() + 116, rec.begin() + 128),
              (Bytes{0x00, 0x00, 0x00, 0x00, 0x2A, 0x00, 0x00, 0x00, 0xF4, 0x01, 0x00, 0x00}));
    EXPECT_EQ(Bytes(rec.begin() + 128, rec.begin() + 134), (Bytes{0xF6, 0x09, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(text(rec, 134, 32), "Lunch" + std::string(27, ' '));
    EXPECT_TRUE(IsBlankBytes(ByteView(rec).subspan(166, 90)));
    EXPECT_EQ(*DecodeBundle(rec, 0, 15), b);
}

TEST(MemberBundlePromotionCodec, PromotionRecordBytesExactly) {
    PromotionRecord p;
    p.address = 105;
    p.pluid = "4711";
    p.sdate = "2009-10-20 00:00:00";
    p.edate = "2009-11-01 23:59:00";
    p.quantity = 2;
    p.discountprice = 9.9;
    p.presentPluId = "7";
    p.presentQuantity = 1;
    p.promotionname = "Autumn";
    Bytes rec(64, 0xFF);
    ASSERT_TRUE(EncodePromotion(p, rec, 2));
    const Bytes head = {0x00, 0x00, 0x00, 0x00, 0x22, 0x58, 0x00, 0x00, // 4711
                        0x00, 0xA0, 0x9A, 0x7D, 0xFB, 0x0D, 0x9B, 0x7D, // 2009-10-20 0:00, 2009-11-1 23:59
                        0x02, 0x00, 0x00, 0x00, 0xDE, 0x03, 0x00, 0x00, // 2, 9.90
                        0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, // 7
                        0x01, 0x00, 0x00, 0x00, 0x69, 0x00};            // 1, number 105
    EXPECT_EQ(Bytes(rec.begin(), rec.begin() + 38), head);
    EXPECT_EQ(text(rec, 38, 20), "Autumn" + std::string(14, ' '));
    EXPECT_TRUE(IsBlankBytes(ByteView(rec).subspan(58, 6)));
    EXPECT_EQ(*DecodePromotion(rec, 1, 5, 2), p);
    // A price with three decimals is scaled by 1000.
    ASSERT_TRUE(EncodePromotion(p, rec, 3));
    EXPECT_EQ(Bytes(rec.begin() + 20, rec.begin() + 24), (Bytes{0xAC, 0x26, 0x00, 0x00}));
}

TEST(MemberBundlePromotionCodec, PromotionEitherBlankWordIsAnEmptyRecord) {
    Bytes rec(64, 0xFF);
    EXPECT_FALSE(DecodePromotion(rec, 0, 0, 2));
    std::fill_n(rec.begin(), 4, 0x00);
    EXPECT_FALSE(DecodePromotion(rec, 0, 0, 2));
    std::fill_n(rec.begin(), 4, 0xFF);
    std::fill_n(rec.begin() + 4, 4, 0x00);
    EXPECT_FALSE(DecodePromotion(rec, 0, 0, 2));
}

