#pragma once

#include "morvantide/board_point.h"

#include <cstdint>

namespace morvantide {

// The centre of a named square: "e2" -> (212, 292).
inline BoardPoint at(const char* square) {
    return {static_cast<std::int16_t>(52 + 40 * (square[0] - 'a')),
            static_cast<std::int16_t>(52 + 40 * ('8' - square[1]))};
}

} // namespace morvantide
