// Random pages for every record codec, random files for the logo conversion.
// Input: byte 0 picks the target, byte 1 the register settings, the rest is
// the page (padded with 0xFF, or repeated to fill the page). Besides crashes
// and sanitizer reports it checks that what a codec decodes it encodes back
// to the same values. The codecs alone: no database is linked.
#include "records/Bundle.h"
#include "records/Cashier.h"
#include "records/Department.h"
#include "records/Fields.h"
#include "records/Fiscal.h"
#include "records/Hotkey.h"
#include "records/Journal.h"
#include "records/Logo.h"
#include "records/Member.h"
#include "records/Params.h"
#include "records/Plu.h"
#include "records/Promotion.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

using namespace ecr;
using namespace ecr::records;

namespace {

constexpr int kKinds[] = {kind::Params,     kind::Cashier,   kind::Keyboard, kind::Depart, kind::FlashCash,
                          kind::JournalFat, kind::Promotion, kind::Member,   kind::Bundle, kind::Plu,
                          kind::Journal2,   kind::Journal,   kind::Fiscal};
constexpr int kTargets = static_cast<int>(std::size(kKinds)) + 1; // the last one is the logo

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "round trip broken: %s\n", what);
        std::abort();
    }
}

// Decode, encode into a fresh record, decode again: the values must agree.
// Texts are left out where the register's code page may not map back.
void pluRoundTrips(ByteView page, int pageIndex, int decimals) {
    for (int i = 0; i < kPluRecords; ++i) {
        auto r = DecodePlu(RecordAt(page, i, kPluRecordSize), pageIndex, i, decimals);
        if (!r) continue;
        Bytes rec(kPluRecordSize, 0xFF);
        check(EncodePlu(*r, rec, decimals), "plu encode");
        auto back = DecodePlu(rec, pageIndex, i, decimals);
        check(back.has_value(), "plu decode");
        back->name = r->name;
        check(*back == *r, "plu");
    }
}

void promotionRoundTrips(ByteView page, int pageIndex, int decimals) {
    for (int i = 0; i < kPromotionRecords; ++i) {
        auto r = DecodePromotion(RecordAt(page, i, kPromotionRecordSize), pageIndex, i, decimals);
        if (!r || r->sdate.empty() || r->edate.empty()) continue;
        Bytes rec(kPromotionRecordSize, 0xFF);
        check(EncodePromotion(*r, rec, decimals), "promotion encode");
        auto back = DecodePromotion(rec, pageIndex, i, decimals);
        check(back.has_value(), "promotion decode");
        back->promotionname = r->promotionname;
        check(*back == *r, "promotion");
    }
}

void journalRoundTrips(ByteView page, int pageIndex, int decimals) {
    for (int i = 0; i < kJournalRecords; ++i) {
        auto r = DecodeJournal(RecordAt(page, i, kJournalRecordSize), pageIndex, i, decimals);
        if (!r || r->time.empty()) continue;
        Bytes rec(kJournalRecordSize, 0xFF);
        check(EncodeJournal(*r, rec, decimals), "journal encode");
        check(DecodeJournal(rec, pageIndex, i, decimals) == r, "journal");
    }
}

void memberRoundTrips(ByteView page, int pageIndex) {
    for (int i = 0; i < kMemberRecords; ++i) {
        auto r = DecodeMember(RecordAt(page, i, kMemberRecordSize), pageIndex, i);
        if (!r) continue;
        Bytes rec(kMemberRecordSize, 0xFF);
        check(EncodeMember(*r, rec), "member encode");
        auto back = DecodeMember(rec, pageIndex, i);
        check(back.has_value(), "member decode");
        check(back->userid == r->userid && back->score == r->score && back->addr == r->addr, "member");
    }
}

void bundleRoundTrips(ByteView page, int pageIndex) {
    for (int i = 0; i < kBundleRecords; ++i) {
        auto r = DecodeBundle(RecordAt(page, i, kBundleRecordSize), pageIndex, i);
        if (!r) continue;
        Bytes rec(kBundleRecordSize, 0xFF);
        check(EncodeBundle(*r, rec), "bundle encode");
        auto back = DecodeBundle(rec, pageIndex, i);
        check(back.has_value(), "bundle decode");
        back->bundlename = r->bundlename;
        check(*back == *r, "bundle");
    }
}

void keyRoundTrips(ByteView page) {
    for (int i = 0; i < kKeyRecords; ++i) {
        const KeyRecord r = DecodeKey(RecordAt(page, i, kKeyRecordSize), i);
        Bytes rec(kKeyRecordSize, 0xFF);
        if (!EncodeKey(r, rec)) continue;
        const KeyRecord back = DecodeKey(rec, i);
        check(back.content == r.content && back.content2 == r.content2, "key");
    }
}

