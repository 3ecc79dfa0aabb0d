#pragma once

#include "morvantide/board_geometry.h"
#include "morvantide/board_point.h"
#include "morvantide/game_end.h"
#include "morvantide/move_rules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvantide {

// The drag as it stands when the piece is let go.
struct DragValues {
    int slot = 0;           // the pressed piece, 1..32
    std::int32_t fromX = 0; // its entry when it was pressed
    std::int32_t fromY = 0;
    bool blackToMove = false;
};

// The rook's half of a castling: its entry takes the new x and keeps its y.
struct RookMove {
    int entry = -1;
    std::int16_t newX = 0;
};

// Everything a released piece decides, read from the table as the drag left it (the mover's
// entry at its unsnapped drop point).
struct DropResult {
    SnappedSquare to;            // the target square and its name
    bool ownSquare = false;      // let go on the square it started from: re-centred, nothing more
    MoveOutcome rules;           // the rules' verdict; not asked for a drop on the own square
    BoardPoint mover;            // the mover's entry at the end: the target, or back where it was
    std::optional<int> captured; // the entry taken off the board
    std::optional<RookMove> rook;
    bool turnPasses = false;
    bool blackToMove = false;       // the side to move after the drop
    std::string moveText;           // for the mover's column; empty when nothing is written
    std::vector<std::string> clips; // the spoken move (English names); empty when silent
    TakenKings kingsTaken;          // a winner box for each king off the board
    Positions table{};              // the table with all of the above carried out
};

DropResult PlayDrop(const Positions& table, const DragValues& drag);

} // namespace morvantide
