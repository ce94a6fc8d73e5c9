#pragma once
// The timetable: per line 1..8 its next departure on the model clock, the
// interval, and what its departure board says.

#include <array>
#include <cstdint>
#include <string>

#include "state/model.h"

namespace blokpost {

inline constexpr std::size_t kDestinationLength = 15;
inline constexpr std::size_t kViaLength = 25;
inline constexpr std::size_t kTrainLength = 10;

struct TimetableTables {
    std::array<std::int32_t, kLines + 1> DepartureMinute{};
    std::array<std::int32_t, kLines + 1> DepartureInterval{};  // 0 = not in service
    std::array<std::string, kLines + 1> BoardDestination{};
    std::array<std::string, kLines + 1> BoardVia{};
    std::array<std::string, kLines + 1> BoardTrain{};
    std::array<std::uint8_t, kLines + 1> BoardPlatform{};
    std::array<std::int32_t, kLines + 1> DepartureOffset{};  // minute past the hour, as kept in the books
    std::string ActiveBook;                                 // "Rood", "Blauw" or empty
};

}  // namespace blokpost
