#include "GlobalFunc.h"

#include "CodePage.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cmath>
#include <cstdio>

namespace ecr {
namespace {

constexpr double kPow10[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1000000.0,
                             10000000.0, 100000000.0, 1000000000.0};

double pow10(int d) {
    if (d >= 0 && d < static_cast<int>(std::size(kPow10))) return kPow10[d];
    return std::pow(10.0, d);
}

bool isBlank(char c) { return c == ' '; }

// Nibble code: space 0, "0".."8" 1..9, "9" 10 (A), filler F.
char nibbleToChar(unsigned nibble) {
    if (nibble == 0) return ' ';
    if (nibble <= 10) return static_cast<char>('0' + nibble - 1);
    return 0; // F filler and the undefined B..E stand for nothing
}

unsigned charToNibble(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0' + 1);
    return 0; // space and anything without a meaning
}

} // namespace

double BytesToNumber(ByteView field, int decimals, bool onesComplement, double substitute) {
    if (field.empty()) return 0.0;
    std::int64_t value = 0;
    const bool negative = (field.back() & 0x80) != 0;
    for (std::size_t i = field.size(); i-- > 0;) {
        std::uint8_t b = negative ? static_cast<std::uint8_t>(255 - field[i]) : field[i];
        value = value * 256 + b;
    }
    if (negative) value = onesComplement ? -value : -(value + 1);
    if (value == -1) return substitute;
    return static_cast<double>(value) / pow10(decimals);
}

void NumberToBytes(double value, ByteSpan out, int decimals, bool onesComplement) {
    const double scaled = std::fabs(value) * pow10(decimals);
    // Half away from zero, tolerant of the binary representation of decimals
    // such as 1.005.
    std::uint64_t magnitude = static_cast<std::uint64_t>(std::floor(scaled + 0.5 + scaled * 1e-12 + 1e-9));
    // A value that rounds to zero is written as zero, not as a negative zero.
    const bool negative = value < 0 && magnitude != 0;
    if (negative && onesComplement) magnitude += 1;
    for (auto& b : out) {
        b = static_cast<std::uint8_t>(magnitude % 256);
        magnitude /= 256;
    }
    if (negative && !out.empty()) {
        for (auto& b : out) b = static_cast<std::uint8_t>(~b);
        for (auto& b : out) {
            b = static_cast<std::uint8_t>(b + 1);
            if (b != 0) break;
        }
        out.back() |= 0x80;
    }
}

Bytes NumberToBytes(double value, int length, int decimals, bool onesComplement) {
    Bytes out(static_cast<std::size_t>(length));
    NumberToBytes(value, out, decimals, onesComplement);
    return out;
}

std::string TrimBlanks(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string BytesToText(ByteView field) {
    if (IsBlankBytes(field)) return {};
    std::string_view raw(reinterpret_cast<const char*>(field.data()), field.size());
    return TrimBlanks(DecodeRegisterText(raw));
}

void TextToBytes(std::string_view text, ByteSpan out) {
    std::fill(out.begin(), out.end(), 0x20);
    const std::string encoded = EncodeRegisterTextFit(text, out.size());
    std::copy(encoded.begin(), encoded.end(), out.begin());
}

std::string BytesToDigits(ByteView first, ByteView second) {
    char hex[17];
    auto word = [](ByteView w) {
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(BytesToNumber(w, 0, false, 0)));
    };
    std::snprintf(hex, sizeof hex, "%08X%08X", word(first), word(second));
    std::string digits;
    digits.reserve(16);
    for (int i = 0; i < 16; ++i) {
        char h = hex[i];
        unsigned nibble = static_cast<unsigned>(h <= '9' ? h - '0' : h - 'A' + 10);
        if (char c = nibbleToChar(nibble)) digits.push_back(c);
    }
    return TrimBlanks(digits);
}

bool DigitsToLongs(std::string_view text, std::int32_t& first, std::int32_t& second) {
    if (text.size() > 16) return false;
    std::uint64_t packed = 0;
    const std::size_t pad = 16 - text.size();
    for (std::size_t i = 0; i < 16; ++i) {
        unsigned nibble = i < pad ? 0 : charToNibble(text[i - pad]);
        packed = (packed << 4) | nibble;
    }
    first = static_cast<std::int32_t>(static_cast<std::uint32_t>(packed >> 32));
    second = static_cast<std::int32_t>(static_cast<std::uint32_t>(packed & 0xFFFFFFFFu));
    return true;
}

std::string CleanText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') continue;
        // U+00FF in UTF-8 is C3 BF
        if (static_cast<unsigned char>(c) == 0xC3 && i + 1 < text.size() &&
            static_cast<unsigned char>(text[i + 1]) == 0xBF) {
            ++i;
            continue;
        }
        out.push_back(c);
    }
    return TrimBlanks(out);
}

bool IsBlankBytes(ByteView field) {
    for (auto b : field)
        if (b != 0xFF) return false;
    return true;
}

std::string ReverseText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t end = text.size();
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        out.append(text.substr(start, end - start));
        end = start;
    }
    return out;
}

std::string PackedToDateText(std::uint32_t packed) {
    unsigned minute = packed & 0x3F;
    unsigned hour = (packed >> 6) & 0x1F;
    unsigned day = (packed >> 11) & 0x1F;
    unsigned month = (packed >> 16) & 0x0F;
    unsigned year = (packed >> 20) & 0xFFF;
    if (month == 0 || month > 12) month = 1;
    if (day == 0) day = 1;
    if (year < 1000) year = 2046;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u-%u-%u %u:%u", year, month, day, hour, minute);
    return buf;
}

std::uint32_t DateTextToPacked(std::string_view text) {
    auto num = [&](std::size_t pos, std::size_t len) -> std::uint32_t {
        if (pos >= text.size()) return 0;
        std::uint32_t v = 0;
        auto part = text.substr(pos, len);
        std::from_chars(part.data(), part.data() + part.size(), v);
        return v;
    };
    const std::uint32_t year = num(0, 4), month = num(4, 2), day = num(6, 2), hour = num(8, 2);
    const std::uint32_t minute = text.size() >= 2 ? num(text.size() - 2, 2) : 0;
    return (year << 20) + (month << 16) + (day << 11) + (hour << 6) + minute;
}

double NumericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    bool digits = false, point = false;
    while (i < text.size()) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    if (!digits) return 0.0;
    std::string s(text.substr(start, i - start));
    if (!s.empty() && s.front() == '+') s.erase(0, 1);
    return std::strtod(s.c_str(), nullptr);
}

std::string PlainNumberText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

std::string SubstituteArgs(std::string_view text, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string BytesToList(ByteView bytes) {
    std::string out;
    out.reserve(bytes.size() * 4);
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) out.push_back(',');
        auto [p, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned>(bytes[i]));
        (void)ec;
        out.append(buf, p);
    }
    return out;
}

Bytes ListToBytes(std::string_view list, std::size_t size) {
    Bytes out(size, 0xFF);
    std::size_t idx = 0, pos = 0;
    while (idx < size && pos <= list.size()) {
        std::size_t comma = list.find(',', pos);
        if (comma == std::string_view::npos) comma = list.size();
        auto item = list.substr(pos, comma - pos);
        unsigned v = 0;
        auto [p, ec] = std::from_chars(item.data(), item.data() + item.size(), v);
        if (ec == std::errc() && p == item.data() + item.size() && v <= 255)
            out[idx] = static_cast<std::uint8_t>(v);
        ++idx;
        if (comma == list.size()) break;
        pos = comma + 1;
    }
    return out;
}

} // namespace ecr
