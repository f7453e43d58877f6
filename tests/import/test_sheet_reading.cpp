// Sheets written and read back, and the first sheet of real files of every
// format read: the format chosen by content, the cell texts as a spreadsheet
// shows them.
#include "TempDir.h"
#include "app/CodePage.h"
#include "import/SheetReaders.h"
#include "import/Spreadsheet.h"

#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <filesystem>
#include <fstream>

using namespace ecr::sheets;
using Type = ReadCell::Type;

namespace {

std::string fixture(const char* name) { return std::string(ECR_FIXTURES) + "/" + name; }

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}

struct Expect {
    const char* ref; // "A2"
    Type type;
    const char* text;
};

void checkCells(const ReadSheet& s, std::initializer_list<Expect> cells, const std::string& what) {
    for (const auto& e : cells) {
        const int col = e.ref[0] - 'A';
        const int row = std::atoi(e.ref + 1) - 1;
        const ReadCell& c = s.at(row, col);
        EXPECT_EQ(c.type, e.type) << what << " " << e.ref;
        EXPECT_EQ(c.text, e.text) << what << " " << e.ref;
    }
}

} // namespace

TEST(SheetWriting, ColumnNames) {
    const std::pair<int, const char*> names[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {701, "ZZ"}, {702, "AAA"}};
    for (const auto& [column, name] : names) EXPECT_EQ(ColumnName(column), name) << column;
}

// What WriteXlsx writes is read back cell by cell; sheet names lose the
// characters a workbook refuses and are cut to 31.
TEST(SheetWriting, XlsxWrittenIsReadBack) {
    TempDir dir;
    SheetData s;
    s.name = "套餐";
    s.columnWidths = {20, 20, 20};
    s.rows = {{std::string("编号"), std::string("Name"), std::string("Price")},
              {std::string("00012"), std::string("O'Brien 可乐"), 3.5},
              {std::string("7"), std::monostate{}, -12.0}};
    s.boldRows = {0};
    s.merges = {{0, 0, 0, 1, Merge::Align::Center}};
    const std::string path = dir.file("out.xlsx");
    WriteXlsx(path, s);
    const ReadSheet r = ReadFirstSheet(path);
    EXPECT_EQ(r.name, "套餐");
    ASSERT_EQ(r.rows.size(), 3u);
    checkCells(r,
               {{"A1", Type::Text, "编号"},
                {"A2", Type::Text, "00012"}, // text keeps its leading zeros
                {"B2", Type::Text, "O'Brien 可乐"},
                {"C2", Type::Number, "3.5"},
                {"B3", Type::Empty, ""},
                {"C3", Type::Number, "-12"},
                {"Z99", Type::Empty, ""}},
               "written");

    s.name = "A very long report title: with/illegal*chars?";
    WriteXlsx(path, s);
    EXPECT_EQ(ReadFirstSheet(path).name, "A very long report title_ with_");
    EXPECT_THROW(WriteXlsx(dir.file("no/such/dir/x.xlsx"), s), SheetError);
}

// The same sheet written by openpyxl (absolute part names, inline strings,
// formulas without stored results) and saved by LibreOffice as .ods and .xls.
TEST(SheetReading, FixturesOfEveryFormatReadAlike) {
    const std::pair<const char*, SheetFormat> files[] = {
        {"plu-openpyxl.xlsx", SheetFormat::Xlsx}, {"plu.ods", SheetFormat::Ods}, {"plu.xls", SheetFormat::Xls}};
    for (const auto& [file, format] : files) {
        const ReadSheet s = ReadFirstSheet(fixture(file));
        EXPECT_EQ(s.format, format) << file;
        EXPECT_EQ(s.name, "PLU") << file;
        ASSERT_EQ(s.rows.size(), 12u) << file;
        checkCells(s,
                   {{"A1", Type::Text, "Code"},
                    {"A2", Type::Text, "001"}, // a text cell keeps its leading zero
                    {"E2", Type::Number, "2.3"},
                    {"A3", Type::Number, "1001"}, // a numeric code, as shown
                    {"B3", Type::Text, "可乐"},
                    {"C3", Type::Number, "123"},
                    {"E3", Type::Empty, ""},
                    {"A4", Type::Text, "123456789012345678901"},
                    {"A5", Type::Date, "2024-01-02"},
                    {"A6", Type::Number, "1002"}, // =1000+2
                    {"B6", Type::Text, "Formula"}, // ="For"&"mula"
                    {"D6", Type::Number, "5"},     // =D2*2
                    {"G6", Type::Number, "1.5"},
                    {"B7", Type::Text, "Smile \U0001F600"},
                    {"D8", Type::Number, "9.99"},
                    {"B8", Type::Text, "一二三四五六七八九十百"},
                    {"C10", Type::Text, "8x"},
                    {"A11", Type::Empty, ""},
                    {"B11", Type::Text, "after the end"},
                    {"A12", Type::Text, "4004"}},
                   file);
    }
}

