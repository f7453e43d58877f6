// Reports over a generated journal of 262,144 lines (30 days, 1,000 PLUs,
// 20 departments, 6 cashiers, bills of 7 sale lines and a payment): every
// report's figures, the preview's first page of the longest report, and the
// PDF of the journal line report over the whole journal (pages per second).
#include "app/AppState.h"
#include "db/Schema.h"
#include "reports/Renderer.h"
#include "reports/Reports.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

using namespace ecr;

namespace {

constexpr int kLines = 262144;

struct Journal {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "ecr-bench-reports.db";
    std::unique_ptr<db::Database> db;
    reports::ReportQuery all;

    Journal() {
        std::filesystem::remove(path);
        db = db::OpenOrCreate(path.string());
        App() = AppState{};
        App().conn = db.get();
        App().langCode = 3;
        db::Transaction tx(*db);
        for (int d = 0; d < 20; ++d)
            db->execute("INSERT INTO depart(id, name, tax) VALUES(?,?,?)", {d, "Department " + std::to_string(d), d % 3 * 5});
        for (int c = 1; c <= 6; ++c) db->execute("INSERT INTO cashier(id, name) VALUES(?,?)", {c, "Cashier " + std::to_string(c)});
        db->execute("INSERT INTO params(Price3, PayWay3NativeCurrency, PayWay3ForeignCurrency) VALUES('USD', 7, 1)");
        auto& plu = db->prepared("INSERT INTO plu(id, name, depart, price, AveragePrice, safestock, stockvalue, sid)"
                                 " VALUES(?,?,?,?,?,?,?,?)");
        for (int i = 0; i < 1000; ++i)
            plu.run({std::to_string(100000 + i), "Article number " + std::to_string(i), i % 20, 1.0 + i % 50,
                     0.6 + i % 50 * 0.5, 10.0, double(i % 20), (i / 64) * 100 + i % 64});
        auto& line = db->prepared(
            "INSERT INTO plurecord(billnumber, pluid, pluname, unitprice, price, quantity, time, operation, depart,"
            " departname, taxvalue, cashier, opentable, sid) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        static const int kPayments[] = {32, 33, 34, 32, 32, 35, 36, 37};
        for (int i = 0; i < kLines; ++i) {
            const int bill = i / 8 + 1;
            const int day = bill * 30 / (kLines / 8 + 1);
            const int second = (bill * 37 + i % 8 * 11) % 43200 + 7 * 3600;
            char time[32];
            std::snprintf(time, sizeof time, "2024-04-%02d %02d:%02d:%02d", day + 1, second / 3600, second / 60 % 60,
                          second % 60);
            const int p = (i * 7919) % 1000;
            const bool payment = i % 8 == 7;
            const int op = payment ? kPayments[bill % 8] : (i % 53 == 0 ? 8 : i % 5 == 0 ? 6 : i % 3);
            const double qty = payment ? 0 : (op == 8 ? -1 : 1 + i % 3);
            const double unit = 1.0 + p % 50;
            line.run({bill, payment ? std::string() : std::to_string(100000 + p),
                      payment ? std::string() : "Article number " + std::to_string(p), unit,
                      payment ? 42.0 : unit * qty, qty, time, op, payment ? 0 : p % 20,
                      payment ? std::string() : "Department " + std::to_string(p % 20), double(p % 3 * 5),
                      bill % 6 + 1, 0, i});
        }
        tx.commit();
        all.period = {"2024-04-01 00:00:00", "2024-04-30 23:59:59"};
        all.depart = "7";
        all.plu = "100007";
        all.scoreAbove = 10;
    }
    ~Journal() {
        App().conn = nullptr;
        db.reset();
        // ECR_BENCH_KEEP=1 leaves the journal for a look with sqlite3.
        if (qEnvironmentVariableIsEmpty("ECR_BENCH_KEEP")) std::filesystem::remove(path);
    }
};

Journal& journal() {
    static Journal j;
    return j;
}

void BM_Figures(benchmark::State& state, const char* name) {
    Journal& j = journal();
    const reports::ReportInfo* info = reports::FindReport(name);
    std::size_t rows = 0;
    for (auto _ : state) {
        reports::Document d = info->build(*j.db, j.all);
        rows = d.rowCount();
        benchmark::DoNotOptimize(d.rowCount());
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// What the preview does before its first page is on screen: the document,
// the first page laid out and painted at 96 dpi, and the page count.
void BM_PreviewFirstPage(benchmark::State& state) {
    Journal& j = journal();
    int pages = 0;
    for (auto _ : state) {
        reports::Document d = reports::PaymentLinesReport(*j.db, j.all);
        reports::Renderer r(d, QPageSize(QPageSize::A4), QDate(2024, 5, 1), reports::ReportFontFamily(3));
        const QSizeF size = r.pageSize() * 96 / reports::kUnitsPerInch;
        QImage image(size.toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        r.paintPageAt(p, 0, 96);
        p.end();
        if (state.range(0)) pages = r.pageCount();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["pages"] = pages;
}

// Laying out every page of the longest report, the document built beforehand.
void BM_LayOutAllPages(benchmark::State& state) {
    Journal& j = journal();
    const reports::Document d = reports::PaymentLinesReport(*j.db, j.all);
    int pages = 0;
    for (auto _ : state) {
        reports::Renderer r(d, QPageSize(QPageSize::A4), QDate(2024, 5, 1), reports::ReportFontFamily(3));
        pages = r.pageCount();
    }
    state.counters["pages"] = pages;
}

void BM_PdfOfAllJournalLines(benchmark::State& state) {
    Journal& j = journal();
    const reports::Document d = reports::PaymentLinesReport(*j.db, j.all);
    const QString path = QString::fromStdString((std::filesystem::temp_directory_path() / "ecr-bench-lines.pdf").string());
    int pages = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        reports::WritePdf(d, path, QDate(2024, 5, 1), reports::ReportFontFamily(3));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        reports::Renderer r(d, QPageSize(QPageSize::A4), QDate(2024, 5, 1), reports::ReportFontFamily(3));
        pages = r.pageCount();
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = pages * static_cast<double>(state.iterations()) / seconds;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path.toStdString())) / 1e6;
    std::filesystem::remove(path.toStdString());
}

} // namespace

BENCHMARK_CAPTURE(BM_Figures, summary, "summary")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, plu_profit, "plu-profit")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, departments, "departments")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, lines, "lines")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, plu_lines, "plu-lines")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, payments, "payments")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, returns, "returns")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, dept_prices, "dept-prices")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, cashiers, "cashiers")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, top25, "top25")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, low_stock, "low-stock")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, plu_list, "plu-list")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, members, "members")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Figures, hourly, "hourly")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewFirstPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayOutAllPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PdfOfAllJournalLines)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
