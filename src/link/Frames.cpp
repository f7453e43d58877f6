#include "Frames.h"

#include <stdexcept>

namespace ecr::link {

namespace {
std::uint8_t lo(int a) { return static_cast<std::uint8_t>(a & 0xFF); }
std::uint8_t hi(int a) { return static_cast<std::uint8_t>((a >> 8) & 0xFF); }
} // namespace

std::uint8_t PageChecksum(std::uint8_t l, std::uint8_t h, ByteView data) {
    unsigned sum = l + h;
    for (std::uint8_t b : data) sum += b;
    return static_cast<std::uint8_t>(255 - (sum % 256));
}

Bytes ReadRequestFrame(int pageAddress) { return {kHead0, kHead1, code::Page, lo(pageAddress), hi(pageAddress)}; }

Bytes PageFrame(std::uint8_t frameCode, int pageAddress, ByteView data) {
    if (data.size() != 4096) throw std::invalid_argument("a page holds 4096 bytes");
    Bytes f;
    f.reserve(kPageFrameSize);
    f.insert(f.end(), {kHead0, kHead1, frameCode, lo(pageAddress), hi(pageAddress)});
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(PageChecksum(lo(pageAddress), hi(pageAddress), data));
    return f;
}

Bytes ClockFrame(const ClockTime& t) {
    Bytes f = {kHead0,
               kHead1,
               code::Clock,
               lo(t.year),
               hi(t.year),
               static_cast<std::uint8_t>(t.month),
               static_cast<std::uint8_t>(t.day),
               static_cast<std::uint8_t>(t.hour),
               static_cast<std::uint8_t>(t.minute)};
    unsigned sum = 0;
    for (std::size_t i = 3; i < 9; ++i) sum += f[i];
    f.push_back(static_cast<std::uint8_t>(255 - (sum % 256)));
    return f;
}

bool ParseClockFrame(ByteView f, ClockTime& out) {
    if (f.size() != kClockFrameSize || f[0] != kHead0 || f[1] != kHead1 || f[2] != code::Clock) return false;
    unsigned sum = 0;
    for (std::size_t i = 3; i < 9; ++i) sum += f[i];
    if (f[9] != static_cast<std::uint8_t>(255 - (sum % 256))) return false;
    out = {f[3] | (f[4] << 8), f[5], f[6], f[7], f[8]};
    return true;
}

Bytes ResultFrame(std::uint8_t resultCode) { return {kHead0, kHead1, resultCode}; }

} // namespace ecr::link
