#pragma once

#include <cstdint>

#include "morvantide/board_point.h"

namespace morvantide {

inline constexpr int kNewGameFrames = 70;

// One coordinate of one frame: 0.25 * target + 0.75 * current, rounded half to even,
// stored as 16 bits.
std::int16_t GlideCoordinate(int current, int target);

// One animation frame: every entry 0..31 moves three quarters of the way to its starting
// point, x before y. Entry 32 is not touched.
void GlideTowardsInitialPositions(Positions& table);

// Entries 0..31 := their exact starting points; entry 32 is not touched.
void SetInitialPositions(Positions& table);

} // namespace morvantide
