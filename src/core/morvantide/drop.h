#pragma once

#include "morvantide/board_geometry.h"
#include "morvantide/game_end.h"
#include "morvantide/move_rules.h"

#include <optional>
#include <string>
#include <vector>

namespace morvantide {

// The drag as it stands when the piece is let go.
struct DragValues {
    Slot slot{0};    // the pressed piece
    BoardPoint from; // its place when it was pressed
    bool blackToMove = false;
};

// Everything a released piece decides, read from the position as the drag left it (the
// mover at its unsnapped drop point).
struct DropResult {
    SnappedSquare to;             // the target square and its name
    bool ownSquare = false;       // let go on the square it started from: re-centred, nothing more
    MoveOutcome rules;            // the rules' verdict; not asked for a drop on the own square
    BoardPoint mover;             // the mover's place at the end: the target, or back where it was
    std::optional<Slot> captured; // the piece taken off the board
    std::optional<RookMove> rook;
    bool turnPasses = false;
    bool blackToMove = false;       // the side to move after the drop
    std::string moveText;           // for the mover's column; empty when nothing is written
    std::vector<std::string> clips; // the spoken move (English names); empty when silent
    TakenKings kingsTaken;          // a winner box for each king off the board
    Position position;              // the position with all of the above carried out
};

DropResult PlayDrop(const Position& position, const DragValues& drag);

} // namespace morvantide
