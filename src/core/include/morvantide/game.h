#pragma once

#include "morvantide/game_end.h"
#include "morvantide/move_rules.h"
#include "morvantide/position.h"
#include "morvantide/saved_game.h"
#include "morvantide/square.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace morvantide {

// What a released piece did, each fact once; where the pieces stand afterwards and whose turn
// it is are the game's.
struct DropResult {
    Square to{0, 0};              // the square the piece was let go over
    bool ownSquare = false;       // let go on the square it started from: re-centred, nothing more
    bool turnPasses = false;      // a legal move, now on `to`; otherwise the piece went back
    std::optional<Slot> captured; // the piece taken off the board
    std::optional<RookMove> rook; // the rook's half of a castling
    std::string moveText;         // written into the mover's column; empty when nothing is
    std::vector<std::string> clips; // the spoken move (English names); empty when silent
    TakenKings kingsTaken;          // a winner box for each king off the board
};

// The game: where the pieces stand, whose turn it is and the moves each side has made. Nothing
// else writes them; the window hands each command over and shows what comes back.
class Game {
public:
    explicit Game(const Position& position = {}, PieceColour sideToMove = PieceColour::White)
        : position_(position), sideToMove_(sideToMove) {}

    const Position& position() const { return position_; }
    PieceColour sideToMove() const { return sideToMove_; }
    const std::vector<std::string>& moves(PieceColour side) const {
        return moves_[static_cast<std::size_t>(side)];
    }

    // A new game: White to move, no moves made. The pieces glide onto their starting squares
    // frame by frame (glideFrame) and then stand exactly on them (endGlide).
    void startNew();
    void glideFrame();
    void endGlide();

    // A piece let go: `slot` was pressed at `from` and released over `dropped`.
    DropResult play(Slot slot, BoardPoint from, BoardPoint dropped);

    // Open: the file's places over the current ones; the record starts afresh, the turn stays.
    void load(const SavedGame& saved);
    // Save: the file's text for the position.
    std::string savedText() const { return WriteSavedGame(position_); }

    // Puts the pieces where the position says; the turn and the record stay as they are.
    void setUp(const Position& position) { position_ = position; }

private:
    void carryOut(Slot slot, BoardPoint from, const MoveOutcome& rules, DropResult& drop);

    Position position_;
    PieceColour sideToMove_;
    std::array<std::vector<std::string>, 2> moves_; // by PieceColour
};

} // namespace morvantide
