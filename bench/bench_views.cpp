// The sales journal viewer on a full journal: 2048 pages of 128 lines
// (262,144 lines), either over 24 months or all in one month. The month
// tree, a page of a month's bills (first and last) and a page of a bill's
// lines, each as the form reads them: counted, then the page's rows.
#include "db/Schema.h"
#include "views/JournalQueries.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>

using namespace ecr;
using namespace ecr::views;

namespace {

constexpr int kPages = 2048, kRecords = 128, kLinesPerBill = 4;

struct Journal {
    std::filesystem::path path;
    std::unique_ptr<db::Database> db;
    std::string busiest; // the month with the most lines
    long long bill = 0;  // a bill of that month

    explicit Journal(int months)
        : path(std::filesystem::temp_directory_path() / ("ecr-bench-journal-" + std::to_string(months) + ".db")) {
        std::filesystem::remove(path);
        db = db::OpenOrCreate(path.string());
        db::Transaction tx(*db);
        auto& insert = db->prepared("INSERT INTO plurecord(billnumber,pluid,pluname,unitprice,price,quantity,time,"
                                    "operation,depart,departname,taxvalue,cashier,opentable,sid)"
                                    " VALUES(?,?,'Article',2.5,?,?,?,?,?,'Dept',13,?,0,?)");
        const long long total = static_cast<long long>(kPages) * kRecords;
        for (long long n = 0; n < total; ++n) {
            // Bills of four lines, numbered on from 1 to 9999 and again, a
            // few minutes apart, the journal spread evenly over the months.
            const long long b = n / kLinesPerBill;
            const int month = static_cast<int>(n * months / total);
            const int minute = static_cast<int>(b % (28 * 24 * 60));
            char time[32];
            std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:00", 2020 + month / 12, month % 12 + 1,
                          minute / (24 * 60) + 1, minute / 60 % 24, minute % 60);
            const bool payment = n % kLinesPerBill == kLinesPerBill - 1;
            insert.run({b % 9999 + 1, payment ? "" : std::to_string(690000 + n % 5000), 2.5 * (n % 3 + 1),
                        payment ? 0.0 : 1.0 + n % 2, time, payment ? 32 : 0, payment ? 0 : n % 20 + 1, b % 4 + 1,
                        (n / kRecords) * 1000 + n % kRecords});
        }
        tx.commit();
        busiest = db->scalar("SELECT substr(time,1,4) || substr(time,6,2) FROM plurecord GROUP BY substr(time,1,7)"
                             " ORDER BY count(*) DESC LIMIT 1")
                      .toText();
        bill = db->scalar("SELECT billnumber FROM plurecord WHERE substr(time,1,7)=? LIMIT 1 OFFSET 5000",
                          {MonthPrefix(busiest)})
                   .toInt();
    }
    ~Journal() {
        db.reset();
        std::filesystem::remove(path);
    }
};

Journal& journal(int months) {
    static std::map<int, std::unique_ptr<Journal>> made;
    auto& j = made[months];
    if (!j) j = std::make_unique<Journal>(months);
    return *j;
}

PagedListModel model(int columns) {
    return PagedListModel(std::vector<PagedListModel::Column>(static_cast<std::size_t>(columns)),
                          [](const PagedListModel::Row& r, int c) {
                              return QString::fromStdString(r[static_cast<std::size_t>(c)].toText());
                          });
}

void BM_MonthTree(benchmark::State& state) {
    Journal& j = journal(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(JournalMonths(*j.db));
    state.counters["months"] = static_cast<double>(JournalMonths(*j.db).size());
}

// range(1): 0 the first page, as a click on the month shows it; 1 the last.
void BM_BillPage(benchmark::State& state) {
    Journal& j = journal(static_cast<int>(state.range(0)));
    PagedListModel m = model(5);
    m.open(*j.db, BillQuery(j.busiest));
    for (auto _ : state) m.move(*j.db, state.range(1) ? PageMove::Last : PageMove::First);
    state.counters["bills"] = static_cast<double>(m.total());
}

void BM_LinePage(benchmark::State& state) {
    Journal& j = journal(static_cast<int>(state.range(0)));
    PagedListModel m = model(6);
    for (auto _ : state) m.open(*j.db, LineQuery(j.busiest, j.bill));
    state.counters["lines"] = static_cast<double>(m.total());
}

BENCHMARK(BM_MonthTree)->Arg(24)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BillPage)->Args({24, 0})->Args({24, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinePage)->Arg(24)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
