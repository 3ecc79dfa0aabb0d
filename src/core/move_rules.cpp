#include "morvantide/move_rules.h"

#include "morvantide/square.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace morvantide {

namespace {

constexpr int kStep = kSquareSize;

// True when a piece other than the mover stands exactly on (x, y). (0, 0), where taken
// pieces are kept, always counts as occupied, even before the first capture.
bool SquareOccupied(const Position& position, const MoveRequest& move, int x, int y) {
    if (x == 0 && y == 0)
        return true;
    for (Slot slot : AllSlots()) {
        const BoardPoint p = position[slot];
        if (slot != move.slot && p.x == x && p.y == y)
            return true;
    }
    return false;
}

// Examines the squares at k = 40, 80, ... up to distance - 40 along (stepX, stepY) from the
// from-square: the squares strictly between it and the point at `distance`.
bool RayBlocked(const Position& position, const MoveRequest& move, int distance, int stepX,
                int stepY) {
    for (int k = kStep; k <= distance - kStep; k += kStep) {
        if (SquareOccupied(position, move, move.from.x + stepX * k, move.from.y + stepY * k))
            return true;
    }
    return false;
}

// The first piece on the target, the mover skipped: an own piece makes the move illegal, an
// enemy is a capture candidate.
void OccupantTest(const Position& position, const MoveRequest& move, MoveOutcome& outcome) {
    for (Slot slot : AllSlots()) {
        if (slot == move.slot || position[slot] != move.to)
            continue;
        if (slot.colour() == move.slot.colour())
            outcome.illegalMove = true;
        else
            outcome.captured = slot;
        return;
    }
}

// The scans along each ray from the move's from-square, up to the target's y (N, S and the
// diagonals) or x (W, E).
bool PathBlockedN(const Position& position, const MoveRequest& move, int targetY) {
    return RayBlocked(position, move, move.from.y - targetY, 0, -1);
}

bool PathBlockedS(const Position& position, const MoveRequest& move, int targetY) {
    return RayBlocked(position, move, targetY - move.from.y, 0, 1);
}

bool PathBlockedW(const Position& position, const MoveRequest& move, int targetX) {
    return RayBlocked(position, move, move.from.x - targetX, -1, 0);
}

bool PathBlockedE(const Position& position, const MoveRequest& move, int targetX) {
    return RayBlocked(position, move, targetX - move.from.x, 1, 0);
}

bool PathBlockedNw(const Position& position, const MoveRequest& move, int targetY) {
    return RayBlocked(position, move, move.from.y - targetY, -1, -1);
}

bool PathBlockedNe(const Position& position, const MoveRequest& move, int targetY) {
    return RayBlocked(position, move, move.from.y - targetY, 1, -1);
}

bool PathBlockedSw(const Position& position, const MoveRequest& move, int targetY) {
    return RayBlocked(position, move, targetY - move.from.y, -1, 1);
}

bool PathBlockedSe(const Position& position, const MoveRequest& move, int targetY) {
    return RayBlocked(position, move, targetY - move.from.y, 1, 1);
}

bool KnightMoveIllegal(int dx, int dy) {
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    return ax > 2 * kStep || ay > 2 * kStep || (ax == kStep && ay != 2 * kStep) ||
           (ax == 2 * kStep && ay != kStep) || dx == 0;
}

bool PawnMoveIllegal(const Position& position, const MoveRequest& move, bool captureFound, int dx,
                     int dy) {
    const bool black = move.slot.colour() == PieceColour::Black;
    const int forward = black ? kStep : -kStep;
    const int startRank = Square::named(black ? "a7" : "a2").centre().y;
    const bool doubleStep = dy == 2 * forward;

    if (dy != forward && !(doubleStep && move.from.y == startRank))
        return true;
    if (doubleStep) {
        const bool passedSquareTaken = black ? PathBlockedS(position, move, move.to.y)
                                             : PathBlockedN(position, move, move.to.y);
        if (passedSquareTaken)
            return true;
    }
    if (dx != 0 && !captureFound)
        return true;
    if (captureFound && (dx == 0 || doubleStep || std::abs(dx) != kStep))
        return true;
    return false;
}

// The diagonal scan toward the target's quadrant; dx and dy are both non-zero.
bool DiagonalBlocked(const Position& position, const MoveRequest& move, int dx, int dy) {
    if (dy > 0)
        return dx < 0 ? PathBlockedSw(position, move, move.to.y)
                      : PathBlockedSe(position, move, move.to.y);
    return dx < 0 ? PathBlockedNw(position, move, move.to.y)
                  : PathBlockedNe(position, move, move.to.y);
}

bool BishopMoveIllegal(const Position& position, const MoveRequest& move, int dx, int dy) {
    if (dx == 0 || dy == 0)
        return true;
    if (std::abs(dx) != std::abs(dy))
        return true;
    return DiagonalBlocked(position, move, dx, dy);
}

bool RookMoveIllegal(const Position& position, const MoveRequest& move, int dx, int dy) {
    if (dx != 0 && dy != 0)
        return true;
    return (dy > 0 && PathBlockedS(position, move, move.to.y)) ||
           (dy < 0 && PathBlockedN(position, move, move.to.y)) ||
           (dx < 0 && PathBlockedW(position, move, move.to.x)) ||
           (dx > 0 && PathBlockedE(position, move, move.to.x));
}

bool QueenMoveIllegal(const Position& position, const MoveRequest& move, int dx, int dy) {
    if (dx != 0 && dy != 0 && std::abs(dx) != std::abs(dy))
        return true;
    if (dx == 0)
        return dy > 0 ? PathBlockedS(position, move, move.to.y)
                      : PathBlockedN(position, move, move.to.y);
    if (dy == 0)
        return dx < 0 ? PathBlockedW(position, move, move.to.x)
                      : PathBlockedE(position, move, move.to.x);
    return DiagonalBlocked(position, move, dx, dy);
}

struct CastlingRow {
    Slot king;
    BoardPoint kingFrom;
    BoardPoint kingTo;
    BoardPoint rookCorner;
    RookMove rook;
};

// A castling by its squares: the king's two, the rook's corner and the square the king passed.
constexpr CastlingRow Castling(Slot king, std::string_view kingFrom, std::string_view kingTo,
                               Slot rook, std::string_view corner, std::string_view rookTo) {
    return {king,
            Square::named(kingFrom).centre(),
            Square::named(kingTo).centre(),
            Square::named(corner).centre(),
            {rook, Square::named(rookTo).centre().x}};
}

// Queen side first, then king side; Black's rows before White's.
constexpr std::array<CastlingRow, 4> kCastlingRows = {
    Castling(kBlackKing, "e8", "c8", Slot(1), "a8", "d8"),
    Castling(kBlackKing, "e8", "g8", Slot(8), "h8", "f8"),
    Castling(kWhiteKing, "e1", "c1", Slot(25), "a1", "d1"),
    Castling(kWhiteKing, "e1", "g1", Slot(32), "h1", "f1"),
};

// A castling needs its rook on its own corner and every square between king and rook empty:
// f and g on the king side, d, c and b on the queen side.
bool CastlingApplies(const Position& position, const MoveRequest& move, const CastlingRow& row) {
    if (move.slot != row.king || move.from != row.kingFrom || move.to != row.kingTo)
        return false;
    if (position[row.rook.slot] != row.rookCorner)
        return false;
    if (row.kingTo.x < row.kingFrom.x)
        return !PathBlockedW(position, move, row.rookCorner.x);
    return !PathBlockedE(position, move, row.rookCorner.x);
}

void KingRules(const Position& position, const MoveRequest& move, int dx, int dy,
               MoveOutcome& outcome) {
    for (const CastlingRow& row : kCastlingRows) {
        if (CastlingApplies(position, move, row)) {
            outcome.castling = row.rook;
            break;
        }
    }
    if (!outcome.castling && (std::abs(dx) > kStep || std::abs(dy) > kStep))
        outcome.illegalMove = true;
}

} // namespace