TEST(SheetReading, GbkCsvWithQuotedSeparatorsAndLineBreaks) {
    const ReadSheet s = ReadFirstSheet(fixture("plu-gbk.csv"));
    EXPECT_EQ(s.format, SheetFormat::Csv);
    ASSERT_EQ(s.rows.size(), 5u);
    checkCells(s, {{"A2", Type::Number, "0012"}, // the text as written: leading zeros stay
                   {"B2", Type::Text, "苹果"},
                   {"D2", Type::Number, "3.5"},
                   {"I2", Type::Text, "是"},
                   {"B3", Type::Text, "梨;红"},
                   {"B4", Type::Text, "葡萄\n新疆"},
                   {"B5", Type::Text, "\"大\"枣"},
                   {"I5", Type::Empty, ""}},
               "gbk");
    EXPECT_DOUBLE_EQ(s.at(1, 3).number, 3.5);
}

TEST(SheetReading, FormatIsChosenByContentNotName) {
    TempDir dir;
    const std::pair<const char*, const char*> renamed[] = {
        {"plu.xls", "sheet.csv"}, {"plu.ods", "sheet.xlsx"}, {"plu-openpyxl.xlsx", "sheet.ods"}, {"plu-gbk.csv", "sheet.xls"}};
    for (const auto& [from, to] : renamed) {
        const std::string copy = dir.file(to);
        std::filesystem::copy_file(fixture(from), copy, std::filesystem::copy_options::overwrite_existing);
        EXPECT_EQ(DetectFormat(copy), DetectFormat(fixture(from))) << from;
        EXPECT_EQ(ReadFirstSheet(copy).at(1, 1).text, ReadFirstSheet(fixture(from)).at(1, 1).text) << from;
    }
}

