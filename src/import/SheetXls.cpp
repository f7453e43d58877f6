// .xls (BIFF5/BIFF8 in an OLE2 compound file) through FreeXL. FreeXL skips
// formula cells; their stored results are taken from the FORMULA records of
// the first worksheet in the workbook stream (opened through libgsf), so a
// formula in column A does not end the data early.
#include "Gsf.h"
#include "SheetReaders.h"

#include <freexl.h>

#include <cstring>
#include <iconv.h>
#include <map>

namespace ecr::sheets::detail {
namespace {

[[noreturn]] void fail(ReadError::Kind kind, const std::string& path, const std::string& why) {
    throw ReadError(kind, path, why);
}

unsigned u16(std::string_view s, std::size_t at) {
    return at + 2 <= s.size() ? static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 : 0;
}
unsigned long u32(std::string_view s, std::size_t at) {
    return static_cast<unsigned long>(u16(s, at)) | static_cast<unsigned long>(u16(s, at + 2)) << 16;
}


// 8-bit text of the workbook's code page.
std::string codePageToUtf8(std::string_view bytes, unsigned codePage) {
    const std::string from = codePage == 0 || codePage == 0x016F ? "CP1252" : "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "CP1252");
    std::string in(bytes), out(bytes.size() * 4 + 4, '\0');
    char* ip = in.data();
    char* op = out.data();
    std::size_t il = in.size(), ol = out.size();
    while (il > 0 && iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) {
        ++ip; // a byte the code page lacks is dropped
        --il;
    }
    iconv_close(cd);
    out.resize(out.size() - ol);
    return out;
}

std::string errorName(unsigned code) {
    switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    default: return "#N/A";
    }
}

// The stored results of the first worksheet's formulas, by (row, column).
std::map<std::pair<int, int>, ReadCell> formulaResults(const std::string& path, bool biff8, unsigned codePage) {
    std::map<std::pair<int, int>, ReadCell> out;
    GsfPtr<GsfInput> file = OpenFile(path);
    GError* err = nullptr;
    GsfPtr<GsfInfile> ole(GSF_INFILE(gsf_infile_msole_new(file.get(), &err)));
    if (!ole) fail(ReadError::Kind::Unreadable, path, TakeError(err, "not an OLE2 file"));
    GsfPtr<GsfInput> stream(gsf_infile_child_by_name(ole.get(), "Workbook"));
    if (!stream) stream.reset(gsf_infile_child_by_name(ole.get(), "Book"));
    if (!stream) return out;
    const std::string wb = ReadAll(stream.get(), path);
    const std::string_view s(wb);

    std::size_t pos = 0;
    auto next = [&](unsigned& type, std::string_view& data) {
        if (pos + 4 > s.size()) return false;
        type = u16(s, pos);
        const std::size_t len = u16(s, pos + 2);
        if (pos + 4 + len > s.size()) return false;
        data = s.substr(pos + 4, len);
        pos += 4 + len;
        return true;
    };
    unsigned type = 0;
    std::string_view data;
    // Workbook globals: the first worksheet's BOUNDSHEET gives its offset.
    std::size_t sheetAt = 0;
    bool found = false;
    while (next(type, data) && type != 0x000A)
        if (type == 0x0085 && !found && data.size() >= 6 && static_cast<unsigned char>(data[5]) == 0) {
            sheetAt = u32(data, 0);
            found = true;
        }
    if (!found || sheetAt >= s.size()) return out;
    pos = sheetAt;
    std::pair<int, int> pendingString{-1, -1};
    while (next(type, data) && type != 0x000A) {
        if (type == 0x0006 && data.size() >= 14) {
            const std::pair<int, int> at{static_cast<int>(u16(data, 0)), static_cast<int>(u16(data, 2))};
            ReadCell cell;
            if (u16(data, 12) == 0xFFFF) {
                switch (static_cast<unsigned char>(data[6])) {
                case 0: pendingString = at; continue; // the text follows in a STRING record
                case 1:
                    cell.type = ReadCell::Type::Number;
                    cell.number = data[8] ? 1 : 0;
                    cell.text = data[8] ? "TRUE" : "FALSE";
                    break;
                case 2:
                    cell.type = ReadCell::Type::Text;
                    cell.text = errorName(static_cast<unsigned char>(data[8]));
                    break;
                default: continue; // empty text: an empty cell
                }
            } else {
                double v;
                std::memcpy(&v, data.data() + 6, sizeof v);
                cell.type = ReadCell::Type::Number;
                cell.number = v;
                cell.text = NumberText(v);
            }
            out[at] = cell;
        } else if (type == 0x0207 && pendingString.first >= 0) {
            const std::size_t n = u16(data, 0);
            ReadCell cell;
            cell.type = ReadCell::Type::Text;
            if (biff8) {
                const bool wide = data.size() > 2 && (data[2] & 1);
                cell.text = wide ? Utf16ToUtf8(data.substr(3, 2 * n), true) : codePageToUtf8(data.substr(3, n), 1252);
            } else {
                cell.text = codePageToUtf8(data.substr(2, n), codePage);
            }
            if (!cell.text.empty()) out[pendingString] = cell;
            pendingString = {-1, -1};
        }
    }
    return out;
}

} // namespace

