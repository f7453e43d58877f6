#include "SqlFunctions.h"

#include <sqlite3.h>

#include <clocale>
#include <cmath>
#include <cwctype>
#include <locale.h>
#include <wctype.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ecr::db {
namespace {

bool parseNumber(std::string_view text, double& out) {
    std::string s(text);
    const char* p = s.c_str();
    while (*p == ' ') ++p;
    if (!*p) return false;
    char* end = nullptr;
    out = std::strtod(p, &end);
    while (end && *end == ' ') ++end;
    return end && *end == '\0';
}

// Fields of a stored date 'YYYY-MM-DD HH:MM:SS' (also 'YYYY-M-D H:M').
struct DateParts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool ok = false;
};

DateParts parseDate(std::string_view text) {
    DateParts d;
    std::string s(text);
    int n = std::sscanf(s.c_str(), "%d-%d-%d %d:%d:%d", &d.year, &d.month, &d.day, &d.hour, &d.minute,
                        &d.second);
    d.ok = n >= 3;
    return d;
}

void fnFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string text = t ? t : "";
    const auto* pt = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    std::string pattern = pt ? pt : "";
    int type = sqlite3_value_type(argv[0]);
    double number = 0;
    bool isNumber = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
    if (isNumber) number = sqlite3_value_double(argv[0]);
    std::string out = FormatValue(text, isNumber, number, pattern);
    sqlite3_result_text(ctx, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void fnCstr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT) {
        double v = sqlite3_value_double(argv[0]);
        char buf[64];
        sqlite3_snprintf(sizeof buf, buf, "%!.15g", v);
        std::string s = buf;
        if (s.size() > 2 && s.ends_with(".0")) s.resize(s.size() - 2);
        sqlite3_result_text(ctx, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        return;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    sqlite3_result_text(ctx, t ? t : "", -1, SQLITE_TRANSIENT);
}

template <int DateParts::*Field>
void fnDatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    DateParts d = parseDate(t ? t : "");
    if (!d.ok) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, d.*Field);
}

} // namespace

std::string FormatValue(std::string_view text, bool isNumber, double number, std::string_view pattern) {
    char buf[64];
    if (pattern == "yyyy-mm-dd" || pattern == "yyyymmddhhmm") {
        DateParts d = parseDate(text);
        if (!d.ok) return std::string(text);
        if (pattern == "yyyy-mm-dd")
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
        else
            std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d", d.year, d.month, d.day, d.hour, d.minute);
        return buf;
    }
    if (!isNumber && !parseNumber(text, number)) return std::string(text);
    const auto point = pattern.find('.');
    if (point != std::string_view::npos) {
        const int decimals = static_cast<int>(pattern.size() - point - 1);
        // Half away from zero, as amounts are shown everywhere else.
        const double scale = std::pow(10.0, decimals);
        double r = std::floor(std::fabs(number) * scale + 0.5 + 1e-9) / scale;
        if (number < 0 && r != 0) r = -r;
        std::snprintf(buf, sizeof buf, "%.*f", decimals, r);
        return buf;
    }
    if (!pattern.empty() && pattern.find_first_not_of('0') == std::string_view::npos) {
        const long long v = std::llround(number);
        std::snprintf(buf, sizeof buf, "%0*lld", static_cast<int>(pattern.size()) + (v < 0 ? 1 : 0), v);
        return buf;
    }
    return std::string(text);
}

namespace {

// lower_text(x): x in lower case for every letter Unicode gives a lower case,
// not for ASCII only as SQLite's lower() does; case-insensitive searches
// compare lower_text of both sides.
locale_t utf8Locale() {
    static const locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return l;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string lowerText(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    const locale_t loc = utf8Locale();
    for (std::size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        const int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        bool ok = n > 0 && i + static_cast<std::size_t>(n) <= in.size();
        for (int k = 1; ok && k < n; ++k) {
            const auto cont = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
            ok = (cont & 0xC0) == 0x80;
            c = (c << 6) | (cont & 0x3F);
        }
        if (!ok) { // not UTF-8: the byte as it is
            out += in[i++];
            continue;
        }
        if (loc && c >= 0x80) c = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), loc));
        else if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        appendUtf8(out, c);
        i += static_cast<std::size_t>(n);
    }
    return out;
}

void fnLowerText(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const std::string lower = lowerText(std::string_view(t ? t : "", static_cast<std::size_t>(sqlite3_value_bytes(argv[0]))));
    sqlite3_result_text(ctx, lower.data(), static_cast<int>(lower.size()), SQLITE_TRANSIENT);
}

} // namespace

void RegisterSqlFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "format", 2, flags, nullptr, fnFormat, nullptr, nullptr);
    sqlite3_create_function(db, "cstr", 1, flags, nullptr, fnCstr, nullptr, nullptr);
    sqlite3_create_function(db, "year", 1, flags, nullptr, fnDatePart<&DateParts::year>, nullptr, nullptr);
    sqlite3_create_function(db, "month", 1, flags, nullptr, fnDatePart<&DateParts::month>, nullptr, nullptr);
    sqlite3_create_function(db, "day", 1, flags, nullptr, fnDatePart<&DateParts::day>, nullptr, nullptr);
    sqlite3_create_function(db, "lower_text", 1, flags, nullptr, fnLowerText, nullptr, nullptr);
}

} // namespace ecr::db
