// A report document as a spreadsheet (.xlsx) and as CSV.
#pragma once

#include "Document.h"

#include <stdexcept>
#include <string>

namespace ecr::reports {

class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One worksheet named by the title: the title and the period (or filter) line
// merged across the table on rows 1 and 2, the captions on row 3, the rows
// from row 4 (text columns as text, numbers as numbers shown as printed), one
// row per total with its caption and value in the last two columns, and the
// document's chart as a native bar chart below. Throws ExportError.
void WriteXlsx(const Document& doc, const std::string& path);

// UTF-8, RFC 4180: the captions, one line per row with the cells as printed,
// then an empty line and "caption,value" per total when there are totals.
std::string CsvText(const Document& doc);

} // namespace ecr::reports
