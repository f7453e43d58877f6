#include "Spreadsheet.h"

#include <freexl.h>
#include <ixion/formula_result.hpp>
#include <ixion/model_context.hpp>
#include <orcus/orcus_csv.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/sheet.hpp>
#include <xlsxwriter.h>

#include <cmath>
#include <cstdio>
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

std::string numberText(double v) {
    char buf[64];
    if (std::fabs(v - std::round(v)) < 1e-9 && std::fabs(v) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else
        std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

void check(lxw_error err, const char* what) {
    if (err != LXW_NO_ERROR) throw SheetError(std::string(what) + ": " + lxw_strerror(err));
}

std::string signature(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SheetError("cannot open " + path);
    char buf[8] = {};
    in.read(buf, 8);
    return std::string(buf, static_cast<std::size_t>(in.gcount()));
}

bool endsWith(const std::string& s, const char* suffix) {
    std::string lower;
    for (char c : s) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return lower.ends_with(suffix);
}

ReadSheet readWithOrcus(const std::string& path, int format) {
    namespace ss = orcus::spreadsheet;
    ss::range_size_t size{1048576, 16384};
    ss::document doc{size};
    ss::import_factory factory{doc};
    factory.set_recalc_formula_cells(true);
    try {
        if (format == 0) {
            orcus::orcus_xlsx app(&factory);
            app.read_file(path);
        } else if (format == 1) {
            orcus::orcus_ods app(&factory);
            app.read_file(path);
        } else {
            orcus::orcus_csv app(&factory);
            app.read_file(path);
        }
    } catch (const std::exception& e) {
        throw SheetError(std::string("cannot read ") + path + ": " + e.what());
    }
    ReadSheet out;
    if (doc.get_sheet_count() == 0) return out;
    out.name = std::string(doc.get_sheet_name(0));
    const ss::sheet* sh = doc.get_sheet(0);
    const auto range = sh->get_data_range();
    if (!range.valid()) return out;
    const auto& cxt = doc.get_model_context();
    for (ixion::row_t r = 0; r <= range.last.row; ++r) {
        std::vector<ReadCell> row;
        for (ixion::col_t c = 0; c <= range.last.column; ++c) {
            ixion::abs_address_t addr(0, r, c);
            ReadCell cell;
            switch (cxt.get_celltype(addr)) {
            case ixion::celltype_t::string:
                cell.type = ReadCell::Type::Text;
                cell.text = std::string(cxt.get_string_value(addr));
                break;
            case ixion::celltype_t::numeric:
                cell.type = ReadCell::Type::Number;
                cell.number = cxt.get_numeric_value(addr);
                cell.text = numberText(cell.number);
                break;
            case ixion::celltype_t::boolean:
                cell.type = ReadCell::Type::Number;
                cell.number = cxt.get_boolean_value(addr) ? 1 : 0;
                cell.text = cell.number ? "TRUE" : "FALSE";
                break;
            case ixion::celltype_t::formula: {
                auto res = cxt.get_formula_result(addr);
                if (res.get_type() == ixion::formula_result::result_type::value) {
                    cell.type = ReadCell::Type::Number;
                    cell.number = res.get_value();
                    cell.text = numberText(cell.number);
                } else if (res.get_type() == ixion::formula_result::result_type::string) {
                    cell.type = ReadCell::Type::Text;
                    cell.text = res.get_string();
                }
                break;
            }
            default: break;
            }
            row.push_back(std::move(cell));
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

ReadSheet readXls(const std::string& path) {
    const void* handle = nullptr;
    if (freexl_open(path.c_str(), &handle) != FREEXL_OK) throw SheetError("cannot read " + path + ": not an .xls file");
    struct Closer {
        const void* h;
        ~Closer() { freexl_close(h); }
    } closer{handle};
    ReadSheet out;
    const char* name = nullptr;
    if (freexl_get_worksheet_name(handle, 0, &name) == FREEXL_OK && name) out.name = name;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK) throw SheetError("cannot read " + path);
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK) throw SheetError("cannot read " + path);
    for (unsigned r = 0; r < rows; ++r) {
        std::vector<ReadCell> row;
        for (unsigned short c = 0; c < cols; ++c) {
            FreeXL_CellValue v;
            ReadCell cell;
            if (freexl_get_cell_value(handle, r, c, &v) == FREEXL_OK) {
                switch (v.type) {
                case FREEXL_CELL_INT:
                    cell.type = ReadCell::Type::Number;
                    cell.number = v.value.int_value;
                    cell.text = numberText(cell.number);
                    break;
                case FREEXL_CELL_DOUBLE:
                    cell.type = ReadCell::Type::Number;
                    cell.number = v.value.double_value;
                    cell.text = numberText(cell.number);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    cell.type = ReadCell::Type::Text;
                    cell.text = v.value.text_value ? v.value.text_value : "";
                    break;
                default: break;
                }
            }
            row.push_back(std::move(cell));
        }
        out.rows.push_back(std::move(row));
    }
    return out;
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

ReadSheet ReadFirstSheet(const std::string& path) {
    const std::string sig = signature(path);
    if (sig.rfind("PK", 0) == 0) return readWithOrcus(path, endsWith(path, ".ods") ? 1 : 0);
    if (sig.size() == 8 && static_cast<unsigned char>(sig[0]) == 0xD0 && static_cast<unsigned char>(sig[1]) == 0xCF)
        return readXls(path);
    return readWithOrcus(path, 2);
}

} // namespace ecr::sheets
