#include "Document.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <charconv>
#include <cstdlib>
#include <optional>

namespace ecr::reports {

std::vector<std::string> Document::row(std::size_t r) const {
    std::vector<std::string> out;
    for (std::size_t c = 0; c < columns.size(); ++c) out.emplace_back(cell(r, c));
    return out;
}

void Document::addCell(std::string_view text) {
    constexpr std::size_t kBlock = 1 << 20;
    if (blocks_.empty() || blocks_.back().size() + text.size() > blocks_.back().capacity()) {
        blocks_.emplace_back();
        blocks_.back().reserve(std::max(kBlock, text.size()));
    }
    std::string& b = blocks_.back();
    refs_.push_back({static_cast<std::uint32_t>(blocks_.size() - 1), static_cast<std::uint32_t>(b.size()),
                     static_cast<std::uint32_t>(text.size())});
    b.append(text);
}

void Document::addRow(const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < columns.size(); ++c) addCell(c < row.size() ? std::string_view(row[c]) : std::string_view());
}

double Document::number(std::size_t row, std::size_t column) const {
    return std::strtod(std::string(cell(row, column)).c_str(), nullptr);
}

void Document::addTotal(std::string caption, double value, bool amount) {
    totals.push_back({std::move(caption), amount ? AmountText(value) : QuantityText(value), value});
}

namespace {

// The value in units of 10^-decimals, rounded half away from zero; sums of
// binary fractions that land a hair below a half still round up.
double scaledRound(double value, int decimals) {
    const double scaled = value * std::pow(10.0, decimals);
    return std::round(scaled + std::copysign(1e-6, scaled));
}

// Fixed-point text of a rounded scaled value; trailing zeros of the
// fraction dropped when asked. Nothing for values beyond 64 bits.
std::optional<std::string> fixedText(double scaled, int decimals, bool trim) {
    if (!(std::fabs(scaled) < 9e18)) return std::nullopt;
    long long n = std::llround(scaled);
    const bool negative = n < 0;
    unsigned long long u = negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
    unsigned long long unit = 1;
    for (int i = 0; i < decimals; ++i) unit *= 10;
    char buf[48];
    char* p = buf;
    if (negative && u != 0) *p++ = '-';
    p = std::to_chars(p, buf + sizeof buf, u / unit).ptr;
    unsigned long long frac = u % unit;
    int digits = decimals;
    if (trim)
        while (digits > 0 && frac % 10 == 0) {
            frac /= 10;
            --digits;
        }
    if (digits > 0) {
        *p++ = '.';
        for (int i = digits - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + frac % 10);
            frac /= 10;
        }
        p += digits;
    }
    return std::string(buf, p);
}

} // namespace

std::string AmountText(double value) {
    const double r = scaledRound(value, 2);
    if (auto t = fixedText(r, 2, false)) return *t;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    return buf;
}

std::string QuantityText(double value) {
    const double r = scaledRound(value, 3);
    if (auto t = fixedText(r, 3, true)) return *t;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

} // namespace ecr::reports
