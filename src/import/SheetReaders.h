// The readers behind ReadFirstSheet, one per container, and what they share.
#pragma once

#include "Spreadsheet.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace orcus::spreadsheet {
class document;
}

namespace ecr::sheets::detail {

using Extent = ReadLimits;
using CellSet = std::set<std::pair<int, int>>; // (row, column), 0-based

// Numbers in general format: 1001 as "1001", 2.2999999999999998 as "2.3".
std::string NumberText(double v);
// A day number of the 1900 date system as "yyyy-mm-dd" (" hh:mm:ss" added
// when it has a time of day).
std::string DateText(double serial);
// UTF-16 code units (surrogate pairs joined) as UTF-8; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool littleEndian);
// Whether a number format shows a date or a time: the built-in ids of
// dates and times, or a format code with date or time fields.
bool IsDateFormat(int builtinId, std::string_view code);

// Reads the file's first sheet into a document through orcus (xlsx or ods).
// Cells that orcus was given as dates (ods) are recorded in dates.
void LoadWithOrcus(const std::string& path, SheetFormat format, orcus::spreadsheet::document& doc, CellSet& dates);
// The first sheet of a loaded document: values, formula results; dates are
// the cells in dates and, with styledDates (workbooks read by orcus, whose
// cell formats carry the number format ids), cells of a date format.
ReadSheet SheetFromDocument(const orcus::spreadsheet::document& doc, const CellSet& dates, bool styledDates,
                            Extent extent);

// What a zip file holds: an OpenDocument spreadsheet, a workbook, or
// neither (nullopt). Throws ReadError when the zip cannot be opened.
std::optional<SheetFormat> ZipFormat(const std::string& path);
// A workbook's first sheet: through orcus, unless orcus would read it
// wrongly (its part named by an absolute path, text in inline strings, or
// an empty sheet from a part that holds values); then ReadXlsxPackage.
ReadSheet ReadXlsx(const std::string& path, Extent extent);
// Reads a workbook's first sheet from its parts (zip and relationships
// through libgsf, XML through Qt), with formulas calculated by orcus.
ReadSheet ReadXlsxPackage(const std::string& path, Extent extent);

// .xls through FreeXL; formula cells (which FreeXL leaves empty) from the
// results stored in the workbook stream.
ReadSheet ReadXls(const std::string& path, Extent extent);


} // namespace ecr::sheets::detail
