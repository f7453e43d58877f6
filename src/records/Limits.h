// What a register field can hold. Each record kind names the limit of each of
// its fields beside its codec; entry forms, the spreadsheet import and the
// check that runs before a download all test values against these limits, so
// what the program accepts is what the register keeps.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ecr::records {

// Decimals of the price fields: params.PointEn in force, not a fixed number.
inline constexpr int kPointDecimals = -1;

struct FieldLimit {
    enum class Kind {
        Code,   // digit string of 1..16 digits in the nibble code
        Text,   // text of at most `bytes` bytes in the register code page
        Number, // signed integer field of `bytes` bytes, value x 10^decimals
        Whole,  // whole number from min to max (department numbers, slot numbers)
    };
    Kind kind = Kind::Text;
    int bytes = 0;
    int decimals = 0;            // Number: fixed decimals, or kPointDecimals
    bool onesComplement = false; // Number: negative values in one's complement
    long long min = 0;           // Whole
    long long max = 0;
    bool optional = false;       // Code: empty is allowed (an unused place)
};

constexpr FieldLimit CodeLimit(bool optional = false) {
    FieldLimit l;
    l.kind = FieldLimit::Kind::Code;
    l.bytes = 8;
    l.optional = optional;
    return l;
}
constexpr FieldLimit TextLimit(int bytes) {
    FieldLimit l;
    l.kind = FieldLimit::Kind::Text;
    l.bytes = bytes;
    return l;
}
constexpr FieldLimit NumberLimit(int bytes, int decimals, bool onesComplement = false) {
    FieldLimit l;
    l.kind = FieldLimit::Kind::Number;
    l.bytes = bytes;
    l.decimals = decimals;
    l.onesComplement = onesComplement;
    return l;
}
constexpr FieldLimit WholeLimit(long long min, long long max) {
    FieldLimit l;
    l.kind = FieldLimit::Kind::Whole;
    l.min = min;
    l.max = max;
    return l;
}

// Catalogue texts of the reasons; %1 is the field's caption, filled in by
// whoever shows the message, the others come from LimitProblem::args.
namespace limitmsg {
inline constexpr int BadCode = 120001;     // "%1: a code has 1 to 16 digits."
inline constexpr int TooLong = 120002;     // "%1: %2 bytes ...; the register holds %3."
inline constexpr int Unencodable = 120003; // "%1: the register's character set has no "%2"."
inline constexpr int OutOfRange = 120004;  // "%1: %2 is outside what the register holds (%3 to %4)."
inline constexpr int NotANumber = 120005;  // "%1: "%2" is not a number."
} // namespace limitmsg

// Why a value does not fit its field.
struct LimitProblem {
    int messageId = 0;
    std::vector<std::string> args; // %2, %3, ...
    bool operator==(const LimitProblem&) const = default;
};

// Text as typed, pasted or read from a spreadsheet, in the form it will be
// stored (callers trim names before they store them). An empty text passes
// for numbers (stored as 0) and for optional codes; whether a field may be
// empty at all is the form's own rule, checked before this one.
// pointDecimals: params.PointEn in force.
std::optional<LimitProblem> CheckText(const FieldLimit& limit, std::string_view text, int pointDecimals);

// A stored number, before it is written into a page.
std::optional<LimitProblem> CheckNumber(const FieldLimit& limit, double value, int pointDecimals);

// Decimals of a Number field with params.PointEn in force.
int LimitDecimals(const FieldLimit& limit, int pointDecimals);

// Lowest and highest value a Number or Whole field holds, as stored (not scaled).
std::pair<double, double> LimitRange(const FieldLimit& limit, int pointDecimals);

// True for 1..16 digits (blanks inside count as the nibble code's blank).
bool IsRegisterCode(std::string_view text);

} // namespace ecr::records
