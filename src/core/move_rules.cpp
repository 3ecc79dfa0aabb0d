#include "morvantide/move_rules.h"

#include "morvantide/board_geometry.h"
#include "morvantide/piece_set.h"

#include <array>
#include <cstdlib>

namespace morvantide {

namespace {

constexpr int kStep = 40;

// True when an entry other than the mover's own stands exactly on (x, y).
bool squareOccupied(const Positions& table, const MoveRequest& move, std::int32_t x,
                    std::int32_t y) {
    const int moverEntry = entryOfSlot(move.slot);
    for (int i = 0; i < static_cast<int>(table.size()); ++i) {
        const BoardPoint p = table[static_cast<std::size_t>(i)];
        if (i != moverEntry && p.x == x && p.y == y)
            return true;
    }
    return false;
}

// Examines the squares at k = 40, 80, ... up to distance - 40 along (stepX, stepY) from the
// from-square: the squares strictly between it and the point at `distance`.
bool rayBlocked(const Positions& table, const MoveRequest& move, int distance, int stepX,
                int stepY) {
    for (int k = kStep; k <= distance - kStep; k += kStep) {
        if (squareOccupied(table, move, move.fromX + stepX * k, move.fromY + stepY * k))
            return true;
    }
    return false;
}

// Entries 0..15 are Black, the rest White. The spare entry counts as White; it stays (0, 0)
// and so never stands on a square.
PieceColour entryColour(int entry) {
    return pieceColour(entry + 1);
}

// The first entry on the target, the mover's own skipped: an own piece makes the move
// illegal, an enemy is a capture candidate.
void occupantTest(const Positions& table, const MoveRequest& move, MoveOutcome& outcome) {
    const int moverEntry = entryOfSlot(move.slot);
    for (int i = 0; i < static_cast<int>(table.size()); ++i) {
        const BoardPoint p = table[static_cast<std::size_t>(i)];
        if (i == moverEntry || p.x != move.toX || p.y != move.toY)
            continue;
        if (entryColour(i) == pieceColour(move.slot)) {
            outcome.IllegalMove = true;
        } else {
            outcome.CaptureFound = true;
            outcome.CaptureIndex = i;
        }
        return;
    }
}

bool knightMoveIllegal(int dx, int dy) {
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    return ax > 2 * kStep || ay > 2 * kStep || (ax == kStep && ay != 2 * kStep) ||
           (ax == 2 * kStep && ay != kStep) || dx == 0;
}

bool pawnMoveIllegal(const Positions& table, const MoveRequest& move, bool captureFound, int dx,
                     int dy) {
    const bool black = pieceColour(move.slot) == PieceColour::Black;
    const int forward = black ? kStep : -kStep;
    const int startRank = black ? squareCentre(1) : squareCentre(6);
    const bool doubleStep = dy == 2 * forward;

    if (dy != forward && !(doubleStep && move.fromY == startRank))
        return true;
    if (doubleStep) {
        const bool passedSquareTaken =
            black ? PathBlockedS(table, move, move.toY) : PathBlockedN(table, move, move.toY);
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
bool diagonalBlocked(const Positions& table, const MoveRequest& move, int dx, int dy) {
    if (dy > 0)
        return dx < 0 ? PathBlockedSW(table, move, move.toY) : PathBlockedSE(table, move, move.toY);
    return dx < 0 ? PathBlockedNW(table, move, move.toY) : PathBlockedNE(table, move, move.toY);
}

bool bishopMoveIllegal(const Positions& table, const MoveRequest& move, int dx, int dy) {
    if (dx == 0 || dy == 0)
        return true;
    if (std::abs(dx) != std::abs(dy))
        return true;
    return diagonalBlocked(table, move, dx, dy);
}

bool rookMoveIllegal(const Positions& table, const MoveRequest& move, int dx, int dy) {
    if (dx != 0 && dy != 0)
        return true;
    return (dy > 0 && PathBlockedS(table, move, move.toY)) ||
           (dy < 0 && PathBlockedN(table, move, move.toY)) ||
           (dx < 0 && PathBlockedW(table, move, move.toX)) ||
           (dx > 0 && PathBlockedE(table, move, move.toX));
}

bool queenMoveIllegal(const Positions& table, const MoveRequest& move, int dx, int dy) {
    if (dx != 0 && dy != 0 && std::abs(dx) != std::abs(dy))
        return true;
    if (dx == 0)
        return dy > 0 ? PathBlockedS(table, move, move.toY) : PathBlockedN(table, move, move.toY);
    if (dy == 0)
        return dx < 0 ? PathBlockedW(table, move, move.toX) : PathBlockedE(table, move, move.toX);
    return diagonalBlocked(table, move, dx, dy);
}

struct CastlingRow {
    int kingSlot;
    BoardPoint kingFrom;
    BoardPoint kingTo;
    int rookEntry;
    BoardPoint rookCorner;
    std::int16_t rookNewX;
};

// Queen side first, then king side; Black's rows before White's.
constexpr std::array<CastlingRow, 4> kCastlingRows = {{
    {kBlackKingSlot, {212, 52}, {132, 52}, 0, {52, 52}, 172},
    {kBlackKingSlot, {212, 52}, {292, 52}, 7, {332, 52}, 252},
    {kWhiteKingSlot, {212, 332}, {132, 332}, 24, {52, 332}, 172},
    {kWhiteKingSlot, {212, 332}, {292, 332}, 31, {332, 332}, 252},
}};

// A castling needs its rook on its own corner and every square between king and rook empty:
// f and g on the king side, d, c and b on the queen side.
bool castlingApplies(const Positions& table, const MoveRequest& move, const CastlingRow& row) {
    if (move.slot != row.kingSlot || move.fromX != row.kingFrom.x || move.fromY != row.kingFrom.y ||
        move.toX != row.kingTo.x || move.toY != row.kingTo.y)
        return false;
    if (table[static_cast<std::size_t>(row.rookEntry)] != row.rookCorner)
        return false;
    if (row.kingTo.x < row.kingFrom.x)
        return !PathBlockedW(table, move, row.rookCorner.x);
    return !PathBlockedE(table, move, row.rookCorner.x);
}

void kingRules(const Positions& table, const MoveRequest& move, int dx, int dy,
               MoveOutcome& outcome) {
    for (const CastlingRow& row : kCastlingRows) {
        if (castlingApplies(table, move, row)) {
            outcome.Castled = true;
            outcome.RookEntry = row.rookEntry;
            outcome.RookNewX = row.rookNewX;
            break;
        }
    }
    if (!outcome.Castled && (std::abs(dx) > kStep || std::abs(dy) > kStep))
        outcome.IllegalMove = true;
}

} // namespace

MoveOutcome ApplyMoveRules(const Positions& table, const MoveRequest& move) {
    MoveOutcome outcome;
    // Only a piece can move; anything else is turned away like any illegal move.
    if (!isValidSlot(move.slot)) {
        outcome.IllegalMove = true;
        return outcome;
    }

    occupantTest(table, move, outcome);

    const int dx = move.toX - move.fromX;
    const int dy = move.toY - move.fromY;
    bool geometryIllegal = false;
    switch (pieceKind(move.slot)) {
    case PieceKind::Knight:
        geometryIllegal = knightMoveIllegal(dx, dy);
        break;
    case PieceKind::Pawn:
        geometryIllegal = pawnMoveIllegal(table, move, outcome.CaptureFound, dx, dy);
        break;
    case PieceKind::Bishop:
        geometryIllegal = bishopMoveIllegal(table, move, dx, dy);
        break;
    case PieceKind::Rook:
        geometryIllegal = rookMoveIllegal(table, move, dx, dy);
        break;
    case PieceKind::Queen:
        geometryIllegal = queenMoveIllegal(table, move, dx, dy);
        break;
    case PieceKind::King:
        kingRules(table, move, dx, dy, outcome);
        break;
    }
    if (geometryIllegal)
        outcome.IllegalMove = true;
    return outcome;
}

bool PathBlockedN(const Positions& table, const MoveRequest& move, int targetY) {
    return rayBlocked(table, move, move.fromY - targetY, 0, -1);
}

bool PathBlockedS(const Positions& table, const MoveRequest& move, int targetY) {
    return rayBlocked(table, move, targetY - move.fromY, 0, 1);
}

bool PathBlockedW(const Positions& table, const MoveRequest& move, int targetX) {
    return rayBlocked(table, move, move.fromX - targetX, -1, 0);
}

bool PathBlockedE(const Positions& table, const MoveRequest& move, int targetX) {
    return rayBlocked(table, move, targetX - move.fromX, 1, 0);
}

bool PathBlockedNW(const Positions& table, const MoveRequest& move, int targetY) {
    return rayBlocked(table, move, move.fromY - targetY, -1, -1);
}

bool PathBlockedNE(const Positions& table, const MoveRequest& move, int targetY) {
    return rayBlocked(table, move, move.fromY - targetY, 1, -1);
}

bool PathBlockedSW(const Positions& table, const MoveRequest& move, int targetY) {
    return rayBlocked(table, move, targetY - move.fromY, -1, 1);
}

bool PathBlockedSE(const Positions& table, const MoveRequest& move, int targetY) {
    return rayBlocked(table, move, targetY - move.fromY, 1, 1);
}

} // namespace morvantide
