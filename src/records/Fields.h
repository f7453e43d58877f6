// Field helpers shared by the record kinds: record slots, codes, packed dates
// and amounts, on top of the common conversions.
#pragma once

#include "app/GlobalFunc.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ecr::records {

// Record i of a page of fixed-size records.
inline ByteView RecordAt(ByteView page, int index, int size) {
    return page.subspan(static_cast<std::size_t>(index) * static_cast<std::size_t>(size),
                        static_cast<std::size_t>(size));
}
inline ByteSpan RecordAt(ByteSpan page, int index, int size) {
    return page.subspan(static_cast<std::size_t>(index) * static_cast<std::size_t>(size),
                        static_cast<std::size_t>(size));
}

// A digit code kept as two 4-byte words (8 bytes).
std::string ReadCode(ByteView field);
// Writes the code's two words; false (field untouched) when it has more than 16 characters.
bool WriteCode(std::string_view digits, ByteSpan field);

// Little-endian unsigned word of up to 4 bytes.
std::uint32_t ReadWord(ByteView field);

// NumberToBytes for values read from the database: a value that is not finite
// is written as 0, and one too large for any field keeps only its low digits,
// as a field of the given width would.
void PutNumber(double value, ByteSpan field, int decimals, bool onesComplement);

// Decimals of prices (params.PointEn, 2 without a row), kept to what a field can scale.
int PriceDecimals(int pointEn);

bool IsValidDate(int year, int month, int day);
// "YYYY-MM-DD HH:MM:SS", the form dates are stored in.
std::string IsoDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// A packed date-time read the way PackedToDateText reads it, as stored text;
// nullopt when it names no real date and time (30 February, hour 25).
std::optional<std::string> PackedToIsoDateTime(std::uint32_t packed);

// Stored date text ("YYYY-MM-DD HH:MM:SS", "YYYY-MM-DD" or unpadded forms)
// to the packed form, through "yyyymmddhhmm". Empty text packs to 0.
std::uint32_t StoredDateToPacked(std::string_view text);

} // namespace ecr::records