MoveOutcome ApplyMoveRules(const Position& position, const MoveRequest& move) {
    MoveOutcome outcome;
    // Only a piece can move; anything else is turned away like any illegal move.
    if (!move.slot.isValid()) {
        outcome.illegalMove = true;
        return outcome;
    }

    OccupantTest(position, move, outcome);

    const int dx = move.to.x - move.from.x;
    const int dy = move.to.y - move.from.y;
    bool geometryIllegal = false;
    switch (move.slot.kind()) {
    case PieceKind::Knight:
        geometryIllegal = KnightMoveIllegal(dx, dy);
        break;
    case PieceKind::Pawn:
        geometryIllegal = PawnMoveIllegal(position, move, outcome.captured.has_value(), dx, dy);
        break;
    case PieceKind::Bishop:
        geometryIllegal = BishopMoveIllegal(position, move, dx, dy);
        break;
    case PieceKind::Rook:
        geometryIllegal = RookMoveIllegal(position, move, dx, dy);
        break;
    case PieceKind::Queen:
        geometryIllegal = QueenMoveIllegal(position, move, dx, dy);
        break;
    case PieceKind::King:
        KingRules(position, move, dx, dy, outcome);
        break;
    }
    if (geometryIllegal)
        outcome.illegalMove = true;
    return outcome;
}

} // namespace morvantide
