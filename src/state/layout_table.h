#pragma once
// Where the 91 layout elements stand on the main window and whether they are
// shown: 63 pin drawings (0..62), 20 sensor drawings (63..82) and the eight
// line buttons (83..90).

#include <array>
#include <cstdint>

namespace blokpost {

inline constexpr int kLayoutElements = 91;
inline constexpr int kFirstSensorElement = 63;
inline constexpr int kFirstLineButtonElement = 83;

struct LayoutTable {
    std::array<std::int32_t, kLayoutElements> LayoutX{};
    std::array<std::int32_t, kLayoutElements> LayoutY{};
    std::array<std::uint8_t, kLayoutElements> LayoutVisible{};
};

// The table the program starts with.
LayoutTable defaultLayoutTable();

}  // namespace blokpost
