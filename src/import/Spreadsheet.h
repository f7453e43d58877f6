// Spreadsheet files: writing a sheet as .xlsx (exports of lists and reports)
// and reading the first sheet of .xlsx/.ods/.csv/.xls (PLU import, tests).
#pragma once

#include <stdexcept>
#include <string>
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

// A cell as read back: text, number, or empty.
struct ReadCell {
    enum class Type { Empty, Text, Number } type = Type::Empty;
    std::string text; // for numbers: the value as it would be shown ("12", "1.5")
    double number = 0;
};

struct ReadSheet {
    std::string name;
    std::vector<std::vector<ReadCell>> rows; // up to the last used row and column
    const ReadCell& at(int row, int col) const; // 0-based; an empty cell outside the range
};

// Reads the first worksheet. The reader is chosen by the file's signature:
// zip (.xlsx, .ods by name), OLE2 (.xls), otherwise CSV. Throws SheetError.
ReadSheet ReadFirstSheet(const std::string& path);

} // namespace ecr::sheets
