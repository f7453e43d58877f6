// Conversions between register byte fields and database values.
// Pure functions: no database, no Qt. Register text goes through the register's
// code page (CodePage.h); everything on the PC side is UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ecr {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;
using ByteSpan = std::span<std::uint8_t>;

// Little-endian signed integer scaled by 10^decimals. A raw value of -1 (a blank
// field in two's complement) gives the substitute, unscaled.
double BytesToNumber(ByteView field, int decimals, bool onesComplement, double substitute);

// Writes value * 10^decimals into out (out.size() bytes), little-endian, negative
// values in two's or one's complement. Digits that do not fit are dropped.
void NumberToBytes(double value, ByteSpan out, int decimals, bool onesComplement);
Bytes NumberToBytes(double value, int length, int decimals, bool onesComplement);

// All 0xFF gives ""; otherwise decoded from the register code page with outer
// blanks removed (NUL characters stay).
std::string BytesToText(ByteView field);

// Fills out with 0x20, then copies the text in the register code page, cut to
// out.size() bytes at a character boundary.
void TextToBytes(std::string_view text, ByteSpan out);

// Nibble-coded digit string (up to 16 characters) from two 4-byte words.
std::string BytesToDigits(ByteView first, ByteView second);

// Packs a digit string of at most 16 characters into two words, right-aligned.
// Longer texts leave both outputs unchanged and return false.
bool DigitsToLongs(std::string_view text, std::int32_t& first, std::int32_t& second);

// Removes NUL and U+00FF characters, then outer blanks.
std::string CleanText(std::string_view text);

bool IsBlankBytes(ByteView field);

// Reverses the characters (not the bytes) of a UTF-8 text.
std::string ReverseText(std::string_view text);

// Packed date-time: minute bits 0-5, hour 6-10, day 11-15, month 16-19, year 20-31.
// Gives "Y-M-D H:M" without leading zeros; month 0/13+ and day 0 read as 1,
// years below 1000 as 2046.
std::string PackedToDateText(std::uint32_t packed);

// "yyyymmddhhmm" to the packed form. Unsigned, so years up to 4095 fit.
std::uint32_t DateTextToPacked(std::string_view text);

// Trims blanks (0x20) on both sides.
std::string TrimBlanks(std::string_view text);

// Leading-number rule: the longest leading decimal number of the text (after
// blanks), 0 when it does not start with one.
double NumericValue(std::string_view text);

// A number without trailing zeros: 13 as "13", 9.5 as "9.5", up to 15 digits.
std::string PlainNumberText(double value);

// A catalogue text with %1, %2, ... replaced by args[0], args[1], ...;
// placeholders without an argument stay as they are.
std::string SubstituteArgs(std::string_view text, const std::vector<std::string>& args);

// Decimal byte list "255,0,12" and back. Missing or bad entries read as 0xFF.
std::string BytesToList(ByteView bytes);
Bytes ListToBytes(std::string_view list, std::size_t size);

} // namespace ecr
