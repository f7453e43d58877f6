// Every record codec against bytes worked out by hand, and the records that
// read as empty.
#include "SampleRecords.h"
#include "records/Bundle.h"
#include "records/Cashier.h"
#include "records/Department.h"
#include "records/Fields.h"
#include "records/Fiscal.h"
#include "records/Hotkey.h"
#include "records/Member.h"
#include "records/Params.h"
#include "records/Promotion.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ecr;
using namespace ecr::records;
using namespace ecr::records::samples;

namespace {

Bytes text(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return Bytes(s.begin(), s.end());
}
Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
const Bytes ff4(4, 0xFF);

BundleRecord lunch() {
    BundleRecord b;
    b.sid = 15;
    b.bundlenumber = "100";
    b.bundlename = "Lunch";
    b.price = 25.5;
    b.address = 0;
    b.items[0] = {"4711", 2};
    b.items[9] = {"19", 0.5};
    return b;
}

PromotionRecord autumn() {
    return {105, "4711", "2009-10-20 00:00:00", "2009-11-01 23:59:00", 2, 9.9, "7", 1, "Autumn"};
}

CashierRecord ann() {
    CashierRecord r;
    r.id = 7;
    r.name = "Ann";
    r.passwd = "123";
    r.rights.fill(1);
    r.rights[0] = 0; // a0 withheld: bit 0
    r.rights[4] = 0; // a7 withheld: bit 7
    return r;
}

} // namespace

