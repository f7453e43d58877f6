// Register memory map: base page address of each data kind and the size of a page.
#pragma once

#include <cstdint>

namespace ecr::records {

inline constexpr int kPageSize = 4096;

namespace kind {
inline constexpr int Fiscal = 4096;      // 0x1000, paged
inline constexpr int Params = 4112;      // 0x1010
inline constexpr int Cashier = 4113;     // 0x1011
inline constexpr int Keyboard = 4115;    // 0x1013
inline constexpr int Depart = 4116;      // 0x1014
inline constexpr int FlashCash = 4117;   // 0x1015
inline constexpr int Logo = 4128;        // 0x1020, written only
inline constexpr int JournalFat = 4134;  // 0x1026, two pages
inline constexpr int Promotion = 4136;   // 0x1028, paged
inline constexpr int Member = 4144;      // 0x1030, paged
inline constexpr int Bundle = 4176;      // 0x1050, paged
inline constexpr int Plu = 4192;         // 0x1060, paged
inline constexpr int Journal2 = 4256;    // 0x10A0, paged (second journal area)
inline constexpr int Journal = 4352;     // 0x1100, paged
} // namespace kind

} // namespace ecr::records
