// Random pages for every page parser and builder, random files for the logo
// conversion. Input: byte 0 picks the target, byte 1 the register settings,
// the rest is the page (padded with 0xFF, or repeated to fill the page).
// Besides crashes and sanitizer reports it checks that what a codec decodes
// it encodes back to the same values.
#include "app/AppState.h"
#include "app/ErrorLog.h"
#include "db/Database.h"
#include "records/Bundle.h"
#include "records/Fields.h"
#include "records/Fiscal.h"
#include "records/Hotkey.h"
#include "records/Journal.h"
#include "records/Logo.h"
#include "records/Member.h"
#include "records/PageRegistry.h"
#include "records/Params.h"
#include "records/Plu.h"
#include "records/Promotion.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <unistd.h>

using namespace ecr;
using namespace ecr::records;

namespace {

constexpr int kKinds[] = {kind::Params,     kind::Cashier,   kind::Keyboard, kind::Depart, kind::FlashCash,
                          kind::JournalFat, kind::Promotion, kind::Member,   kind::Bundle, kind::Plu,
                          kind::Journal2,   kind::Journal,   kind::Fiscal};
constexpr int kTargets = static_cast<int>(std::size(kKinds)) + 1; // the last one is the logo

std::unique_ptr<db::Database> g_db;

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
    default:
        break; // the other kinds are decoded by their sinks only
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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Parsers log what they leave out; keep that out of the way.
    const auto dir = std::filesystem::temp_directory_path() / ("ecr-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::remove(dir / "ecr.log");
    std::filesystem::create_symlink("/dev/null", dir / "ecr.log");
    SetErrorLogFolder(dir.string());
    g_db = db::Database::open(":memory:");
    std::ifstream in(ECR_SCHEMA_SQL);
    std::stringstream schema;
    schema << in.rdbuf();
    g_db->executeScript(schema.str());
    g_db->execute("INSERT INTO plurecordfat(fat1,fat2) VALUES(NULL,NULL)");
    g_db->execute("INSERT INTO depart(id,name,tax) VALUES(1,'D',-1)");
    g_db->execute("INSERT INTO plu(id,name,price,sid) VALUES('1','P',1.5,0)");
    g_db->execute("INSERT INTO bundle(bundlenumber,bundlename,price,sid) VALUES('1','B',2,0)");
    RegisterRecordKinds();
    return 0;
}

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
    AppState state;
    state.storeParameters = settings & 0x01;
    state.modelName = settings & 0x02 ? "BIRCH" : "CEDAR";
    state.dataVersion = 320 + (settings >> 2 & 0x03);
    state.registerVersion = settings & 0x10 ? 100500 : 100000 + state.dataVersion;
    state.taxDefault = 5;
    const int pageIndex = settings >> 5 & 0x03;
    const int decimals = settings >> 2 & 0x07;
    const ParamLayout layout = ChooseParamLayout(state.modelName, state.registerVersion);

    JournalPageTable table;
    PageContext ctx{*g_db, state, table};
    // Everything the page does to the database is undone afterwards.
    db::Transaction scratch(*g_db);
    g_db->execute("DELETE FROM params");
    g_db->execute("INSERT INTO params(PointEn) VALUES(?)", {decimals});
    const int kind = kKinds[target];
    codecRoundTrips(kind, page, pageIndex, decimals, layout, state.dataVersion);
    const std::string err = StoreReceivedPage(ctx, kind, page, pageIndex);
    check(err.empty(), err.c_str());
    const Bytes built = BuildPage(ctx, kind, pageIndex);
    check(built.size() == kPageSize, "built page size");
    return 0;
}
