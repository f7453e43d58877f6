// Filling one page of the PLU list form out of 10,240 PLUs: the query and
// the 30 rows put into the list view, as the paging buttons do it.
#include "app/AppState.h"
#include "db/Schema.h"
#include "editors/PluForm.h"

#include <QApplication>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace ecr;

namespace {

struct PluDb {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "ecr-bench-pluform.db";
    std::unique_ptr<db::Database> db;
    PluDb() {
        std::filesystem::remove(path);
        db = db::OpenOrCreate(path.string());
        db::Transaction tx(*db);
        for (int i = 0; i < 20; ++i) db->execute("INSERT INTO depart(id, name) VALUES(?, ?)", {i, "Dept " + std::to_string(i)});
        for (int i = 0; i < 10240; ++i)
            db->execute("INSERT INTO plu(id, name, depart, price, safestock, stockvalue, a0, memberprice, AveragePrice, "
                        "sid) VALUES(?,?,?,?,?,?,?,?,?,?)",
                        {std::to_string(690000 + i * 7 % 10240), "Article " + std::to_string(i), i % 20, 12.5, 1.0,
                         100.0, i % 2, 11.0, 8.0, (i / 64) * 100 + i % 64});
        tx.commit();
        App().conn = db.get();
    }
    ~PluDb() {
        App().conn = nullptr;
        db.reset();
        std::filesystem::remove(path);
    }
};

// Arg 0: every PLU, 1: one department. The moves alternate so each call
// fills a different page.
void BM_PluFormFillPage(benchmark::State& state) {
    static PluDb data;
    editors::PluForm form;
    QTreeWidget* tree = form.tree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    tree->setCurrentItem(root->child(state.range(0) ? 8 : 0));
    bool forward = true;
    for (auto _ : state) {
        form.FillData(forward ? "last" : "first");
        forward = !forward;
        benchmark::DoNotOptimize(form.list()->topLevelItemCount());
    }
    state.counters["rows"] = form.list()->topLevelItemCount();
}
BENCHMARK(BM_PluFormFillPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
