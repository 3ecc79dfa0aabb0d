#pragma once

#include <cstdint>

#include "morvantide/board_point.h"

namespace morvantide {

// A dropped piece: its slot, the centre of the square it left and the snapped target.
struct MoveRequest {
    int slot = 0;
    std::int32_t fromX = 0;
    std::int32_t fromY = 0;
    std::int32_t toX = 0;
    std::int32_t toY = 0;
};

// What the rules decided. The table is never changed by the rules themselves: the caller
// carries out the capture (CapturePiece) and the rook's half of a castling.
struct MoveOutcome {
    bool IllegalMove = false;
    bool CaptureFound = false; // an enemy stands on the target, legal move or not
    int CaptureIndex = -1;     // its entry, when CaptureFound
    bool Castled = false;
    int RookEntry = -1;          // when Castled: the rook's entry ...
    std::int16_t RookNewX = 0;   // ... and its new x (its y stays)

    // The capture is carried out only for a legal move.
    bool capturesPiece() const { return CaptureFound && !IllegalMove; }
};

MoveOutcome ApplyMoveRules(const Positions& table, const MoveRequest& move);

// Ray scans from the move's from-square: true when an entry other than the mover's own stands
// on a square strictly between the from-square and the point at distance D along the ray.
// The argument is the target's y for N, S and the diagonals and the target's x for W and E.
bool PathBlockedN(const Positions& table, const MoveRequest& move, int targetY);
bool PathBlockedS(const Positions& table, const MoveRequest& move, int targetY);
bool PathBlockedW(const Positions& table, const MoveRequest& move, int targetX);
bool PathBlockedE(const Positions& table, const MoveRequest& move, int targetX);
bool PathBlockedNW(const Positions& table, const MoveRequest& move, int targetY);
bool PathBlockedNE(const Positions& table, const MoveRequest& move, int targetY);
bool PathBlockedSW(const Positions& table, const MoveRequest& move, int targetY);
bool PathBlockedSE(const Positions& table, const MoveRequest& move, int targetY);

} // namespace morvantide
