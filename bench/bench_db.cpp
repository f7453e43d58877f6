// 10,240 PLU row inserts in one transaction with a prepared statement.
#include "db/Schema.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace ecr::db;

namespace {

void BM_Insert10240PluRows(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "ecr-bench-insert.db";
    std::filesystem::remove(path);
    auto db = OpenOrCreate(path.string());
    for (auto _ : state) {
        state.PauseTiming();
        db->execute("DELETE FROM plu");
        state.ResumeTiming();
        Transaction tx(*db);
        auto& st = db->prepared("INSERT INTO plu(id, name, depart, price, safestock, stockvalue, a0, memberprice, "
                                "AveragePrice, sid) VALUES(?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < 10240; ++i)
            st.run({std::to_string(100000 + i), "Article name 20 byte", i % 99, 12.5, 0.0, 100.0, 0, 11.0, 8.0,
                    (i / 64) * 100 + i % 64});
        tx.commit();
    }
    state.SetItemsProcessed(state.iterations() * 10240);
    db.reset();
    std::filesystem::remove(path);
}
BENCHMARK(BM_Insert10240PluRows)->Unit(benchmark::kMillisecond);

} // namespace
