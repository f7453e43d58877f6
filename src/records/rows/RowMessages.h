// Message ids of the row layer's refusals.
#pragma once

namespace ecr::rows::msg {
inline constexpr int SlotOutside = 120102; // "%1: place %2 lies outside the register's %3 pages of %4 records."
inline constexpr int NoFreeSlot = 120110;  // every place of the kind is taken
} // namespace ecr::rows::msg
