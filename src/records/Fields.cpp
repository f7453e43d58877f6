#include "Fields.h"

#include <cmath>
#include <cstdio>

namespace ecr::records {

std::string ReadCode(ByteView field) {
    return BytesToDigits(field.subspan(0, 4), field.subspan(4, 4));
}

bool WriteCode(std::string_view digits, ByteSpan field) {
    std::int32_t first = 0, second = 0;
    if (!DigitsToLongs(digits, first, second)) return false;
    PutNumber(first, field.subspan(0, 4), 0, false);
    PutNumber(second, field.subspan(4, 4), 0, false);
    return true;
}

std::uint32_t ReadWord(ByteView field) {
    std::uint32_t v = 0;
    for (std::size_t i = field.size(); i-- > 0;)
        v = (v << 8) | field[i];
    return v;
}

void PutNumber(double value, ByteSpan field, int decimals, bool onesComplement) {
    if (!std::isfinite(value)) value = 0;
    const double scale = std::pow(10.0, decimals);
    // Beyond 2^53 the scaled value has no exact digits left; keep it well inside
    // the range NumberToBytes can hold and drop the high digits as a field would.
    if (std::fabs(value) * scale >= 9.0e15) {
        value = std::fmod(value * scale, 4294967296.0) / scale;
        if (!std::isfinite(value)) value = 0;
    }
    NumberToBytes(value, field, decimals, onesComplement);
}

int PriceDecimals(int pointEn) {
    return pointEn < 0 ? 0 : (pointEn > 9 ? 9 : pointEn);
}

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int last = kDays[month - 1];
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) last = 29;
    return day <= last;
}

std::string IsoDateTime(int year, int month, int day, int hour, int minute, int second) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return buf;
}

std::optional<std::string> PackedToIsoDateTime(std::uint32_t packed) {
    const std::string text = PackedToDateText(packed);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d", &y, &mo, &d, &h, &mi) != 5) return std::nullopt;
    if (!IsValidDate(y, mo, d) || h > 23 || mi > 59) return std::nullopt;
    return IsoDateTime(y, mo, d, h, mi);
}

std::uint32_t StoredDateToPacked(std::string_view text) {
    // Up to five numbers: year, month, day, hour, minute; seconds are not kept.
    long parts[5] = {0, 0, 0, 0, 0};
    int n = 0;
    std::size_t i = 0;
    while (i < text.size() && n < 5) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        long v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (v < 100000) v = v * 10 + (text[i] - '0');
            ++i;
        }
        parts[n++] = v;
    }
    if (n == 0) return 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04ld%02ld%02ld%02ld%02ld", parts[0] % 10000, parts[1] % 100, parts[2] % 100,
                  parts[3] % 100, parts[4] % 100);
    return DateTextToPacked(buf);
}

} // namespace ecr::records