TEST(Codecs, EachKindsRecordToTheByteAndBack) {
    const DepartRecord drinks{100, "Drinks", 12.5, 17.0, 0, 100, 2};
    const MemberRecord member{131, "13800138000", "O'Neil", "1 Main St", "555-0100", 150, 3};
    const KeyRecord key{17, 1234, -2, "P"};
    const struct {
        const char* kind;
        std::size_t size;
        std::function<bool(ByteSpan)> encode;
        std::function<bool(ByteView)> decodesBack;
        Bytes expected;
    } cases[] = {
        {"plu", 64, [](ByteSpan r) { return EncodePlu(tea(), r, 2); },
         [](ByteView r) { return DecodePlu(r, 0, 5, 2) == tea(); },
         cat({{0, 0, 0, 0, 0x2A, 0x01, 0, 0}, // code 019, right-aligned nibbles
              {0xBC, 0x02, 0, 0},             // price 7.00
              {0x8A, 0x02, 0, 0},             // member price 6.50
              {0x3B, 0xF6, 0xFF, 0xFF},       // safestock -2.500, one's complement
              {0x8D, 0x27, 0, 0},             // stock slot 1: 10.125
              ff4, ff4, ff4,                  // slots 2..4 blank
              {0xA9, 0x01, 0, 0},             // average price 4.25
              text("Tea", 20), {0xFE, 0x03, 0xFF, 0xFF}})},
        {"journal", 32, [](ByteSpan r) { return EncodeJournal(sale(), r, 2); },
         [](ByteView r) { return DecodeJournal(r, 0, 3, 2) == sale() && DecodeJournal(r, 7, 127, 2).value_or(JournalRecord{}).sid == 7127; },
         {0x2A, 0, 0, 0,                         // bill 42
          0, 0, 0, 0, 0x23, 0, 0, 0,             // code 12
          0xD2, 0x04, 0, 0,                      // 12.34
          0xDC, 0x05, 0, 0,                      // 1.500
          0x45, 0x3A, 0x9A, 0x7D,                // 2009-10-7 9:05
          0x01, 0x02, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"cashier", 40, [](ByteSpan r) { return EncodeCashier(ann(), r), true; },
         [](ByteView r) { return DecodeCashier(r, 7) == ann(); },
         cat({text("Ann", 20), text("321", 6), {0xFF, 0xFF, 0x81, 0, 0, 0, 0x07, 0}, Bytes(6, 0xFF)})},
        {"department", 32, [&](ByteSpan r) { return EncodeDepart(drinks, r), true; },
         [&](ByteView r) { return DecodeDepart(r, 100) == drinks; },
         cat({text("Drinks", 20), {0xE2, 0x04, 0, 0, 0xA4, 0x06, 0, 0, 0x01, 100, 2, 0xFF}})},
        {"key", 10, [&](ByteSpan r) { return EncodeKey(key, r); }, [&](ByteView r) { return DecodeKey(r, 17) == key; },
         {0xD2, 0x04, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 'P', 0x00}},
        {"member", 128, [&](ByteSpan r) { return EncodeMember(member, r); },
         [&](ByteView r) { return DecodeMember(r, 1, 31) == member; },
         cat({{0x49, 0x02, 0, 0, 0x11, 0x91, 0x24, 0x11, 0x96, 0, 0, 0, 0x03, 0x00}, text("O'Neil", 32),
              text("1 Main St", 32), text("555-0100", 32), Bytes(18, 0xFF)})},
        // Unused PLU places carry empty codes and quantity 0.
        {"bundle", 256, [](ByteSpan r) { return EncodeBundle(lunch(), r); },
         [](ByteView r) { return DecodeBundle(r, 0, 15) == lunch(); },
         cat({{0, 0, 0, 0, 0x11, 0x02, 0, 0},                     // 100
              {0, 0, 0, 0, 0x22, 0x58, 0, 0, 0xD0, 0x07, 0, 0},   // 4711, 2.000
              Bytes(12 * 8, 0x00),                                // places 1..8
              {0, 0, 0, 0, 0x2A, 0, 0, 0, 0xF4, 0x01, 0, 0},      // 19, 0.500
              {0xF6, 0x09, 0, 0, 0, 0}, text("Lunch", 32), Bytes(90, 0xFF)})},
        {"promotion", 64, [](ByteSpan r) { return EncodePromotion(autumn(), r, 2); },
         [](ByteView r) { return DecodePromotion(r, 1, 5, 2) == autumn(); },
         cat({{0, 0, 0, 0, 0x22, 0x58, 0, 0},                         // 4711
              {0x00, 0xA0, 0x9A, 0x7D, 0xFB, 0x0D, 0x9B, 0x7D},       // 2009-10-20 0:00, 2009-11-1 23:59
              {0x02, 0, 0, 0, 0xDE, 0x03, 0, 0},                      // 2, 9.90
              {0, 0, 0, 0, 0x08, 0, 0, 0, 0x01, 0, 0, 0, 0x69, 0x00}, // 7, 1, number 105
              text("Autumn", 20), Bytes(6, 0xFF)})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        ASSERT_EQ(c.expected.size(), c.size);
        Bytes rec(c.size, 0xFF);
        ASSERT_TRUE(c.encode(rec));
        EXPECT_EQ(rec, c.expected);
        EXPECT_TRUE(c.decodesBack(rec));
    }
    // A promotion price with three decimals is scaled by 1000.
    Bytes rec(64, 0xFF);
    ASSERT_TRUE(EncodePromotion(autumn(), rec, 3));
    EXPECT_EQ(Bytes(rec.begin() + 20, rec.begin() + 24), (Bytes{0xAC, 0x26, 0x00, 0x00}));
}

TEST(Codecs, RecordsThatReadAsEmpty) {
    const auto with = [](std::size_t size, std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
        Bytes rec(size, 0xFF);
        for (const auto& [at, b] : parts) std::copy(b.begin(), b.end(), rec.begin() + static_cast<std::ptrdiff_t>(at));
        return rec;
    };
    const Bytes zero4(4, 0x00), named = text("Named", 20);
    Bytes unbilled(32, 0xFF);
    EncodeJournal(sale(), unbilled, 2);
    std::fill_n(unbilled.begin(), 4, 0xFF);
    const struct {
        const char* what;
        bool decoded;
    } cases[] = {
        {"plu: blank code, with a name", bool(DecodePlu(with(64, {{40, named}}), 0, 0, 2))},
        {"plu: first code word set, second blank", bool(DecodePlu(with(64, {{40, named}, {0, zero4}}), 0, 0, 2))},
        {"plu: both code words zero, no digits", bool(DecodePlu(with(64, {{40, named}, {0, Bytes(8, 0)}}), 0, 0, 2))},
        {"promotion: all blank", bool(DecodePromotion(with(64, {}), 0, 0, 2))},
        {"promotion: first code word set", bool(DecodePromotion(with(64, {{0, zero4}}), 0, 0, 2))},
        {"promotion: second code word set", bool(DecodePromotion(with(64, {{4, zero4}}), 0, 0, 2))},
        {"journal: blank bill number", bool(DecodeJournal(unbilled, 0, 3, 2))},
        {"cashier: all blank", bool(DecodeCashier(with(40, {}), 0))},
        {"cashier: blank name with rights", bool(DecodeCashier(with(40, {{28, {0x00}}}), 0))},
    };
    for (const auto& c : cases) EXPECT_FALSE(c.decoded) << c.what;
    // A key without a function is not written at all.
    Bytes key(10, 0xFF);
    EXPECT_FALSE(EncodeKey({3, 5, 6, ""}, key));
    EXPECT_EQ(key, Bytes(10, 0xFF));
}

TEST(Codecs, FieldVariantsTheRegisterWrites) {
    // A PLU code of one digit, with the sid from its page and place.
    Bytes plu(64, 0xFF);
    TextToBytes("Named", ByteSpan(plu).subspan(40, 20));
    std::fill_n(plu.begin(), 8, 0x00);
    plu[4] = 0x02;
    const auto one = DecodePlu(plu, 2, 9, 2);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->id, "1");
    EXPECT_EQ(one->sid, 209);
    EXPECT_EQ(one->name, "Named");
    // The PLU flag byte: only FE sets it.
    for (auto [flag, a0] : {std::pair{0xFF, 0}, std::pair{0x00, 0}, std::pair{0xFE, 1}}) {
        plu[60] = static_cast<std::uint8_t>(flag);
        EXPECT_EQ(DecodePlu(plu, 0, 0, 2)->a0, a0) << flag;
    }
    PluRecord noFlag = tea();
    noFlag.a0 = 0;
    EncodePlu(noFlag, plu, 2);
    EXPECT_EQ(plu[60], 0xFF);
    // The department discount flag: 0 is on, anything else off.
    Bytes dep(32, 0xFF);
    EncodeDepart({1, "D", 1, 1, 0, 1, 0}, dep);
    dep[28] = 0x00;
    EXPECT_EQ(DecodeDepart(dep, 1)->discounten, 1);
    dep[28] = 0xFF;
    EXPECT_EQ(DecodeDepart(dep, 1)->discounten, 0);
    // Key functions: the NUL and 0xFF padding are dropped from either byte.
    Bytes k(10, 0xFF);
    k[8] = 0x00;
    k[9] = 'C';
    EXPECT_EQ(DecodeKey(k, 0).function, "C");
    k[8] = 'C';
    k[9] = 0xFF;
    EXPECT_EQ(DecodeKey(k, 0).function, "C");
    // Cashier rights: all 0xFF reads as every right granted; bits 4..6 and
    // above 16 have no column.
    Bytes c(40, 0xFF);
    TextToBytes("Bob", ByteSpan(c).subspan(0, 20));
    for (bool blankRights : {true, false}) {
        if (!blankRights) NumberToBytes(0x70 | (1 << 20), ByteSpan(c).subspan(28, 4), 0, false);
        const auto r = DecodeCashier(c, 3);
        ASSERT_TRUE(r);
        for (int v : r->rights) EXPECT_EQ(v, 1) << blankRights;
        EXPECT_EQ(r->passwd, "");
    }
}

TEST(Codecs, PluStockIsTheNewestWrittenSlot) {
    Bytes rec(64, 0xFF);
    ASSERT_TRUE(EncodePlu(tea(), rec, 2));
    auto stockOf = [&](const Bytes& r) { return DecodePlu(r, 0, 0, 2)->stockvalue; };
    NumberToBytes(5.0, ByteSpan(rec).subspan(20, 4), 3, true);
    NumberToBytes(3.0, ByteSpan(rec).subspan(24, 4), 3, true);
    EXPECT_DOUBLE_EQ(stockOf(rec), 3.0); // 28 and 32 blank
    NumberToBytes(-1.5, ByteSpan(rec).subspan(32, 4), 3, true);
    EXPECT_DOUBLE_EQ(stockOf(rec), -1.5); // 28 blank, 32 is newer
    for (int off : kPluStockSlots) std::fill_n(rec.begin() + off, 4, 0xFF);
    EXPECT_DOUBLE_EQ(stockOf(rec), 0.0);
}

TEST(Codecs, FiscalDaysAndYears) {
    // Slot 33 is month 2, day 1.
    EXPECT_EQ(DecodeFiscal(fiscalRecord(2009), 33), (FiscalRecord{2009, 33, 100, 5, 14.53, 12, 1, "2009-02-01 00:00:00"}));
    const struct {
        int year;
        long long slot;
        const char* date; // nullptr: no row
    } cases[] = {
        {2009, 1, "2009-01-01 00:00:00"},   {2009, 383, "2009-12-31 00:00:00"},
        {2009, 384 + 32 * 11 + 31, "2009-12-31 00:00:00"}, // the second year's slots
        {2009, 0, nullptr},   {2009, 32, nullptr}, {2009, 352, nullptr}, {2009, 384, nullptr}, // day 0
        {2009, 32 + 29, nullptr}, {2009, 32 * 3 + 31, nullptr}, // 29 February 2009, 31 April
        {2008, 32 + 29, "2008-02-29 00:00:00"},
        {0, 1, nullptr},   {1, 1, "0001-01-01 00:00:00"}, {2080, 1, "2080-01-01 00:00:00"}, {2081, 1, nullptr},
    };
    for (const auto& c : cases) {
        const auto r = DecodeFiscal(fiscalRecord(c.year), c.slot);
        if (c.date) {
            ASSERT_TRUE(r) << c.year << " " << c.slot;
            EXPECT_EQ(r->mdate, c.date);
        } else {
            EXPECT_FALSE(r) << c.year << " " << c.slot;
        }
    }
    Bytes blankYear = fiscalRecord(2009);
    blankYear[18] = blankYear[19] = 0xFF;
    EXPECT_FALSE(DecodeFiscal(blankYear, 1));
}

TEST(Codecs, ParameterLayoutDependsOnModelAndVersion) {
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100319), ParamLayout::A);
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100320), ParamLayout::B);
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100400), ParamLayout::B);
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100401), ParamLayout::A);
    EXPECT_EQ(ChooseParamLayout("CEDAR", 100500), ParamLayout::B);
}