TEST(SheetReading, FilesThatAreNotSpreadsheetsAreRefused) {
    TempDir dir;
    writeFile(dir.file("image.csv"), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    writeFile(dir.file("broken.xlsx"), "PK\x03\x04 this is not really a zip");
    writeFile(dir.file("broken.xls"), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
    const std::pair<std::string, ReadError::Kind> cases[] = {
        {dir.file("missing.xlsx"), ReadError::Kind::Unreadable},
        {dir.file("image.csv"), ReadError::Kind::NotASpreadsheet},
        {fixture("not-a-workbook.zip"), ReadError::Kind::NotASpreadsheet},
        {dir.file("broken.xlsx"), ReadError::Kind::Unreadable},
        {dir.file("broken.xls"), ReadError::Kind::Unreadable},
    };
    for (const auto& [path, kind] : cases) {
        try {
            ReadFirstSheet(path);
            ADD_FAILURE() << path << " was read";
        } catch (const ReadError& e) {
            EXPECT_EQ(e.kind(), kind) << path << ": " << e.what();
        }
    }
}

// A workbook written by libxlsxwriter goes through orcus; the part reader
// that takes over from orcus reads the same file to the same cells.
TEST(SheetReading, XlsxThroughOrcusAndThroughItsPartsAgree) {
    TempDir dir;
    const std::string path = dir.file("w.xlsx");
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "货品");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_format* money = workbook_add_format(wb);
    format_set_num_format(money, "0.00");
    worksheet_write_string(ws, 0, 0, "Code", nullptr);
    worksheet_write_string(ws, 1, 0, "0042", nullptr);
    worksheet_write_number(ws, 1, 1, 1.5, money);
    worksheet_write_formula(ws, 1, 2, "=B2*4", nullptr); // stored result 0: calculated again
    lxw_datetime when = {2023, 12, 31, 18, 30, 0};
    worksheet_write_datetime(ws, 2, 0, &when, date);
    worksheet_write_boolean(ws, 2, 1, 1, nullptr);
    worksheet_write_formula(ws, 2, 2, "=\"A\"&\"B\"", nullptr);
    worksheet_write_number(ws, 3, 0, 6901234567890.0, nullptr);
    worksheet_write_number(ws, 3, 1, 1.0 / 3, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    const ReadSheet viaOrcus = ReadFirstSheet(path);
    const ReadSheet viaParts = detail::ReadXlsxPackage(path, {});
    for (const ReadSheet* s : {&viaOrcus, &viaParts}) {
        EXPECT_EQ(s->name, "货品");
        checkCells(*s,
                   {{"A2", Type::Text, "0042"},
                    {"B2", Type::Number, "1.5"},
                    {"C2", Type::Number, "6"},
                    {"A3", Type::Date, "2023-12-31 18:30:00"},
                    {"B3", Type::Number, "TRUE"},
                    {"C3", Type::Text, "AB"},
                    {"A4", Type::Number, "6901234567890"},
                    {"B4", Type::Number, "0.333333333333333"}},
                   s == &viaOrcus ? "orcus" : "parts");
    }
}

// Inline-string cells (what libxlsxwriter writes in constant-memory mode and
// most scripts write) are skipped by orcus; they are read all the same.
TEST(SheetReading, InlineStringsAreRead) {
    TempDir dir;
    const std::string path = dir.file("inline.xlsx");
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "PLU");
    worksheet_write_string(ws, 0, 0, "Code", nullptr);
    worksheet_write_string(ws, 1, 0, "0042", nullptr);
    worksheet_write_string(ws, 1, 1, "可乐", nullptr);
    worksheet_write_number(ws, 1, 2, 7, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    const ReadSheet s = ReadFirstSheet(path);
    ASSERT_EQ(s.rows.size(), 2u);
    checkCells(s, {{"A1", Type::Text, "Code"}, {"A2", Type::Text, "0042"}, {"B2", Type::Text, "可乐"}, {"C2", Type::Number, "7"}},
               "inline");
}

TEST(SheetReading, LimitsKeepAStrayFarCellFromFillingMemory) {
    TempDir dir;
    const std::string path = dir.file("far.xlsx");
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    for (int r = 0; r < 30; ++r) worksheet_write_number(ws, static_cast<lxw_row_t>(r), 0, r, nullptr);
    worksheet_write_string(ws, 1048000, 16000, "far away", nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    const ReadSheet s = ReadFirstSheet(path, {20, 9});
    ASSERT_EQ(s.rows.size(), 20u);
    EXPECT_EQ(s.at(19, 0).text, "19");
    for (const auto& row : s.rows) EXPECT_LE(row.size(), 9u);

    const ReadSheet csv = ReadCsv("a,b,c,d\n1,2,3,4\n5,6,7,8\n", {2, 2});
    ASSERT_EQ(csv.rows.size(), 2u);
    EXPECT_EQ(csv.rows[1].size(), 2u);
}

TEST(SheetReading, CsvEncodingsSeparatorsAndQuoting) {
    ASSERT_TRUE(ecr::SetRegisterCodePage("CP936"));
    struct Case {
        std::string bytes;
        std::vector<std::vector<std::string>> cells;
    };
    const Case cases[] = {
        {"a,b\n1,2\n", {{"a", "b"}, {"1", "2"}}},
        {"\xEF\xBB\xBF" "编码;名称\r\n7;茶\r\n", {{"编码", "名称"}, {"7", "茶"}}},          // UTF-8 with BOM, semicolons, CRLF
        {"\xB1\xE0\xC2\xEB\t\xC3\xFB\n1\t\xB2\xE8\n", {{"编码", "名"}, {"1", "茶"}}},        // GBK bytes, tabs
        {std::string("\xFF\xFE" "a\0\t\0b\0\n\0" "1\0\t\0" "2\0", 16), {{"a", "b"}, {"1", "2"}}}, // UTF-16LE
        {"\"x,y\";z;w\n1;2;3\n", {{"x,y", "z", "w"}, {"1", "2", "3"}}}, // a quoted comma is no separator
        {"\"a;b\",c\n\"1\"\"2\",\"3\n4\"\n", {{"a;b", "c"}, {"1\"2", "3\n4"}}},
        {"a,b\n\n1\n", {{"a", "b"}, {}, {"1"}}},
        {"a,,c\n", {{"a", "", "c"}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const ReadSheet s = ReadCsv(c.bytes);
        ASSERT_EQ(s.rows.size(), c.cells.size()) << c.bytes;
        for (std::size_t r = 0; r < c.cells.size(); ++r) {
            ASSERT_EQ(s.rows[r].size(), c.cells[r].size()) << c.bytes << " row " << r;
            for (std::size_t k = 0; k < c.cells[r].size(); ++k)
                EXPECT_EQ(s.rows[r][k].text, c.cells[r][k]) << c.bytes << " row " << r;
        }
    }
}

TEST(SheetReading, DatesAndDateFormats) {
    const std::pair<double, const char*> dates[] = {
        {1, "1900-01-01"},    {59, "1900-02-28"}, {60, "1900-02-29"},
        {61, "1900-03-01"},   {45293, "2024-01-02"}, {45293.5, "2024-01-02 12:00:00"},
        {0.25, "06:00:00"},   {2958465, "9999-12-31"}};
    for (const auto& [serial, text] : dates) EXPECT_EQ(detail::DateText(serial), text) << serial;

    const std::tuple<int, const char*, bool> formats[] = {
        {14, "", true},           {22, "", true},          {0, "", false},           {2, "", false},
        {164, "yyyy-mm-dd", true}, {164, "0.00", false},   {164, "General", false},  {164, "[Red]0.00", false},
        {164, "\"d\"0", false},   {164, "[h]:mm", true},   {164, "#,##0 \"pcs\"", false}, {164, "0.00E+00", false},
        {164, "[$-804]yyyy\"年\"m\"月\"", true}};
    for (const auto& [id, code, date] : formats) EXPECT_EQ(detail::IsDateFormat(id, code), date) << id << " " << code;
}
