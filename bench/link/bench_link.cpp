// Register link throughput: frame building and the dispatcher on their own,
// then whole requests against ecr-sim on a pseudo-terminal, unpaced (our own
// cost per page) and paced at 115200 baud (compared with the wire time).
#include "app/AppState.h"
#include "app/Config.h"
#include "db/Schema.h"
#include "link/Clock.h"
#include "link/Frames.h"
#include "link/ReceiveFrame.h"
#include "link/SerialTransport.h"
#include "link/TransferEngine.h"
#include "records/PageKinds.h"
#include "records/rows/DbPageIO.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QProcess>

#include <chrono>
#include <filesystem>
#include <memory>

using namespace ecr;
using namespace ecr::link;

namespace {

void BM_PageWriteFrame(benchmark::State& state) {
    const Bytes data(4096, 0x5A);
    for (auto _ : state) benchmark::DoNotOptimize(PageWriteFrame(4192, data));
    state.SetBytesProcessed(state.iterations() * 4102);
}
BENCHMARK(BM_PageWriteFrame);

// One page reply fed as a pseudo-terminal delivers it (4095 + 7), no store.
void BM_DispatcherPage(benchmark::State& state) {
    const Bytes f = PageFrame(code::Page, 4192, Bytes(4096, 0x33));
    ReceiveFrame rx([](int, ByteView, int) { return std::string(); });
    for (auto _ : state) {
        rx.begin({4192, 4192});
        rx.feed(ByteView(f).first(4095));
        benchmark::DoNotOptimize(rx.feed(ByteView(f).subspan(4095)));
    }
    state.SetBytesProcessed(state.iterations() * 4102);
}
BENCHMARK(BM_DispatcherPage);

// ecr-sim in a child process, a database and an engine on a real serial port.
struct Rig {
    QProcess sim;
    QString path;
    std::filesystem::path dir;
    std::unique_ptr<db::Database> db;
    std::unique_ptr<rows::DbPageIO> io;
    std::unique_ptr<SerialTransport> port;
    QtClock clock;
    std::unique_ptr<TransferEngine> engine;

    explicit Rig(QStringList simArgs) {
        sim.start(ECR_SIM, simArgs << "--quiet" << "--demo");
        if (sim.waitForReadyRead(5000)) path = QString::fromLocal8Bit(sim.readLine()).trimmed();
        dir = std::filesystem::temp_directory_path() / ("ecr-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        db = db::OpenOrCreate((dir / "ecr.db").string());
        App() = AppState{};
        App().conn = db.get();
        LoadStartupState(*db, App());
        io = std::make_unique<rows::DbPageIO>(*db, App());
        const std::string device = path.toStdString();
        port = std::make_unique<SerialTransport>([device] { return PortSettings{device, 115200}; });
        engine = std::make_unique<TransferEngine>(*port, *io, clock);
    }
    ~Rig() {
        engine.reset();
        App().conn = nullptr;
        db.reset();
        sim.terminate();
        sim.waitForFinished(3000);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    // Runs one transfer to its end on this thread's event loop.
    TransferResult run(const std::function<bool(TransferEngine&)>& start) {
        TransferResult result;
        QEventLoop loop;
        auto c = QObject::connect(engine.get(), &TransferEngine::finished, [&](const TransferResult& r) {
            result = r;
            loop.quit();
        });
        if (start(*engine)) loop.exec();
        QObject::disconnect(c);
        return result;
    }
};

PagedJob pages(int base, int count) {
    PagedJob j;
    j.direction = Direction::Read;
    j.base = base;
    j.first = 0;
    j.last = count - 1;
    j.retries = true;
    return j;
}

// The cashier upload as the editor runs it: open, request, reply, 100 records
// stored in one transaction, close.
void BM_CashierUploadUnpaced(benchmark::State& state) {
    Rig rig({});
    for (auto _ : state) {
        if (rig.run([](TransferEngine& e) { return e.uploadSingle(records::kind::Cashier); }).outcome != Outcome::Done)
            state.SkipWithError("upload failed");
    }
}
BENCHMARK(BM_CashierUploadUnpaced)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening and closing the port alone (each single-page transfer does both).
void BM_PortOpenClose(benchmark::State& state) {
    Rig rig({});
    for (auto _ : state) {
        QString err;
        int code = 0;
        if (!rig.port->open(err, code)) state.SkipWithError("open failed");
        rig.port->close();
    }
}
BENCHMARK(BM_PortOpenClose)->Unit(benchmark::kMillisecond)->UseRealTime();

// Round trip per page inside one paged run, pages with no parser: the link's
// own overhead (frame out, page back through the pty, checks).
void BM_PagedReadPerPageUnpaced(benchmark::State& state) {
    Rig rig({});
    constexpr int kPages = 32;
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (rig.run([](TransferEngine& e) { return e.startPaged(pages(0x2000, kPages)); }).outcome != Outcome::Done)
            state.SkipWithError("paged read failed");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ms_per_page"] = total * 1000.0 / (static_cast<double>(state.iterations()) * kPages);
}
BENCHMARK(BM_PagedReadPerPageUnpaced)->Unit(benchmark::kMillisecond)->UseRealTime();

// Pages paced at 115200 baud: each page costs 4107 bytes x 10 bits on the
// wire (5-byte request, 4102-byte reply). ratio = measured / wire time.
void pacedRun(benchmark::State& state, int base, int count) {
    Rig rig({"--baud", "115200"});
    const double wire = count * 4107.0 * 10.0 / 115200.0;
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (rig.run([&](TransferEngine& e) { return e.startPaged(pages(base, count)); }).outcome != Outcome::Done)
            state.SkipWithError("paced run failed");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double perRun = total / static_cast<double>(state.iterations());
    state.counters["pages"] = count;
    state.counters["wire_s"] = wire;
    state.counters["ratio"] = perRun / wire;
    state.counters["ms_over_wire_per_page"] = (perRun - wire) * 1000.0 / count;
}
void BM_PacedRunNoParser(benchmark::State& state) { pacedRun(state, 0x2000, 16); }
void BM_PacedRunPlu(benchmark::State& state) { pacedRun(state, records::kind::Plu, 16); }
BENCHMARK(BM_PacedRunNoParser)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_PacedRunPlu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules("ecr.*.debug=false");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
