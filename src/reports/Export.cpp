#include "Export.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace ecr::reports {

namespace {

// Worksheet names: at most 31 characters, none of []:*?/\ and no apostrophe
// at either end.
std::string sheetName(const std::string& title) {
    std::string out;
    for (char c : title) out.push_back(std::string_view("[]:*?/\\").find(c) == std::string_view::npos ? c : '_');
    while (!out.empty() && (out.front() == '\'' || out.front() == ' ')) out.erase(out.begin());
    std::size_t chars = 0, i = 0;
    while (i < out.size() && chars < 31) {
        const auto c = static_cast<unsigned char>(out[i]);
        i += c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        ++chars;
    }
    out.resize(std::min(i, out.size()));
    while (!out.empty() && (out.back() == '\'' || out.back() == ' ')) out.pop_back();
    return out.empty() ? "Sheet1" : out;
}

// The printed number and how many decimals it shows; false when the text is
// not a plain number.
bool parseNumber(const std::string& text, double& value, int& decimals) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (!end || *end != '\0') return false;
    const auto point = text.find('.');
    decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    return true;
}

void check(lxw_error err, const char* what) {
    if (err != LXW_NO_ERROR) throw ExportError(std::string(what) + ": " + lxw_strerror(err));
}

struct WorkbookCloser {
    void operator()(lxw_workbook* wb) const {
        if (wb) workbook_close(wb);
    }
};

std::string csvField(std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(s);
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace

void WriteXlsx(const Document& doc, const std::string& path) {
    std::unique_ptr<lxw_workbook, WorkbookCloser> owner(workbook_new(path.c_str()));
    lxw_workbook* wb = owner.get();
    if (!wb) throw ExportError("cannot create " + path);
    const std::string name = sheetName(doc.title);
    lxw_worksheet* ws = workbook_add_worksheet(wb, name.c_str());
    if (!ws) throw ExportError("cannot add the worksheet " + name);

    lxw_format* title = workbook_add_format(wb);
    format_set_bold(title);
    format_set_font_size(title, 14);
    format_set_align(title, LXW_ALIGN_CENTER);
    format_set_align(title, LXW_ALIGN_VERTICAL_CENTER);
    lxw_format* subtitle = workbook_add_format(wb);
    format_set_align(subtitle, doc.subtitleAlign == LineAlign::Left ? LXW_ALIGN_LEFT : LXW_ALIGN_CENTER);
    lxw_format* caption = workbook_add_format(wb);
    format_set_bold(caption);
    lxw_format* text = workbook_add_format(wb);
    format_set_num_format(text, "@");
    lxw_format* amount = workbook_add_format(wb);
    format_set_num_format(amount, "0.00");
    lxw_format* amountBold = workbook_add_format(wb);
    format_set_num_format(amountBold, "0.00");
    format_set_bold(amountBold);

    const auto cols = static_cast<lxw_col_t>(std::max<std::size_t>(doc.columns.size(), 1));
    if (cols > 1) {
        check(worksheet_merge_range(ws, 0, 0, 0, cols - 1, doc.title.c_str(), title), "title");
        check(worksheet_merge_range(ws, 1, 0, 1, cols - 1, doc.sheetSubtitle.c_str(), subtitle), "period");
    } else {
        check(worksheet_write_string(ws, 0, 0, doc.title.c_str(), title), "title");
        check(worksheet_write_string(ws, 1, 0, doc.sheetSubtitle.c_str(), subtitle), "period");
    }
    for (std::size_t c = 0; c < doc.columns.size(); ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        worksheet_set_column(ws, col, col, doc.columns[c].sheetWidth, nullptr);
        check(worksheet_write_string(ws, 2, col, doc.columns[c].caption.c_str(), caption), "captions");
    }

    const std::size_t rows = doc.rowCount();
    for (std::size_t r = 0; r < rows; ++r) {
        const auto row = static_cast<lxw_row_t>(3 + r);
        for (std::size_t c = 0; c < doc.columns.size(); ++c) {
            const auto col = static_cast<lxw_col_t>(c);
            const std::string cell(doc.cell(r, c));
            double value = 0;
            int decimals = 0;
            if (doc.columns[c].kind == ColumnKind::Number && parseNumber(cell, value, decimals))
                check(worksheet_write_number(ws, row, col, value, decimals == 2 ? amount : nullptr), "cell");
            else if (!cell.empty())
                check(worksheet_write_string(ws, row, col, cell.c_str(), text), "cell");
        }
    }

    lxw_row_t next = static_cast<lxw_row_t>(3 + rows);
    const lxw_col_t valueCol = cols - 1;
    const lxw_col_t captionCol = cols >= 2 ? cols - 2 : 0;
    for (const Total& t : doc.totals) {
        double value = 0;
        int decimals = 0;
        check(worksheet_write_string(ws, next, captionCol, t.caption.c_str(), caption), "total");
        if (parseNumber(t.text, value, decimals))
            check(worksheet_write_number(ws, next, valueCol, value, decimals == 2 ? amountBold : caption), "total");
        else
            check(worksheet_write_string(ws, next, valueCol, t.text.c_str(), caption), "total");
        ++next;
    }

    if (doc.chart && rows > 0) {
        const Chart& ch = *doc.chart;
        lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_BAR);
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        const auto first = static_cast<lxw_row_t>(3), last = static_cast<lxw_row_t>(3 + rows - 1);
        chart_series_set_categories(series, name.c_str(), first, static_cast<lxw_col_t>(ch.labelColumn), last,
                                    static_cast<lxw_col_t>(ch.labelColumn));
        chart_series_set_values(series, name.c_str(), first, static_cast<lxw_col_t>(ch.valueColumn), last,
                                static_cast<lxw_col_t>(ch.valueColumn));
        chart_series_set_name(series, doc.columns[static_cast<std::size_t>(ch.valueColumn)].caption.c_str());
        chart_title_set_name(chart, ch.caption.c_str());
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        // The first row at the top, as in the table.
        chart_axis_set_reverse(chart->y_axis);
        lxw_chart_options options = {};
        options.x_scale = 1.5;
        options.y_scale = std::clamp(static_cast<double>(rows) / 12.0, 1.0, 4.0);
        check(worksheet_insert_chart_opt(ws, next + 1, 0, chart, &options), "chart");
    }

    lxw_workbook* raw = owner.release();
    const lxw_error err = workbook_close(raw);
    if (err != LXW_NO_ERROR) throw ExportError("cannot write " + path + ": " + lxw_strerror(err));
}

std::string CsvText(const Document& doc) {
    std::string out;
    auto line = [&out](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i) out += ',';
            out += csvField(fields[i]);
        }
        out += "\r\n";
    };
    std::vector<std::string> captions;
    for (const Column& c : doc.columns) captions.push_back(c.caption);
    line(captions);
    for (std::size_t r = 0; r < doc.rowCount(); ++r) {
        for (std::size_t c = 0; c < doc.columns.size(); ++c) {
            if (c) out += ',';
            out += csvField(doc.cell(r, c));
        }
        out += "\r\n";
    }
    if (!doc.totals.empty()) {
        out += "\r\n";
        for (const Total& t : doc.totals) line({t.caption, t.text});
    }
    return out;
}

} // namespace ecr::reports
