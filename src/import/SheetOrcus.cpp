// .xlsx and .ods through orcus, and the first sheet of an orcus document as
// cells the way the spreadsheet shows them.
#include "SheetReaders.h"

#include <ixion/formula_result.hpp>
#include <ixion/model_context.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/document.hpp>
#include <orcus/spreadsheet/factory.hpp>
#include <orcus/spreadsheet/sheet.hpp>
#include <orcus/spreadsheet/styles.hpp>

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>

namespace ecr::sheets::detail {
namespace {

namespace ss = orcus::spreadsheet;
namespace iface = ss::iface;

// An .ods date cell reaches the document as a plain day number; this sheet
// passes everything on and notes where the dates were.
class DateNotingSheet : public iface::import_sheet {
public:
    DateNotingSheet(iface::import_sheet& s, bool first, CellSet& dates) : s_(s), first_(first), dates_(dates) {}

    iface::import_sheet_view* get_sheet_view() override { return s_.get_sheet_view(); }
    iface::import_sheet_properties* get_sheet_properties() override { return s_.get_sheet_properties(); }
    iface::import_data_table* get_data_table() override { return s_.get_data_table(); }
    iface::import_auto_filter* get_auto_filter() override { return s_.get_auto_filter(); }
    iface::import_table* get_table() override { return s_.get_table(); }
    iface::import_conditional_format* get_conditional_format() override { return s_.get_conditional_format(); }
    iface::import_named_expression* get_named_expression() override { return s_.get_named_expression(); }
    iface::import_array_formula* get_array_formula() override { return s_.get_array_formula(); }
    iface::import_formula* get_formula() override { return s_.get_formula(); }
    void set_auto(ss::row_t r, ss::col_t c, std::string_view v) override { s_.set_auto(r, c, v); }
    void set_string(ss::row_t r, ss::col_t c, ss::string_id_t id) override { s_.set_string(r, c, id); }
    void set_value(ss::row_t r, ss::col_t c, double v) override { s_.set_value(r, c, v); }
    void set_bool(ss::row_t r, ss::col_t c, bool v) override { s_.set_bool(r, c, v); }
    void set_date_time(ss::row_t r, ss::col_t c, int year, int month, int day, int hour, int minute,
                       double second) override {
        if (first_) dates_.insert({r, c});
        s_.set_date_time(r, c, year, month, day, hour, minute, second);
    }
    void set_format(ss::row_t r, ss::col_t c, std::size_t xf) override { s_.set_format(r, c, xf); }
    void set_format(ss::row_t r1, ss::col_t c1, ss::row_t r2, ss::col_t c2, std::size_t xf) override {
        s_.set_format(r1, c1, r2, c2, xf);
    }
    void fill_down_cells(ss::row_t r, ss::col_t c, ss::row_t n) override { s_.fill_down_cells(r, c, n); }
    ss::range_size_t get_sheet_size() const override { return s_.get_sheet_size(); }

private:
    iface::import_sheet& s_;
    bool first_;
    CellSet& dates_;
};

class DateNotingFactory : public iface::import_factory {
public:
    DateNotingFactory(ss::import_factory& f, CellSet& dates) : f_(f), dates_(dates) {}

    iface::import_global_settings* get_global_settings() override { return f_.get_global_settings(); }
    iface::import_shared_strings* get_shared_strings() override { return f_.get_shared_strings(); }
    iface::import_named_expression* get_named_expression() override { return f_.get_named_expression(); }
    iface::import_styles* get_styles() override { return f_.get_styles(); }
    iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t cxt) override {
        return f_.get_reference_resolver(cxt);
    }
    iface::import_pivot_cache_definition* create_pivot_cache_definition(ss::pivot_cache_id_t id) override {
        return f_.create_pivot_cache_definition(id);
    }
    iface::import_pivot_cache_records* create_pivot_cache_records(ss::pivot_cache_id_t id) override {
        return f_.create_pivot_cache_records(id);
    }
    iface::import_sheet* append_sheet(ss::sheet_t index, std::string_view name) override {
        return wrap(f_.append_sheet(index, name), index == 0);
    }
    iface::import_sheet* get_sheet(std::string_view name) override { return wrap(f_.get_sheet(name), false); }
    iface::import_sheet* get_sheet(ss::sheet_t index) override { return wrap(f_.get_sheet(index), index == 0); }
    void finalize() override { f_.finalize(); }

private:
    iface::import_sheet* wrap(iface::import_sheet* s, bool first) {
        if (!s) return nullptr;
        auto& w = wrapped_[s];
        if (!w) w = std::make_unique<DateNotingSheet>(*s, first, dates_);
        return w.get();
    }

