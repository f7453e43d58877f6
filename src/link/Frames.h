// Wire frames of the register link. Pure: no I/O, no database.
//
// Every frame starts AA BB and a code byte; page addresses go low byte first.
// PC to register: read request (5), page write (4102), clock (10).
// Register to PC: page (4102, code 8) or result (3).
#pragma once

#include "app/GlobalFunc.h"

#include <cstdint>

namespace ecr::link {

inline constexpr std::uint8_t kHead0 = 0xAA, kHead1 = 0xBB;

namespace code {
inline constexpr std::uint8_t Page = 0x08;   // read request, and the register's page reply
inline constexpr std::uint8_t Write = 0x09;  // page write
inline constexpr std::uint8_t Clock = 0x0B;  // clock setting
inline constexpr std::uint8_t Ok = 0x02;     // result: done
inline constexpr std::uint8_t OkAlt = 0x0B;  // result: done (second form)
inline constexpr std::uint8_t Error = 0x01;  // result: the register reports an error
inline constexpr std::uint8_t Refused = 0x03;// result: not in programming mode
inline constexpr std::uint8_t ResultA = 0x0A;// result: failure shown as "result = &HA"
} // namespace code

inline constexpr int kReadRequestSize = 5;
inline constexpr int kPageFrameSize = 4102;   // header 3, address 2, data 4096, checksum 1
inline constexpr int kPageTailSize = 4099;    // what follows a page header
inline constexpr int kClockFrameSize = 10;
inline constexpr int kResultFrameSize = 3;

// 255 - (lo + hi + sum of data) mod 256: the one's complement of the 8-bit sum.
std::uint8_t PageChecksum(std::uint8_t lo, std::uint8_t hi, ByteView data);

// AA BB 08 lo hi.
Bytes ReadRequestFrame(int pageAddress);

// AA BB <frameCode> lo hi, the 4096 data bytes, checksum. frameCode is Write
// for the PC's page write and Page for the register's reply. data must hold
// 4096 bytes.
Bytes PageFrame(std::uint8_t frameCode, int pageAddress, ByteView data);
inline Bytes PageWriteFrame(int pageAddress, ByteView data) { return PageFrame(code::Write, pageAddress, data); }

struct ClockTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool operator==(const ClockTime&) const = default;
};
// AA BB 0B, year (low, high), month, day, hour, minute, then
// 255 - (sum of the six bytes after the code) mod 256.
Bytes ClockFrame(const ClockTime& t);
// The time carried by a clock frame; false when it is not a valid one.
bool ParseClockFrame(ByteView frame, ClockTime& out);

// AA BB <code>.
Bytes ResultFrame(std::uint8_t resultCode);

} // namespace ecr::link