void cashierRoundTrips(ByteView page) {
    for (int i = 0; i < kCashierRecords; ++i) {
        auto r = DecodeCashier(RecordAt(page, i, kCashierRecordSize), i);
        if (!r) continue;
        Bytes rec(kCashierRecordSize, 0xFF);
        EncodeCashier(*r, rec);
        auto back = DecodeCashier(rec, i);
        check(back.has_value(), "cashier decode");
        check(back->rights == r->rights && back->id == r->id, "cashier");
    }
}

void departRoundTrips(ByteView page) {
    for (int i = 0; i < kDepartRecords; ++i) {
        auto r = DecodeDepart(RecordAt(page, i, kDepartRecordSize), i);
        if (!r) continue;
        Bytes rec(kDepartRecordSize, 0xFF);
        EncodeDepart(*r, rec);
        auto back = DecodeDepart(rec, i);
        check(back.has_value(), "department decode");
        back->name = r->name;
        check(*back == *r, "department");
    }
}

void fiscalDecodes(ByteView page, int pageIndex) {
    for (int i = 0; i < kFiscalRecords; ++i) {
        auto r = DecodeFiscal(RecordAt(page, i, kFiscalRecordSize), FiscalRunningNumber(pageIndex, i));
        if (r) check(r->mdate.size() == 19 && r->fyear >= 1 && r->fyear <= kFiscalLastYear, "fiscal date");
    }
    const auto totals = DecodeFlashCash(page);
    check(totals.size() == kFlashCashGroups, "flash-cash groups");
}

void allocationDecodes(ByteView page, int pageIndex) {
    JournalPageTable table;
    DecodeJournalAllocation(page, pageIndex % 2, table);
    const std::size_t base = pageIndex % 2 == 0 ? 0 : 1024;
    for (std::size_t k = 0; k < 1024; ++k)
        check(IsBlankBytes(page.subspan(k * 4, 4)) == (table.entries[base + k] == -1), "allocation entry");
}

void paramRoundTrips(ByteView page, ParamLayout layout, int version) {
    const ParamValues v = DecodeParams(page, layout, version);
    Bytes copy(page.begin(), page.end());
    EncodeParams(v, copy, layout, version);
    check(DecodeParams(copy, layout, version).numbers == v.numbers, "params");
}

void codecRoundTrips(int k, ByteView page, int pageIndex, int decimals, ParamLayout layout, int version) {
    switch (k) {
    case kind::Plu:
        pluRoundTrips(page, pageIndex, decimals);
        break;
    case kind::Promotion:
        promotionRoundTrips(page, pageIndex, decimals);
        break;
    case kind::Journal:
    case kind::Journal2:
        journalRoundTrips(page, pageIndex, decimals);
        break;
    case kind::Member:
        memberRoundTrips(page, pageIndex);
        break;
    case kind::Bundle:
        bundleRoundTrips(page, pageIndex);
        break;
    case kind::Keyboard:
        keyRoundTrips(page);
        break;
    case kind::Params:
        paramRoundTrips(page, layout, version);
        break;
    case kind::Cashier:
        cashierRoundTrips(page);
        break;
    case kind::Depart:
        departRoundTrips(page);
        break;
    case kind::Fiscal:
    case kind::FlashCash:
        fiscalDecodes(page, pageIndex);
        break;
    case kind::JournalFat:
        allocationDecodes(page, pageIndex);
        break;
    default:
        break;
    }
}

void logo(ByteView file) {
    Bytes out;
    const LogoError e = LogoToBytes(file, out);
    if (!e.ok()) {
        check(out.empty(), "refused logo leaves no bytes");
        return;
    }
    check(!out.empty(), "logo bytes");
    std::size_t total = 0;
    for (const Bytes& p : LogoPages(out))
        total += p.size();
    check(total >= out.size() && total < out.size() + kPageSize, "logo pages");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int target = data[0] % kTargets;
    const std::uint8_t settings = data[1];
    ByteView rest(data + 2, size - 2);
    if (target == kTargets - 1) {
        logo(rest);
        return 0;
    }
    Bytes page(kPageSize, 0xFF);
    if (!rest.empty()) {
        if (settings & 0x80) // repeat the input so that every record holds something
            for (std::size_t i = 0; i < page.size(); ++i)
                page[i] = rest[i % rest.size()];
        else
            std::copy_n(rest.begin(), std::min(rest.size(), page.size()), page.begin());
    }
    const std::string model = settings & 0x02 ? "BIRCH" : "CEDAR";
    const int dataVersion = 320 + (settings >> 2 & 0x03);
    const long long registerVersion = settings & 0x10 ? 100500 : 100000 + dataVersion;
    const int pageIndex = settings >> 5 & 0x03;
    const int decimals = settings >> 2 & 0x07;
    const ParamLayout layout = ChooseParamLayout(model, registerVersion);
    codecRoundTrips(kKinds[target], page, pageIndex, decimals, layout, dataVersion);
    return 0;
}
