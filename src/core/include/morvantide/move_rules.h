#pragma once

#include "morvantide/position.h"

#include <cstdint>
#include <optional>

namespace morvantide {

// A dropped piece: its slot, the centre of the square it left and the snapped target.
struct MoveRequest {
    Slot slot{0};
    BoardPoint from;
    BoardPoint to;
};

// The rook's half of a castling: the rook takes the new x and keeps its y.
struct RookMove {
    Slot slot{0};
    std::int16_t newX = 0;
};

// What the rules decided. The position is never changed by the rules themselves: the caller
// carries out the capture and the rook's half of a castling.
struct MoveOutcome {
    bool illegalMove = false;
    std::optional<Slot> captured; // the enemy on the target, legal move or not
    std::optional<RookMove> castling;

    // The capture is carried out only for a legal move.
    bool capturesPiece() const { return captured && !illegalMove; }
};

MoveOutcome ApplyMoveRules(const Position& position, const MoveRequest& move);

} // namespace morvantide
