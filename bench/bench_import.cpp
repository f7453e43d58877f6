// PLU import of 10,240 rows from each format, read and written into an empty
// table in one transaction; and the reading alone.
#include "app/CodePage.h"
#include "db/Schema.h"
#include "import/PluImport.h"

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>

using namespace ecr;

namespace {

namespace fs = std::filesystem;

const char* kNames[] = {"可口可乐", "Apple juice 1L", "面包", "Tea & Co.", "牛奶 250ml"};

struct Files {
    fs::path dir = fs::temp_directory_path() / "ecr-bench-import";
    std::string xlsx, inlineXlsx, ods, xls, csv, db;
    Files() {
        fs::remove_all(dir);
        fs::create_directories(dir);
        xlsx = (dir / "plu.xlsx").string();
        inlineXlsx = (dir / "plu-inline.xlsx").string();
        csv = (dir / "plu.csv").string();
        xls = (dir / "plu.xls").string();
        ods = std::string(ECR_BENCH_DATA) + "/plu-10240.ods";
        db = (dir / "ecr.db").string();

        // Shared strings (read by orcus), and inline strings as most scripts
        // write them (read from the workbook's parts).
        lxw_workbook_options inlineStrings{};
        inlineStrings.constant_memory = LXW_TRUE;
        lxw_workbook* wb = workbook_new(xlsx.c_str());
        lxw_workbook* wbInline = workbook_new_opt(inlineXlsx.c_str(), &inlineStrings);
        lxw_worksheet* ws = workbook_add_worksheet(wb, "PLU");
        lxw_worksheet* wsInline = workbook_add_worksheet(wbInline, "PLU");
        std::ofstream out(csv);
        out << "Code,Name,Dept,Price,Member,Average,Min stock,Stock,Open\n";
        for (int i = 1; i <= import::kMaxImportRows; ++i) {
            const auto r = static_cast<lxw_row_t>(i);
            const std::string code = std::to_string(i % 2 ? 1000000000000LL + i : 690000000LL + i);
            const double values[] = {static_cast<double>(i % 100), (i % 5000) / 100.0, (i % 700) / 4.0, 0.5,
                                     static_cast<double>(i % 40), (i % 1000) / 8.0};
            for (lxw_worksheet* sheet : {ws, wsInline}) {
                if (i % 2)
                    worksheet_write_string(sheet, r, 0, code.c_str(), nullptr);
                else
                    worksheet_write_number(sheet, r, 0, 690000000.0 + i, nullptr);
                worksheet_write_string(sheet, r, 1, kNames[i % 5], nullptr);
                for (int c = 0; c < 6; ++c) worksheet_write_number(sheet, r, static_cast<lxw_col_t>(c + 2), values[c], nullptr);
                worksheet_write_string(sheet, r, 8, i % 3 ? "YES" : "NO", nullptr);
            }
            out << code << ",\"" << kNames[i % 5] << "\"";
            for (double v : values) out << "," << v;
            out << (i % 3 ? ",YES\n" : ",NO\n");
        }
        workbook_close(wb);
        workbook_close(wbInline);

        gzFile in = gzopen((std::string(ECR_BENCH_DATA) + "/plu-10240.xls.gz").c_str(), "rb");
        std::ofstream x(xls, std::ios::binary);
        char buf[65536];
        for (int n; in && (n = gzread(in, buf, sizeof buf)) > 0;) x.write(buf, n);
        if (in) gzclose(in);
    }
    ~Files() { fs::remove_all(dir); }
    const std::string& of(int format) const {
        switch (format) {
        case 0: return xlsx;
        case 1: return ods;
        case 2: return xls;
        case 3: return csv;
        default: return inlineXlsx;
        }
    }
};

const Files& files() {
    static Files f;
    return f;
}

const char* kFormats[] = {"xlsx", "ods", "xls", "csv", "xlsx, inline strings"};

void BM_ImportPlu(benchmark::State& state) {
    const Files& f = files();
    SetRegisterCodePage("CP936");
    const std::string path = f.of(static_cast<int>(state.range(0)));
    fs::remove(f.db);
    auto db = db::OpenOrCreate(f.db);
    const auto settings = import::ReadImportSettings(*db, 3);
    state.SetLabel(kFormats[state.range(0)]);
    for (auto _ : state) {
        state.PauseTiming();
        db->execute("DELETE FROM plu");
        state.ResumeTiming();
        const auto sheet = import::ReadImportFile(path);
        import::ImportWriter writer(*db, sheet, settings);
        writer.finish();
        if (writer.plan().inserts != import::kMaxImportRows) state.SkipWithError("not every row was imported");
    }
}
BENCHMARK(BM_ImportPlu)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadImportFile(benchmark::State& state) {
    const std::string path = files().of(static_cast<int>(state.range(0)));
    state.SetLabel(kFormats[state.range(0)]);
    for (auto _ : state) {
        const auto sheet = import::ReadImportFile(path);
        benchmark::DoNotOptimize(sheet.rows.data());
    }
}
BENCHMARK(BM_ReadImportFile)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
