#pragma once

#include <cstdint>

namespace morvantide {

// A place on the board picture, in pixels of the unflipped 385 x 385 board (White at the
// bottom). A square is named by its centre; (0, 0) marks a piece that is off the board.
struct BoardPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;

    constexpr bool operator==(const BoardPoint&) const = default;
    constexpr bool isOffBoard() const { return x == 0 && y == 0; }
};

// The 16-bit store of a coordinate: the low 16 bits taken as a signed value.
constexpr std::int16_t ToInt16(std::int64_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(value)));
}

} // namespace morvantide
