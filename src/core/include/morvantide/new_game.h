#pragma once

#include "morvantide/position.h"

#include <cstdint>

namespace morvantide {

inline constexpr int kNewGameFrames = 70;

// One animation frame: every piece moves three quarters of the way to its starting point,
// each coordinate to 0.25 * start + 0.75 * current, rounded half to even, stored as 16 bits.
void GlideTowardsInitialPositions(Position& position);

// Every piece onto its exact starting point.
void SetInitialPositions(Position& position);

} // namespace morvantide
