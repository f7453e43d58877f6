#include "TempDir.h"
#include "import/Spreadsheet.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ecr::sheets;

TEST(Spreadsheet, ColumnNames) {
    EXPECT_EQ(ColumnName(0), "A");
    EXPECT_EQ(ColumnName(8), "I");
    EXPECT_EQ(ColumnName(22), "W");
    EXPECT_EQ(ColumnName(25), "Z");
    EXPECT_EQ(ColumnName(26), "AA");
    EXPECT_EQ(ColumnName(701), "ZZ");
    EXPECT_EQ(ColumnName(702), "AAA");
}

TEST(Spreadsheet, XlsxWrittenIsReadBackCellByCell) {
    TempDir dir;
    SheetData s;
    s.name = "套餐";
    s.columnWidths = {20, 20, 20};
    s.rows = {{std::string("编号"), std::string("Name"), std::string("Price")},
              {std::string("00012"), std::string("O'Brien 可乐"), 3.5},
              {std::string("7"), std::monostate{}, -12.0}};
    s.boldRows = {0};
    const std::string path = dir.file("out.xlsx");
    WriteXlsx(path, s);
    ReadSheet r = ReadFirstSheet(path);
    EXPECT_EQ(r.name, "套餐");
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.at(0, 0).text, "编号");
    EXPECT_EQ(r.at(1, 0).type, ReadCell::Type::Text);
    EXPECT_EQ(r.at(1, 0).text, "00012"); // text keeps its leading zeros
    EXPECT_EQ(r.at(1, 1).text, "O'Brien 可乐");
    EXPECT_EQ(r.at(1, 2).type, ReadCell::Type::Number);
    EXPECT_DOUBLE_EQ(r.at(1, 2).number, 3.5);
    EXPECT_EQ(r.at(2, 1).type, ReadCell::Type::Empty);
    EXPECT_EQ(r.at(2, 2).text, "-12");
    EXPECT_EQ(r.at(99, 99).type, ReadCell::Type::Empty);
}

TEST(Spreadsheet, MergedTitleRowsAndLongSheetNames) {
    TempDir dir;
    SheetData s;
    s.name = "A very long report title: with/illegal*chars?";
    s.rows = {{std::string("Title")}, {std::string("Period")}, {std::string("a"), std::string("b")}};
    s.merges = {{0, 0, 0, 1, Merge::Align::Center}, {1, 0, 1, 1, Merge::Align::Left}};
    const std::string path = dir.file("m.xlsx");
    WriteXlsx(path, s);
    ReadSheet r = ReadFirstSheet(path);
    EXPECT_EQ(r.name, "A very long report title_ with_");
    EXPECT_EQ(r.at(0, 0).text, "Title");
    EXPECT_EQ(r.at(1, 0).text, "Period");
    EXPECT_EQ(r.at(2, 1).text, "b");
}

TEST(Spreadsheet, CsvAndErrors) {
    TempDir dir;
    {
        std::ofstream f(dir.file("p.csv"));
        f << "id,name,dept\n12,Tea,3\n";
    }
    ReadSheet r = ReadFirstSheet(dir.file("p.csv"));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.at(1, 1).text, "Tea");
    EXPECT_DOUBLE_EQ(r.at(1, 2).number, 3);
    EXPECT_THROW(ReadFirstSheet(dir.file("missing.xlsx")), SheetError);
    {
        std::ofstream f(dir.file("bad.xlsx"), std::ios::binary);
        f << "PK\x03\x04 this is not really a zip";
    }
    EXPECT_THROW(ReadFirstSheet(dir.file("bad.xlsx")), SheetError);
    EXPECT_THROW(WriteXlsx("/nonexistent-dir/x.xlsx", SheetData{}), SheetError);
}
