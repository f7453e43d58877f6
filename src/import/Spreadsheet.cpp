#include "Spreadsheet.h"

#include "SheetReaders.h"

#include <orcus/spreadsheet/document.hpp>
#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace ecr::sheets {
namespace {

std::string sheetName(const std::string& name) {
    std::string out;
    for (char c : name) out.push_back(std::string_view("[]:*?/\\").find(c) == std::string_view::npos ? c : '_');
    if (out.empty()) out = "Sheet1";
    // 31 characters, not bytes: do not cut a UTF-8 sequence.
    std::size_t chars = 0, i = 0;
    while (i < out.size() && chars < 31) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        i += c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        ++chars;
    }
    out.resize(std::min(i, out.size()));
    return out;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ReadError(ReadError::Kind::Unreadable, path, std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ReadError(ReadError::Kind::Unreadable, path, std::strerror(errno));
    return bytes;
}

void check(lxw_error err, const char* what) {
    if (err != LXW_NO_ERROR) throw SheetError(std::string(what) + ": " + lxw_strerror(err));
}

} // namespace

std::string ColumnName(int index) {
    std::string s;
    for (int n = index + 1; n > 0; n = (n - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (n - 1) % 26));
    return s;
}

void WriteXlsx(const std::string& path, const SheetData& data) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE; // inline strings are not read back by every reader
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    if (!wb) throw SheetError("cannot create " + path);
    const std::string name = sheetName(data.name);
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.c_str());
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format* center = workbook_add_format(wb);
    format_set_align(center, LXW_ALIGN_CENTER);
    format_set_bold(center);
    lxw_format* left = workbook_add_format(wb);
    format_set_align(left, LXW_ALIGN_LEFT);
    auto fail = [&](lxw_error e, const char* what) {
        if (e != LXW_NO_ERROR) {
            workbook_close(wb);
            std::remove(path.c_str());
            check(e, what);
        }
    };
    if (!ws) fail(LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE, "worksheet");
    for (std::size_t c = 0; c < data.columnWidths.size(); ++c)
        fail(worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), data.columnWidths[c], nullptr),
             "column width");
    auto isBold = [&](std::size_t r) {
        for (int b : data.boldRows)
            if (static_cast<std::size_t>(b) == r) return true;
        return false;
    };
    for (std::size_t r = 0; r < data.rows.size(); ++r) {
        lxw_format* fmt = isBold(r) ? bold : nullptr;
        for (std::size_t c = 0; c < data.rows[r].size(); ++c) {
            const Cell& cell = data.rows[r][c];
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            if (auto* s = std::get_if<std::string>(&cell))
                fail(worksheet_write_string(ws, row, col, s->c_str(), fmt), "cell");
            else if (auto* d = std::get_if<double>(&cell))
                fail(worksheet_write_number(ws, row, col, *d, fmt), "cell");
        }
    }
    for (const auto& m : data.merges) {
        std::string text;
        if (static_cast<std::size_t>(m.firstRow) < data.rows.size() &&
            static_cast<std::size_t>(m.firstCol) < data.rows[static_cast<std::size_t>(m.firstRow)].size())
            if (auto* s = std::get_if<std::string>(&data.rows[static_cast<std::size_t>(m.firstRow)][static_cast<std::size_t>(m.firstCol)]))
                text = *s;
        fail(worksheet_merge_range(ws, static_cast<lxw_row_t>(m.firstRow), static_cast<lxw_col_t>(m.firstCol),
                                   static_cast<lxw_row_t>(m.lastRow), static_cast<lxw_col_t>(m.lastCol), text.c_str(),
                                   m.align == Merge::Align::Center ? center : left),
             "merge");
    }
    check(workbook_close(wb), ("cannot write " + path).c_str());
}

const ReadCell& ReadSheet::at(int row, int col) const {
    static const ReadCell empty;
    if (row < 0 || col < 0 || static_cast<std::size_t>(row) >= rows.size()) return empty;
    const auto& r = rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(col) < r.size() ? r[static_cast<std::size_t>(col)] : empty;
}

ReadSheet ReadFirstSheet(const std::string& path, ReadLimits limits) {
    switch (DetectFormat(path)) {
    case SheetFormat::Xlsx: return detail::ReadXlsx(path, limits);
    case SheetFormat::Ods: {
        orcus::spreadsheet::range_size_t size{1048576, 16384};
        orcus::spreadsheet::document doc{size};
        detail::CellSet dates;
        detail::LoadWithOrcus(path, SheetFormat::Ods, doc, dates);
        ReadSheet out = detail::SheetFromDocument(doc, dates, false, limits);
        out.format = SheetFormat::Ods;
        return out;
    }
    case SheetFormat::Xls: return detail::ReadXls(path, limits);
    case SheetFormat::Csv: break;
    }
    return ReadCsv(readFile(path), limits);
}

} // namespace ecr::sheets
