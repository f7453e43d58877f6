#include "Limits.h"

#include "app/CodePage.h"
#include "app/GlobalFunc.h"

#include <cmath>
#include <cstdio>

namespace ecr::records {

namespace {

// "123", "-4.50", "+.5": a whole number text with an optional sign and point.
bool IsNumberText(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            digits = true;
        else if (t[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

bool IsWholeText(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    return true;
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

LimitProblem OutOfRange(const FieldLimit& limit, std::string shown, int pointDecimals) {
    const auto [lo, hi] = LimitRange(limit, pointDecimals);
    const int d = limit.kind == FieldLimit::Kind::Number ? LimitDecimals(limit, pointDecimals) : 0;
    return {limitmsg::OutOfRange, {std::move(shown), Fixed(lo, d), Fixed(hi, d)}};
}

} // namespace

int LimitDecimals(const FieldLimit& limit, int pointDecimals) {
    const int d = limit.decimals == kPointDecimals ? pointDecimals : limit.decimals;
    return d < 0 ? 0 : (d > 9 ? 9 : d);
}

std::pair<double, double> LimitRange(const FieldLimit& limit, int pointDecimals) {
    if (limit.kind == FieldLimit::Kind::Whole)
        return {static_cast<double>(limit.min), static_cast<double>(limit.max)};
    if (limit.kind != FieldLimit::Kind::Number || limit.bytes < 1 || limit.bytes > 4) return {0, 0};
    // Signed field: two's complement reaches one further below zero than
    // one's complement does.
    const double top = std::ldexp(1.0, 8 * limit.bytes - 1);
    const double scale = std::pow(10.0, LimitDecimals(limit, pointDecimals));
    const double highest = (top - 1) / scale;
    const double lowest = -(limit.onesComplement ? top - 1 : top) / scale;
    return {lowest, highest};
}

bool IsRegisterCode(std::string_view text) {
    const std::string t = TrimBlanks(text);
    if (t.empty() || t.size() > 16) return false;
    for (char c : t)
        if ((c < '0' || c > '9') && c != ' ') return false;
    return true;
}

std::optional<LimitProblem> CheckNumber(const FieldLimit& limit, double value, int pointDecimals) {
    if (limit.kind == FieldLimit::Kind::Whole) {
        if (!std::isfinite(value) || value != std::floor(value) || value < static_cast<double>(limit.min) ||
            value > static_cast<double>(limit.max))
            return OutOfRange(limit, PlainNumberText(value), pointDecimals);
        return std::nullopt;
    }
    if (limit.kind != FieldLimit::Kind::Number) return std::nullopt;
    const int d = LimitDecimals(limit, pointDecimals);
    if (!std::isfinite(value)) return OutOfRange(limit, PlainNumberText(value), pointDecimals);
    // The integer the field will hold: rounded half away from zero at the
    // field's decimals, as NumberToBytes rounds.
    const double scaled = std::round(std::fabs(value) * std::pow(10.0, d));
    const double top = std::ldexp(1.0, 8 * limit.bytes - 1);
    const double most = value < 0 ? (limit.onesComplement ? top - 1 : top) : top - 1;
    if (scaled > most) return OutOfRange(limit, PlainNumberText(value), pointDecimals);
    return std::nullopt;
}

std::optional<LimitProblem> CheckText(const FieldLimit& limit, std::string_view text, int pointDecimals) {
    switch (limit.kind) {
    case FieldLimit::Kind::Code:
        if (TrimBlanks(text).empty() && limit.optional) return std::nullopt;
        if (!IsRegisterCode(text)) return LimitProblem{limitmsg::BadCode, {}};
        return std::nullopt;
    case FieldLimit::Kind::Text: {
        if (std::string bad = UnencodableCharacter(text); !bad.empty())
            return LimitProblem{limitmsg::Unencodable, {bad}};
        const std::size_t n = RegisterTextLength(text);
        if (n > static_cast<std::size_t>(limit.bytes))
            return LimitProblem{limitmsg::TooLong, {std::to_string(n), std::to_string(limit.bytes)}};
        return std::nullopt;
    }
    case FieldLimit::Kind::Number: {
        const std::string t = TrimBlanks(text);
        if (t.empty()) return std::nullopt;
        if (!IsNumberText(t)) return LimitProblem{limitmsg::NotANumber, {t}};
        if (CheckNumber(limit, NumericValue(t), pointDecimals)) return OutOfRange(limit, t, pointDecimals);
        return std::nullopt;
    }
    case FieldLimit::Kind::Whole: {
        const std::string t = TrimBlanks(text);
        if (t.empty()) return std::nullopt;
        if (!IsWholeText(t)) {
            if (IsNumberText(t)) return OutOfRange(limit, t, pointDecimals);
            return LimitProblem{limitmsg::NotANumber, {t}};
        }
        // More digits than a long long holds are out of any range.
        if (t.size() > 18 || CheckNumber(limit, NumericValue(t), pointDecimals))
            return OutOfRange(limit, t, pointDecimals);
        return std::nullopt;
    }
    }
    return std::nullopt;
}

} // namespace ecr::records