ReadSheet ReadXls(const std::string& path, Extent extent) {
    const void* handle = nullptr;
    const int rc = freexl_open(path.c_str(), &handle);
    if (rc != FREEXL_OK) {
        if (handle) freexl_close(handle);
        fail(ReadError::Kind::Unreadable, path, "damaged or not an Excel workbook (FreeXL error " + std::to_string(rc) + ")");
    }
    struct Closer {
        const void* h;
        ~Closer() { freexl_close(h); }
    } closer{handle};
    unsigned int version = 0, codePage = 0, password = 0;
    freexl_get_info(handle, FREEXL_BIFF_VERSION, &version);
    freexl_get_info(handle, FREEXL_BIFF_CODEPAGE, &codePage);
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        fail(ReadError::Kind::Unreadable, path, "protected by a password");

    ReadSheet out;
    out.format = SheetFormat::Xls;
    const char* name = nullptr;
    if (freexl_get_worksheet_name(handle, 0, &name) == FREEXL_OK && name) out.name = name;
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &cols) != FREEXL_OK)
        fail(ReadError::Kind::Unreadable, path, "the first worksheet cannot be read");
    auto formulas =
        version >= FREEXL_BIFF_VER_5 ? formulaResults(path, version == FREEXL_BIFF_VER_8, codePage) : decltype(formulaResults(path, true, 0)){};

    const unsigned lastRow = extent.rows > 0 ? std::min<unsigned>(rows, static_cast<unsigned>(extent.rows)) : rows;
    const unsigned lastCol = extent.columns > 0 ? std::min<unsigned>(cols, static_cast<unsigned>(extent.columns)) : cols;
    out.rows.resize(lastRow);
    for (unsigned r = 0; r < lastRow; ++r) {
        auto& row = out.rows[r];
        for (unsigned c = 0; c < lastCol; ++c) {
            FreeXL_CellValue v;
            ReadCell cell;
            if (freexl_get_cell_value(handle, r, static_cast<unsigned short>(c), &v) == FREEXL_OK) {
                switch (v.type) {
                case FREEXL_CELL_INT:
                    cell.type = ReadCell::Type::Number;
                    cell.number = v.value.int_value;
                    cell.text = NumberText(cell.number);
                    break;
                case FREEXL_CELL_DOUBLE:
                    cell.type = ReadCell::Type::Number;
                    cell.number = v.value.double_value;
                    cell.text = NumberText(cell.number);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    cell.type = ReadCell::Type::Text;
                    cell.text = v.value.text_value ? v.value.text_value : "";
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    cell.type = ReadCell::Type::Date;
                    cell.text = v.value.text_value ? v.value.text_value : "";
                    break;
                default: {
                    auto f = formulas.find({static_cast<int>(r), static_cast<int>(c)});
                    if (f != formulas.end()) cell = f->second;
                }
                }
            }
            if (cell.type != ReadCell::Type::Empty) {
                row.resize(c);
                row.push_back(std::move(cell));
            }
        }
    }
    while (!out.rows.empty() && out.rows.back().empty()) out.rows.pop_back();
    return out;
}

} // namespace ecr::sheets::detail
