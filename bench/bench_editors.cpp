// One 30-row page of the PLU list out of 10,240 PLUs (count, page query, rows).
#include "db/Schema.h"
#include "editors/EditorLogic.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace ecr;

namespace {

struct PluDb {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "ecr-bench-plulist.db";
    std::unique_ptr<db::Database> db;
    PluDb() {
        std::filesystem::remove(path);
        db = db::OpenOrCreate(path.string());
        db::Transaction tx(*db);
        for (int i = 0; i < 10240; ++i)
            db->execute("INSERT INTO plu(id, name, depart, price, safestock, stockvalue, a0, memberprice, AveragePrice, "
                        "sid) VALUES(?,?,?,?,?,?,?,?,?,?)",
                        {std::to_string(690000 + i * 7 % 10240), "Article " + std::to_string(i), i % 20, 12.5, 1.0,
                         100.0, i % 2, 11.0, 8.0, (i / 64) * 100 + i % 64});
        tx.commit();
    }
    ~PluDb() {
        db.reset();
        std::filesystem::remove(path);
    }
};

void BM_PluListPage(benchmark::State& state) {
    static PluDb data;
    editors::PluFilter filter;
    filter.kind = state.range(0) ? editors::PluFilter::Kind::Depart : editors::PluFilter::Kind::All;
    filter.value = "7";
    const int page = state.range(1) ? 1000 : 1; // the last page is clamped
    for (auto _ : state) {
        db::Params p;
        std::string sql = editors::PluListSql(filter, p);
        auto result = data.db->queryPage(sql, p, page);
        benchmark::DoNotOptimize(result.rows.rows.data());
    }
}
BENCHMARK(BM_PluListPage)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond);

} // namespace
