#pragma once
// The Give a Name window's grid: 126 rows (pin index 0..125) of the pin's
// label, its name and its address, as the operator types them.

#include <array>
#include <cstdint>
#include <string>

namespace blokpost {

inline constexpr int kPinGridColumns = 3;
inline constexpr int kPinLabelColumn = 0;
inline constexpr int kPinNameColumn = 1;
inline constexpr int kPinAddressColumn = 2;
inline constexpr int kPinNameLength = 7;

struct PinGrid {
    std::array<std::array<std::string, kPinGridColumns>, 126> cell{};
    // Counts every change made by the logic, so the window knows when to refresh.
    std::uint64_t revision = 0;
};

}  // namespace blokpost
