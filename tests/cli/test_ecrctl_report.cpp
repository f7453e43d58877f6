// ecrctl report: outputs, exit statuses and the CSV as written.
#include "CliHarness.h"
#include "TempDir.h"
#include "db/Schema.h"
#include "import/Spreadsheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using cli_harness::RunEcrctl;

namespace {

struct ReportCli : ::testing::Test {
    TempDir dir;
    QString db = QString::fromStdString(dir.file("ecr.db"));

    ReportCli() {
        auto d = ecr::db::OpenOrCreate(dir.file("ecr.db"));
        d->executeScript(
            "INSERT INTO info(lang) VALUES(3);"
            "INSERT INTO depart(id, name, tax) VALUES(1, 'Food', 10);"
            "INSERT INTO plurecord(billnumber, pluid, pluname, price, quantity, time, operation, depart, departname,"
            " taxvalue, cashier, opentable, sid) VALUES"
            "(1, '1', 'Apple, red', 22, 2, '2024-03-05 00:00:00', 0, 1, 'Food', 10, 1, 0, 0),"
            "(2, '1', 'Apple, red', -11, -1, '2024-03-05 23:59:59', 8, 1, 'Food', 10, 1, 0, 1),"
            "(3, '1', 'Apple, red', 99, 9, '2024-03-06 00:00:00', 0, 1, 'Food', 10, 1, 0, 2);"
            "INSERT INTO member(userid, username, score, useraddress, tel) VALUES"
            "('0001', 'Ann', 100, 'Main \"A\" St', '0123'), ('0002', 'Bob', 101, '', '');");
    }
    QStringList args(std::initializer_list<const char*> rest) const {
        QStringList a{"--db", db, "report"};
        for (const char* r : rest) a << r;
        return a;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
};

} // namespace

TEST_F(ReportCli, CsvOnStandardOutput) {
    auto r = RunEcrctl(args({"lines", "--depart", "1", "--from", "2024-03-05", "--to", "2024-03-05", "--csv", "-"}));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Bill No.,Time,PLU Code,PLU Name,Dept. No.,Dept. Name,Quantity,Price,Tax\r\n"
                     "1,2024-03-05 00:00:00,1,\"Apple, red\",1,Food,2,22.00,2.00\r\n"
                     "2,2024-03-05 23:59:59,1,\"Apple, red\",1,Food,-1,-11.00,-1.00\r\n"
                     "\r\n"
                     "Bills,2\r\n"
                     "Sales,22.00\r\n"
                     "Return Qty,-1\r\n"
                     "Return Amount,-11.00\r\n"
                     "Net Sales,11.00\r\n"
                     "Total Tax,1.00\r\n");

    // Members: scores above the number; text kept as typed.
    r = RunEcrctl(args({"members", "--score", "100", "--csv", "-"}));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Member Code,Name,Points,Address,Phone\r\n0002,Bob,101,,\r\n");
    r = RunEcrctl(args({"members", "--csv", "-"}));
    EXPECT_EQ(r.out, "Member Code,Name,Points,Address,Phone\r\n0001,Ann,100,\"Main \"\"A\"\" St\",0123\r\n0002,Bob,101,,\r\n");
}

TEST_F(ReportCli, EveryOutputAtOnceAndTimesToTheSecond) {
    const std::string csv = dir.file("d.csv"), xlsx = dir.file("d.xlsx"), pdf = dir.file("d.pdf");
    auto r = RunEcrctl(args({"departments", "--from", "2024-03-05 00:00:00", "--to", "2024-03-05 23:59:58", "--csv",
                             csv.c_str(), "--xlsx", xlsx.c_str(), "--pdf", pdf.c_str()}));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(read(csv), "Dept. No.,Dept. Name,Sales Amount,Sales Qty,Return Amount,Return Qty,Tax\r\n"
                         "1,Food,22.00,2,0.00,0,2.00\r\n\r\nTotal Sales,22.00\r\nTotal Returns,0.00\r\n");
    EXPECT_EQ(ecr::sheets::ReadFirstSheet(xlsx).at(3, 1).text, "Food");
    EXPECT_EQ(read(pdf).substr(0, 5), "%PDF-");
}

TEST_F(ReportCli, ExitStatuses) {
    struct Case {
        QStringList args;
        int code;
        const char* err; // part of standard error
    };
    const std::string out = dir.file("x.csv");
    const Case cases[] = {
        {args({"nonsense", "--csv", "-"}), 2, "no report named nonsense"},
        {args({"lines", "--csv", "-"}), 2, "lines needs --depart"},
        {args({"plu-lines", "--csv", "-"}), 2, "plu-lines needs --plu"},
        {args({"summary"}), 2, "no output"},
        {args({"summary", "--from", "2024-02-30", "--csv", "-"}), 2, "bad time 2024-02-30"},
        {args({"lines", "--depart", "x1", "--csv", "-"}), 2, "--depart takes"},
        {args({"members", "--score", "many", "--csv", "-"}), 2, "--score takes"},
        {args({"summary", "--csv"}), 2, "--csv needs a value"},
        {args({"summary", "--bogus", "1", "--csv", "-"}), 2, "unknown option --bogus"},
        {args({"summary", "--csv", dir.file("no/such/dir/x.csv").c_str()}), 1, "Cannot write"},
        {args({"summary", "--xlsx", dir.file("no/such/dir/x.xlsx").c_str()}), 1, "Cannot write"},
        {args({"summary", "--pdf", dir.file("no/such/dir/x.pdf").c_str()}), 1, "Cannot write"},
        {{"--db", QString::fromStdString(dir.file("missing.db")), "report", "summary", "--csv", "-"}, 1,
         "cannot open database"},
        // An end before the start: an empty report, said on stderr, still written.
        {args({"summary", "--from", "2024-03-05 23:59:59", "--to", "2024-03-05 00:00:00", "--csv", out.c_str()}), 0,
         "No matching data was found."},
    };
    for (const Case& c : cases) {
        const auto r = RunEcrctl(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args.join(' ').toStdString() << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.db")));
    EXPECT_EQ(read(out).substr(0, 21), "Item,Value\r\nBills,0\r\n");
}
