// Spreadsheet files: writing a sheet as .xlsx (exports of lists and reports)
// and reading the first sheet of .xlsx/.ods/.csv/.xls (PLU import, tests).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ecr::sheets {

// A cell as written: text (kept as text, leading zeros and all) or a number.
using Cell = std::variant<std::monostate, std::string, double>;

struct Merge {
    int firstRow, firstCol, lastRow, lastCol; // 0-based, inclusive
    enum class Align { Center, Left } align = Align::Center;
};

struct SheetData {
    std::string name;                   // worksheet name (cut to 31 characters, invalid characters replaced)
    std::vector<double> columnWidths;   // characters, from column A
    std::vector<std::vector<Cell>> rows; // from row 1
    std::vector<int> boldRows;          // 0-based rows set in bold (captions)
    std::vector<Merge> merges;
};

class SheetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes one worksheet into a new .xlsx file. Throws SheetError.
void WriteXlsx(const std::string& path, const SheetData& sheet);

// Column letters for a 0-based index: 0 "A", 25 "Z", 26 "AA".
std::string ColumnName(int index);

// A cell as read back, as the spreadsheet shows it: a number in general
// format ("1001", not "1001.0"; up to 15 significant digits), a date as
// "yyyy-mm-dd" (with " hh:mm:ss" when it has a time of day), a formula as its
// value, a boolean as "TRUE"/"FALSE" (a number 1/0), an error as its code
// ("#DIV/0!", text).
struct ReadCell {
    enum class Type { Empty, Text, Number, Date } type = Type::Empty;
    std::string text;
    double number = 0; // numbers; dates: the day number (1900 date system)
};

enum class SheetFormat { Xlsx, Ods, Xls, Csv };

struct ReadSheet {
    std::string name;
    SheetFormat format = SheetFormat::Csv;
    std::vector<std::vector<ReadCell>> rows; // up to the last used row and column
    const ReadCell& at(int row, int col) const; // 0-based; an empty cell outside the range
};

// Why a file could not be read as a whole.
class ReadError : public SheetError {
public:
    enum class Kind {
        Unreadable,     // missing, no permission, damaged
        NotASpreadsheet // none of .xlsx, .ods, .xls, .csv
    };
    ReadError(Kind kind, const std::string& path, const std::string& detail)
        : SheetError(path + ": " + detail), kind_(kind), detail_(detail) {}
    Kind kind() const { return kind_; }
    const std::string& detail() const { return detail_; }

private:
    Kind kind_;
    std::string detail_;
};

// The format by the file's content, never its name: a zip holding an
// OpenDocument spreadsheet or an Office Open XML workbook, an OLE2 compound
// file (.xls), or text (.csv). Throws ReadError.
SheetFormat DetectFormat(const std::string& path);

// Rows and columns to keep, counted from the first (0 = all), so that a
// stray cell far away does not fill memory.
struct ReadLimits {
    int rows = 0;
    int columns = 0;
    bool keepsRow(long long r) const { return rows <= 0 || r < rows; }
    bool keepsColumn(long long c) const { return columns <= 0 || c < columns; }
};

// Reads the first worksheet. CSV text is UTF-8 (with or without a byte order
// mark) or, when its bytes are not UTF-8, the register code page; the
// separator (comma, semicolon or tab) is the one the first line uses most.
// Throws ReadError.
ReadSheet ReadFirstSheet(const std::string& path, ReadLimits limits = {});

// CSV text already in memory, by the same rules as a .csv file.
ReadSheet ReadCsv(std::string_view bytes, ReadLimits limits = {});

} // namespace ecr::sheets
