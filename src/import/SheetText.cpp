// What the readers share: the format by content, cell texts as shown
// (numbers, dates), and CSV text.
#include "SheetReaders.h"

#include "app/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace ecr::sheets {
namespace detail {

std::string NumberText(double v) {
    char buf[64];
    if (std::fabs(v - std::round(v)) < 1e-9 && std::fabs(v) < 1e15)
        std::snprintf(buf, sizeof buf, "%.0f", v == 0 ? 0.0 : std::round(v));
    else
        std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

namespace {

// Year, month and day of a day count from 1970-01-01 (proleptic Gregorian).
void civilFromDays(long long z, long long& y, long long& m, long long& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

} // namespace

std::string DateText(double serial) {
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466) return NumberText(serial);
    long long seconds = std::llround(serial * 86400.0);
    const long long days = seconds / 86400;
    seconds %= 86400;
    char buf[64];
    std::string out;
    if (days == 60) {
        out = "1900-02-29"; // the day the 1900 date system counts and the calendar lacks
    } else if (days > 0) {
        long long y, m, d;
        civilFromDays(days - (days < 60 ? 25568 : 25569), y, m, d);
        std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld", y, m, d);
        out = buf;
    }
    if (seconds > 0 || days == 0) {
        std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
        out += out.empty() ? buf : std::string(" ") + buf;
    }
    return out;
}

bool IsDateFormat(int builtinId, std::string_view code) {
    if (code.empty())
        return (builtinId >= 14 && builtinId <= 22) || (builtinId >= 27 && builtinId <= 36) ||
               (builtinId >= 45 && builtinId <= 47) || (builtinId >= 50 && builtinId <= 58);
    std::string lower;
    for (char c : code) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (lower == "general" || lower == "@") return false;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        const char c = lower[i];
        if (c == '"') { // literal text
            const std::size_t end = lower.find('"', i + 1);
            if (end == std::string::npos) break;
            i = end;
        } else if (c == '\\' || c == '_' || c == '*') { // an escaped, spacing or fill character
            ++i;
        } else if (c == '[') { // colour, condition or locale; [h], [mm], [ss] are elapsed time
            const std::size_t end = lower.find(']', i + 1);
            if (end == std::string::npos) break;
            const std::string inner = lower.substr(i + 1, end - i - 1);
            if (!inner.empty() && inner.find_first_not_of("hms") == std::string::npos) return true;
            i = end;
        } else if (c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 's') {
            return true;
        }
    }
    return false;
}

std::string Utf16ToUtf8(std::string_view b, bool little) {
    std::string out;
    auto unit = [&](std::size_t i) -> char32_t {
        const unsigned char lo = static_cast<unsigned char>(b[little ? i : i + 1]);
        const unsigned char hi = static_cast<unsigned char>(b[little ? i + 1 : i]);
        return static_cast<char32_t>(lo | hi << 8);
    };
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < b.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace detail

namespace {

bool hasBom16(std::string_view b) {
    return b.size() >= 2 && ((b[0] == '\xFF' && b[1] == '\xFE') || (b[0] == '\xFE' && b[1] == '\xFF'));
}

// Text has no control characters but tab, line ends and form feed.
bool looksLikeText(std::string_view b) {
    for (unsigned char c : b)
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f') || c == 0x7F) return false;
    return true;
}

bool isUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || (n == 1 && c < 0xC2) || i + static_cast<std::size_t>(n) >= s.size() + (n == 0)) return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 2) return false;
        i += static_cast<std::size_t>(n) + 1;
    }
    return true;
}


// The separator the first line uses most, outside quotes: comma, semicolon
// or tab (a comma when it uses none).
char detectSeparator(std::string_view text) {
    std::size_t comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        comma += c == ',';
        semicolon += c == ';';
        tab += c == '\t';
    }
    if (tab > comma && tab >= semicolon) return '\t';
    if (semicolon > comma) return ';';
    return ',';
}

// "12", "-3.5", "+.5", "1e3": a number as a whole.
bool wholeNumber(const std::string& t, double& v) {
    if (t.empty()) return false;
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-') ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(t[i])))
            digits = true;
        else if (t[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    if (!digits) return false;
    v = std::strtod(t.c_str(), nullptr);
    return true;
}

} // namespace

SheetFormat DetectFormat(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ReadError(ReadError::Kind::Unreadable, path, std::strerror(errno));
    std::string head(4096, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (head.starts_with("PK\x03\x04") || head.starts_with("PK\x05\x06")) {
        if (auto f = detail::ZipFormat(path)) return *f;
        throw ReadError(ReadError::Kind::NotASpreadsheet, path, "a zip file without a workbook");
    }
    if (head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return SheetFormat::Xls;
    // Text: a possibly cut last character of the sample does not matter here.
    if (hasBom16(head) || looksLikeText(head)) return SheetFormat::Csv;
    throw ReadError(ReadError::Kind::NotASpreadsheet, path, "neither a workbook nor text");
}

ReadSheet ReadCsv(std::string_view bytes, ReadLimits limits) {
    std::string text;
    if (hasBom16(bytes))
        text = detail::Utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFF');
    else if (bytes.starts_with("\xEF\xBB\xBF"))
        text = std::string(bytes.substr(3));
    else if (isUtf8(bytes))
        text = std::string(bytes);
    else
        text = DecodeRegisterText(bytes);

    ReadSheet out;
    out.format = SheetFormat::Csv;
    const char sep = detectSeparator(text);
    std::vector<ReadCell> row;
    std::string field;
    bool quoted = false, wasQuoted = false, rowStarted = false;
    auto endField = [&] {
        if (limits.keepsColumn(static_cast<long long>(row.size()))) {
            ReadCell cell;
            double v = 0;
            if (!field.empty()) {
                cell.type = !wasQuoted && wholeNumber(field, v) ? ReadCell::Type::Number : ReadCell::Type::Text;
                cell.number = v;
                cell.text = std::move(field);
            }
            row.push_back(std::move(cell));
        } else {
            row.emplace_back();
        }
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        if (limits.columns > 0 && row.size() > static_cast<std::size_t>(limits.columns))
            row.resize(static_cast<std::size_t>(limits.columns));
        while (!row.empty() && row.back().type == ReadCell::Type::Empty) row.pop_back();
        out.rows.push_back(std::move(row));
        row.clear();
        rowStarted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        rowStarted = true;
        if (c == '"' && field.empty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == sep) {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endRow();
            if (!limits.keepsRow(static_cast<long long>(out.rows.size()))) return out;
        } else {
            field += c;
        }
    }
    if (rowStarted || quoted || !field.empty()) endRow();
    return out;
}

} // namespace ecr::sheets
