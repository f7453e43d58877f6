// What a key editor refresh costs: the faces of every key of the 93-key
// layout with all 101 level addresses and key 101 given PLUs (half of them
// not in a list of 10,240 PLUs) and the rest of the 385 records blank, as an
// upload leaves them; and storing one key's three levels.
#include "db/Schema.h"
#include "keyboard/KeyModel.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace ecr;
using namespace ecr::keyboard;

namespace {

struct KeyDb {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "ecr-bench-keyboard.db";
    std::unique_ptr<db::Database> db;
    KeyDb() {
        std::filesystem::remove(path);
        db = db::OpenOrCreate(path.string());
        db::Transaction tx(*db);
        for (int i = 0; i < 10240; ++i)
            db->execute("INSERT INTO plu(id, name, sid) VALUES(?, 'x', ?)",
                        {std::to_string(6900000000 + i), (i / 64) * 100 + i % 64});
        for (int a = 0; a < 385; ++a) {
            if (a >= 1 && a <= 101) {
                // Odd addresses name a PLU of the list, even ones a missing one.
                const auto w = PluWords(std::to_string(6900000000 + a + (a % 2 ? 0 : 20000)));
                db->execute("INSERT INTO hotkey VALUES(?, ?, ?, 'P')", {a, w->first, w->second});
            } else {
                db->execute("INSERT INTO hotkey VALUES(?, 0, 0, '')", {a});
            }
        }
        tx.commit();
    }
    ~KeyDb() {
        db.reset();
        std::filesystem::remove(path);
    }
};

KeyDb& data() {
    static KeyDb d;
    return d;
}

void BM_KeyFaces93(benchmark::State& state) {
    KeyboardStore store(*data().db, LayoutAt(kKey93), 3);
    for (auto _ : state) {
        auto faces = store.faces();
        benchmark::DoNotOptimize(faces.size());
    }
}
BENCHMARK(BM_KeyFaces93)->Unit(benchmark::kMillisecond);

void BM_StoreKeyLevels(benchmark::State& state) {
    KeyboardStore store(*data().db, LayoutAt(kKey59), 3);
    for (auto _ : state) store.store(32, {KeyAssignment::Kind::Plu, {"6900000001", "6900000002", "12345678"}, 0});
}
BENCHMARK(BM_StoreKeyLevels)->Unit(benchmark::kMillisecond);

} // namespace
