#pragma once

#include "morvantide/slot.h"

#include <string>

namespace morvantide {

// What a screen reader says for a piece: its colour and kind in Russian and the square it
// stands on, as in the move text ("Белая пешка, e4"), or ", вне доски" when it is off the
// board: taken ((0, 0)) or anywhere outside the 8 x 8 squares.
std::string PieceAccessibleName(Slot slot, BoardPoint place);

} // namespace morvantide
