#include "Document.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ecr::reports {

std::vector<std::string> Document::row(std::size_t r) const {
    const std::size_t n = columns.size();
    return {cells.begin() + static_cast<std::ptrdiff_t>(r * n), cells.begin() + static_cast<std::ptrdiff_t>((r + 1) * n)};
}

void Document::addRow(std::vector<std::string> row) {
    row.resize(columns.size());
    for (auto& c : row) cells.push_back(std::move(c));
}

double Document::number(std::size_t row, std::size_t column) const {
    return std::strtod(cell(row, column).c_str(), nullptr);
}

void Document::addTotal(std::string caption, double value, bool amount) {
    totals.push_back({std::move(caption), amount ? AmountText(value) : QuantityText(value), value});
}

namespace {
// Rounds to the given decimals, half away from zero; sums of binary
// fractions that land a hair below a half still round up.
double roundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    double r = std::round(scaled + std::copysign(1e-6, scaled));
    if (r == 0) r = 0; // no negative zero
    return r / scale;
}
} // namespace

std::string AmountText(double value) {
    char buf[64];
    double r = roundTo(value, 2);
    if (r == 0) r = 0;
    std::snprintf(buf, sizeof buf, "%.2f", r);
    return buf;
}

std::string QuantityText(double value) {
    char buf[64];
    double r = roundTo(value, 3);
    if (r == 0) r = 0;
    std::snprintf(buf, sizeof buf, "%.3f", r);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

} // namespace ecr::reports
