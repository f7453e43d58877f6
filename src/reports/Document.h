// A report as a document: title, period or filter line, one table, totals
// and an optional bar chart. Cells hold the text as printed; the renderer,
// the spreadsheet and the CSV writer lay out the same document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ecr::reports {

enum class ColumnKind {
    Text,   // kept as text everywhere (codes, bill numbers, times, names)
    Number, // a number as printed; the spreadsheet stores the value
};

struct Column {
    std::string caption;
    int twips = 1200;        // printed width
    double sheetWidth = 12;  // spreadsheet width in characters
    ColumnKind kind = ColumnKind::Text;
};

struct Total {
    std::string caption;
    std::string text; // the value as printed
    double value = 0;
};

// Bars of one table column against the labels of another, one bar per row.
struct Chart {
    std::string caption;
    int labelColumn = 0;
    int valueColumn = 0;
};

enum class LineAlign { Center, Left };

struct Document {
    std::string title;
    std::string subtitle;      // the printed period or filter line; empty: none
    std::string sheetSubtitle; // the same line in the spreadsheet's row 2
    LineAlign subtitleAlign = LineAlign::Center;
    std::vector<Column> columns;
    std::vector<Total> totals;
    std::optional<Chart> chart;
    bool footer = true;     // print date and page number on every page
    bool landscape = false; // a table too wide for a portrait page
    bool noData = false;    // nothing matched: the caller says so, the document still shows

    std::size_t rowCount() const { return columns.empty() ? 0 : refs_.size() / columns.size(); }
    std::string_view cell(std::size_t row, std::size_t column) const {
        const CellRef& r = refs_[row * columns.size() + column];
        return {blocks_[r.block].data() + r.offset, r.size};
    }
    std::vector<std::string> row(std::size_t r) const;
    // Cells are added row by row, columns.size() to a row.
    void addCell(std::string_view text);
    void addRow(const std::vector<std::string>& row);
    // The cell read as a number (0 when it is not one).
    double number(std::size_t row, std::size_t column) const;
    void addTotal(std::string caption, double value, bool amount);

private:
    // The cells' texts one after the other in blocks that never move: a long
    // report is a few large allocations, not a million small strings.
    struct CellRef {
        std::uint32_t block, offset, size;
    };
    std::vector<std::string> blocks_;
    std::deque<CellRef> refs_;
};

// "0.00": two decimals, rounded half away from zero, never "-0.00".
std::string AmountText(double value);
// A count or quantity without trailing zeros, rounded to 3 decimals: "2", "1.235".
std::string QuantityText(double value);

} // namespace ecr::reports