    ss::import_factory& f_;
    CellSet& dates_;
    std::map<iface::import_sheet*, std::unique_ptr<DateNotingSheet>> wrapped_;
};

// Number format of each cell format, looked up once per format.
class DateFormats {
public:
    explicit DateFormats(const ss::styles& styles) : styles_(styles) {
        for (std::size_t i = 0; i < styles.get_number_format_count(); ++i)
            if (const auto* nf = styles.get_number_format(i)) codes_[nf->identifier] = std::string(nf->format_string);
    }
    bool isDate(std::size_t xf) {
        auto it = byXf_.find(xf);
        if (it != byXf_.end()) return it->second;
        bool date = false;
        if (const auto* cf = styles_.get_cell_format(xf)) {
            const std::size_t id = cf->number_format;
            auto code = codes_.find(id);
            date = IsDateFormat(static_cast<int>(id), code == codes_.end() ? std::string_view() : code->second);
        }
        byXf_.emplace(xf, date);
        return date;
    }

private:
    const ss::styles& styles_;
    std::unordered_map<std::size_t, std::string> codes_;
    std::unordered_map<std::size_t, bool> byXf_;
};

} // namespace

void LoadWithOrcus(const std::string& path, SheetFormat format, ss::document& doc, CellSet& dates) {
    ss::import_factory factory{doc};
    factory.set_recalc_formula_cells(true);
    DateNotingFactory noting(factory, dates);
    try {
        if (format == SheetFormat::Ods) {
            orcus::orcus_ods app(&noting);
            app.read_file(path);
        } else {
            orcus::orcus_xlsx app(&noting);
            app.read_file(path);
        }
    } catch (const std::exception& e) {
        throw ReadError(ReadError::Kind::Unreadable, path, e.what());
    }
}

ReadSheet SheetFromDocument(const ss::document& doc, const CellSet& dates, bool styledDates, Extent extent) {
    ReadSheet out;
    if (doc.get_sheet_count() == 0) return out;
    out.name = std::string(doc.get_sheet_name(0));
    const ss::sheet* sh = doc.get_sheet(0);
    const auto range = sh->get_data_range();
    if (!range.valid()) return out;
    const auto& cxt = doc.get_model_context();
    DateFormats formats(doc.get_styles());
    const ixion::row_t lastRow = extent.rows > 0 ? std::min<ixion::row_t>(range.last.row, extent.rows - 1) : range.last.row;
    const ixion::col_t lastCol =
        extent.columns > 0 ? std::min<ixion::col_t>(range.last.column, extent.columns - 1) : range.last.column;
    out.rows.resize(static_cast<std::size_t>(lastRow + 1));
    for (ixion::row_t r = 0; r <= lastRow; ++r) {
        auto& row = out.rows[static_cast<std::size_t>(r)];
        for (ixion::col_t c = 0; c <= lastCol; ++c) {
            const ixion::abs_address_t addr(0, r, c);
            ReadCell cell;
            auto setNumber = [&](double v) {
                cell.number = v;
                if (dates.count({r, c}) || (styledDates && formats.isDate(sh->get_cell_format(r, c)))) {
                    cell.type = ReadCell::Type::Date;
                    cell.text = DateText(v);
                } else {
                    cell.type = ReadCell::Type::Number;
                    cell.text = NumberText(v);
                }
            };
            switch (cxt.get_celltype(addr)) {
            case ixion::celltype_t::string:
                cell.type = ReadCell::Type::Text;
                cell.text = std::string(cxt.get_string_value(addr));
                break;
            case ixion::celltype_t::numeric: setNumber(cxt.get_numeric_value(addr)); break;
            case ixion::celltype_t::boolean:
                cell.type = ReadCell::Type::Number;
                cell.number = cxt.get_boolean_value(addr) ? 1 : 0;
                cell.text = cell.number ? "TRUE" : "FALSE";
                break;
            case ixion::celltype_t::formula: {
                const auto res = cxt.get_formula_result(addr);
                switch (res.get_type()) {
                case ixion::formula_result::result_type::value: setNumber(res.get_value()); break;
                case ixion::formula_result::result_type::string:
                    cell.type = ReadCell::Type::Text;
                    cell.text = res.get_string();
                    break;
                case ixion::formula_result::result_type::error:
                    cell.type = ReadCell::Type::Text;
                    cell.text = std::string(ixion::get_formula_error_name(res.get_error()));
                    break;
                default: break;
                }
                break;
            }
            default: break;
            }
            if (cell.type != ReadCell::Type::Empty) {
                row.resize(static_cast<std::size_t>(c));
                row.push_back(std::move(cell));
            }
        }
    }
    return out;
}

} // namespace ecr::sheets::detail
