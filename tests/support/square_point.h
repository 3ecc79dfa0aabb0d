#pragma once

#include "morvantide/square.h"

#include <string_view>

namespace morvantide {

// The centre of a named square, in pixels of the unflipped board: "e2" -> (212, 292).
constexpr BoardPoint CentreOf(std::string_view square) {
    return Square::named(square).centre();
}

} // namespace morvantide
