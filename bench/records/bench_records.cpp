// Decoding and storing one received page: PLUs (64 rows), journal (128 rows
// with their name, price and tax look-ups), keyboard (385 rows). Each page in
// its own transaction, on a database file as the program uses it.
#include "db/Schema.h"
#include "records/Fields.h"
#include "records/Hotkey.h"
#include "records/Journal.h"
#include "records/rows/PageRegistry.h"
#include "records/Plu.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

using namespace ecr;
using namespace ecr::records;

namespace {

struct Bench {
    std::filesystem::path path;
    std::unique_ptr<db::Database> db;
    AppState app;
    rows::PageContext ctx;
    explicit Bench(const char* name)
        : path(std::filesystem::temp_directory_path() /
               (std::string(name) + "-" + std::to_string(std::random_device{}()) + ".db")),
          db((std::filesystem::remove(path), db::OpenOrCreate(path.string()))), ctx{*db, app} {}
    ~Bench() {
        db.reset();
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(path.string() + suffix);
    }
};

void BM_StorePluPage(benchmark::State& state) {
    Bench b("ecr-bench-plu");
    Bytes page(kPageSize, 0xFF);
    for (int i = 0; i < kPluRecords; ++i) {
        PluRecord r;
        r.id = std::to_string(6901234500000 + i);
        r.name = "Article name " + std::to_string(i);
        r.depart = i % 20 + 1;
        r.price = 12.5 + i;
        r.memberprice = 11 + i;
        r.averagePrice = 8;
        r.safestock = -2;
        r.stockvalue = 100.25;
        r.a0 = i % 2;
        EncodePlu(r, RecordAt(ByteSpan(page), i, kPluRecordSize), 2);
    }
    for (auto _ : state) {
        if (!rows::StoreReceivedPage(rows::DatabaseKinds(), b.ctx, kind::Plu, page, 3).error.empty()) state.SkipWithError("store failed");
    }
    state.SetItemsProcessed(state.iterations() * kPluRecords);
}
BENCHMARK(BM_StorePluPage)->Unit(benchmark::kMicrosecond);

void BM_StoreJournalPage(benchmark::State& state) {
    Bench b("ecr-bench-journal");
    // Departments, PLUs and bundles to look up, as after a programming upload.
    b.db->execute("BEGIN");
    for (int d = 1; d <= 20; ++d)
        b.db->execute("INSERT INTO depart(id,name,tax) VALUES(?,?,?)", {d, "Department " + std::to_string(d), 6.0});
    for (int i = 0; i < 4096; ++i)
        b.db->execute("INSERT INTO plu(id,name,price,sid) VALUES(?,?,?,?)",
                      {std::to_string(1000 + i), "Article " + std::to_string(i), 2.5, (i / 64) * 100 + i % 64});
    for (int i = 0; i < 16; ++i)
        b.db->execute("INSERT INTO bundle(bundlenumber,bundlename,price,sid) VALUES(?,?,?,?)",
                      {std::to_string(90 + i), "Set " + std::to_string(i), 20.0, i});
    b.db->execute("COMMIT");
    Bytes page(kPageSize, 0xFF);
    for (int i = 0; i < kJournalRecords; ++i) {
        JournalRecord r;
        r.billnumber = 500 + i / 4;
        const bool bundle = i % 16 == 0;
        r.pluid = std::to_string(bundle ? 90 + i / 16 : 1000 + i * 7);
        r.depart = bundle ? kBundleDepart : i % 20 + 1;
        r.price = 2.5 * (i % 3 + 1);
        r.quantity = i % 3 + 1;
        r.time = "2009-10-17 12:" + std::to_string(10 + i / 4) + ":00";
        r.operation = i % 4 == 3 ? 32 : 0;
        r.cashier = 1;
        EncodeJournal(r, RecordAt(ByteSpan(page), i, kJournalRecordSize), 2);
    }
    for (auto _ : state) {
        if (!rows::StoreReceivedPage(rows::DatabaseKinds(), b.ctx, kind::Journal, page, 12).error.empty()) state.SkipWithError("store failed");
    }
    state.SetItemsProcessed(state.iterations() * kJournalRecords);
}
BENCHMARK(BM_StoreJournalPage)->Unit(benchmark::kMicrosecond);

void BM_StoreKeyboardPage(benchmark::State& state) {
    Bench b("ecr-bench-keys");
    Bytes page(kPageSize, 0xFF);
    for (int i = 0; i < kKeyRecords; ++i)
        EncodeKey({i, 1000 + i, i % 7, i % 3 ? "P" : "F"}, RecordAt(ByteSpan(page), i, kKeyRecordSize));
    for (auto _ : state) {
        if (!rows::StoreReceivedPage(rows::DatabaseKinds(), b.ctx, kind::Keyboard, page, 0).error.empty()) state.SkipWithError("store failed");
    }
    state.SetItemsProcessed(state.iterations() * kKeyRecords);
}
BENCHMARK(BM_StoreKeyboardPage)->Unit(benchmark::kMicrosecond);

} // namespace
