// ecrctl import-plu end to end: what it prints and returns, and 10,240
// imported PLUs that survive a download to ecr-sim and an upload into an
// empty database unchanged.
#include "CliHarness.h"
#include "TempDir.h"
#include "db/Schema.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <fstream>

using cli_harness::Result;
using cli_harness::RunEcrctl;
using cli_harness::Sim;

namespace {

struct ImportE2E : ::testing::Test {
    TempDir dir;
    std::string dbPath = dir.file("ecr.db");

    Result run(const std::string& db, QStringList args) {
        return RunEcrctl(QStringList{"--db", QString::fromStdString(db)} + args);
    }
    std::string dump(const std::string& db) {
        auto d = ecr::db::OpenOrCreate(db);
        std::string s;
        for (const auto& row : d->query("SELECT id,name,depart,price,memberprice,AveragePrice,safestock,stockvalue,a0,sid "
                                        "FROM plu ORDER BY sid")
                                   .rows) {
            for (const auto& v : row) s += v.toText() + "|";
            s += "\n";
        }
        return s;
    }
    // An English-speaking database, so the reasons read in English.
    void english(const std::string& db) {
        auto d = ecr::db::OpenOrCreate(db);
        d->execute("INSERT INTO info(lang) SELECT 3 WHERE NOT EXISTS (SELECT 1 FROM info)");
        d->execute("UPDATE info SET lang = 3, keyboard = 2"); // a model with 160 PLU pages
    }
};

// Rows of every kind of value the register keeps: codes up to 16 digits,
// Chinese and Latin names of up to 20 bytes, departments, prices with two
// decimals, stocks with three, both flags.
std::string writeBigWorkbook(const std::string& path, int rows) {
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "PLU");
    const char* headings[] = {"Code", "Name", "Dept", "Price", "Member", "Average", "Min stock", "Stock", "Open"};
    for (int c = 0; c < 9; ++c) worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), headings[c], nullptr);
    const char* names[] = {"可口可乐", "Apple juice 1L", "一二三四五六七八九十", "Tea & Co. 'Earl'", "面包"};
    for (int i = 1; i <= rows; ++i) {
        const auto r = static_cast<lxw_row_t>(i);
        if (i % 3 == 0)
            worksheet_write_number(ws, r, 0, 6900000000000.0 + i, nullptr);
        else
            worksheet_write_string(ws, r, 0, (i % 3 == 1 ? "0" + std::to_string(100000 + i) : std::to_string(1000000000000000LL + i)).c_str(), nullptr);
        worksheet_write_string(ws, r, 1, (std::string(names[i % 5]).substr(0, i % 5 == 1 ? 10 : 30)).c_str(), nullptr);
        worksheet_write_number(ws, r, 2, i % 100, nullptr);
        worksheet_write_number(ws, r, 3, (i % 50000) / 100.0, nullptr);
        worksheet_write_number(ws, r, 4, (i % 700) / 4.0, nullptr);
        worksheet_write_number(ws, r, 5, 0.01 * (i % 9), nullptr);
        worksheet_write_number(ws, r, 6, (i % 1000) / 8.0, nullptr);
        worksheet_write_number(ws, r, 7, -0.125 * (i % 77), nullptr);
        worksheet_write_string(ws, r, 8, i % 2 ? "yes" : "no", nullptr);
    }
    EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
    return path;
}

} // namespace

