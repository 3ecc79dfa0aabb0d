#pragma once

#include "morvantide/board_point.h"
#include "morvantide/slot.h"

#include <array>

namespace morvantide {

// Where each of the 32 pieces stands, by slot. There is no board array: which piece stands on
// a square is found by scanning the places.
class Position {
public:
    constexpr BoardPoint& operator[](Slot slot) {
        return places_[static_cast<std::size_t>(slot.entry())];
    }
    constexpr const BoardPoint& operator[](Slot slot) const {
        return places_[static_cast<std::size_t>(slot.entry())];
    }

    constexpr bool operator==(const Position&) const = default;

private:
    std::array<BoardPoint, kSlotCount> places_{};
};

} // namespace morvantide
