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

// Decode, encode into a fresh record, decode again: `same` says whether the
// two agree (texts are left out where the register's code page may not map
// back). Decoders return no record for what is not to be encoded again.
template <class Decode, class Encode, class Same>
void roundTrips(ByteView page, int count, int size, const char* what, Decode decode, Encode encode, Same same) {
    for (int i = 0; i < count; ++i) {
        auto r = decode(RecordAt(page, i, size), i);
        if (!r) continue;
        Bytes rec(static_cast<std::size_t>(size), 0xFF);
        check(encode(*r, ByteSpan(rec)), what);
        auto back = decode(rec, i);
        check(back.has_value() && same(*back, *r), what);
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
    const auto withName = [](auto field) {
        return [field](auto back, const auto& r) {
            back.*field = r.*field;
            return back == r;
        };
    };
    switch (k) {
    case kind::Plu:
        roundTrips(page, kPluRecords, kPluRecordSize, "plu",
                   [&](ByteView r, int i) { return DecodePlu(r, pageIndex, i, decimals); },
                   [&](const PluRecord& r, ByteSpan out) { return EncodePlu(r, out, decimals); },
                   withName(&PluRecord::name));
        break;
    case kind::Promotion:
        roundTrips(page, kPromotionRecords, kPromotionRecordSize, "promotion",
                   [&](ByteView r, int i) {
                       auto p = DecodePromotion(r, pageIndex, i, decimals);
                       return p && !p->sdate.empty() && !p->edate.empty() ? p : std::nullopt;
                   },
                   [&](const PromotionRecord& r, ByteSpan out) { return EncodePromotion(r, out, decimals); },
                   withName(&PromotionRecord::promotionname));
        break;
    case kind::Journal:
    case kind::Journal2:
        roundTrips(page, kJournalRecords, kJournalRecordSize, "journal",
                   [&](ByteView r, int i) {
                       auto j = DecodeJournal(r, pageIndex, i, decimals);
                       return j && !j->time.empty() ? j : std::nullopt;
                   },
                   [&](const JournalRecord& r, ByteSpan out) { return EncodeJournal(r, out, decimals); },
                   [](const JournalRecord& back, const JournalRecord& r) { return back == r; });
        break;
    case kind::Member:
        roundTrips(page, kMemberRecords, kMemberRecordSize, "member",
                   [&](ByteView r, int i) { return DecodeMember(r, pageIndex, i); },
                   [](const MemberRecord& r, ByteSpan out) { return EncodeMember(r, out); },
                   [](const MemberRecord& back, const MemberRecord& r) {
                       return back.userid == r.userid && back.score == r.score && back.addr == r.addr;
                   });
        break;
    case kind::Bundle:
        roundTrips(page, kBundleRecords, kBundleRecordSize, "bundle",
                   [&](ByteView r, int i) { return DecodeBundle(r, pageIndex, i); },
                   [](const BundleRecord& r, ByteSpan out) { return EncodeBundle(r, out); },
                   withName(&BundleRecord::bundlename));
        break;
    case kind::Cashier:
        roundTrips(page, kCashierRecords, kCashierRecordSize, "cashier",
                   [](ByteView r, int i) { return DecodeCashier(r, i); },
                   [](const CashierRecord& r, ByteSpan out) { return EncodeCashier(r, out), true; },
                   [](const CashierRecord& back, const CashierRecord& r) {
                       return back.rights == r.rights && back.id == r.id;
                   });
        break;
    case kind::Depart:
        roundTrips(page, kDepartRecords, kDepartRecordSize, "department",
                   [](ByteView r, int i) { return DecodeDepart(r, i); },
                   [](const DepartRecord& r, ByteSpan out) { return EncodeDepart(r, out), true; },
                   withName(&DepartRecord::name));
        break;
    case kind::Keyboard:
        keyRoundTrips(page);
        break;
    case kind::Params:
        paramRoundTrips(page, layout, version);
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