TEST_F(ImportE2E, TenThousandRowsSurviveADownloadAndAnUploadUnchanged) {
    const std::string file = writeBigWorkbook(dir.file("plu.xlsx"), 10240);
    english(dbPath);
    Result r = run(dbPath, {"import-plu", QString::fromStdString(file)});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 200), "inserted 10240, updated 0, rejected 0\n");
    const std::string imported = dump(dbPath);
    ASSERT_EQ(std::count(imported.begin(), imported.end(), '\n'), 10240);

    Sim sim({});
    ASSERT_FALSE(sim.path.isEmpty());
    r = run(dbPath, {"--port", sim.path, "download", "plu"});
    ASSERT_EQ(r.code, 0) << r.err;

    const std::string empty = dir.file("empty.db");
    r = run(empty, {"--port", sim.path, "upload", "plu"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(dump(empty), imported);
}

TEST_F(ImportE2E, OutputAndExitStatus) {
    english(dbPath);
    const std::string fixtures = ECR_FIXTURES;
    const std::string expectedOut = "inserted 5, updated 0, rejected 4\n"
                                    "row 3: The same code is in row 9 further down; that row is imported.\n"
                                    "row 4: PLU Code: a code has 1 to 16 digits.\n"
                                    "row 5: PLU Code: 2024-01-02 is a date, not a code.\n"
                                    "row 7: Name: the register's character set has no \"\U0001F600\".\n"
                                    "row 8: warning: Name: cut to the 20 bytes the register holds: \"一二三四五六七八九十\".\n";
    struct Case {
        QStringList args;
        int code;
        std::string out;
        std::string errStart;
        int rowsAfter;
    };
    const Case cases[] = {
        {{"import-plu", QString::fromStdString(fixtures + "/plu.xls"), "--dry-run"}, 0, expectedOut, "", 0},
        {{"import-plu", "--dry-run", QString::fromStdString(fixtures + "/plu-openpyxl.xlsx")}, 0, expectedOut, "", 0},
        {{"import-plu", QString::fromStdString(fixtures + "/plu.ods")}, 0, expectedOut, "", 5},
        {{"import-plu", QString::fromStdString(fixtures + "/plu.ods")}, 0,
         "inserted 0, updated 5, rejected 4\n" + expectedOut.substr(expectedOut.find('\n') + 1), "", 5},
        {{"import-plu", QString::fromStdString(fixtures + "/not-a-workbook.zip")}, 1, "",
         fixtures + "/not-a-workbook.zip is not a spreadsheet", 5},
        {{"import-plu", QString::fromStdString(dir.file("missing.csv"))}, 1, "", dir.file("missing.csv") + " cannot be read", 5},
        // The database itself is never read as a spreadsheet.
        {{"import-plu", QString::fromStdString(dbPath)}, 1, "", dbPath + " is not a spreadsheet", 5},
        {{"import-plu"}, 2, "", "ecrctl: import-plu needs a FILE", 5},
        {{"import-plu", "a.xlsx", "b.xlsx"}, 2, "", "ecrctl: unexpected argument b.xlsx", 5},
        {{"import-plu", "a.xlsx", "--force"}, 2, "", "ecrctl: unexpected argument --force", 5},
    };
    for (const auto& c : cases) {
        const Result r = run(dbPath, c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.code, c.code) << what << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << what;
        EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << what;
        const std::string rows = dump(dbPath);
        EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), c.rowsAfter) << what;
    }
}

TEST_F(ImportE2E, LanguageOfTheRunNamesTheReasons) {
    english(dbPath);
    const Result r = run(dbPath, {"--lang", "1", "import-plu", "--dry-run",
                                  QString::fromStdString(std::string(ECR_FIXTURES) + "/plu.xls")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1),
              "inserted 5, updated 0, rejected 4\nrow 3: 下面第9行有相同的编码，导入的是该行。\n");
}

TEST_F(ImportE2E, ADatabaseErrorWritesNothing) {
    english(dbPath);
    Result r = run(dbPath, {"import-plu", QString::fromStdString(ECR_FIXTURES) + "/plu-gbk.csv"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string before = dump(dbPath);

    ecr::db::OpenOrCreate(dbPath)->execute(
        "CREATE TRIGGER full BEFORE INSERT ON plu WHEN NEW.id = '2002' BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    r = run(dbPath, {"import-plu", QString::fromStdString(ECR_FIXTURES) + "/plu.xls"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Import failed. See the file ecr.log for details.\ndisk is full\n");
    EXPECT_EQ(dump(dbPath), before);
    std::ifstream log(dir.file("ecr.log"));
    const std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("Location:      frmImport_cmdImport_Click"), std::string::npos) << logged;
    EXPECT_NE(logged.find("disk is full"), std::string::npos) << logged;
}
