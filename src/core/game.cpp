#include "morvantide/game.h"

#include "morvantide/announcement.h"
#include "morvantide/move_text.h"
#include "morvantide/new_game.h"

namespace morvantide {

namespace {

TakenKings KingsOffTheBoard(const Position& position) {
    return {position[kBlackKing].isOffBoard(), position[kWhiteKing].isOffBoard()};
}

PieceColour Opponent(PieceColour side) {
    return side == PieceColour::White ? PieceColour::Black : PieceColour::White;
}

} // namespace

void Game::startNew() {
    sideToMove_ = PieceColour::White;
    for (std::vector<std::string>& side : moves_)
        side.clear();
}

void Game::glideFrame() {
    GlideTowardsInitialPositions(position_);
}

void Game::endGlide() {
    SetInitialPositions(position_);
}

DropResult Game::play(Slot slot, BoardPoint from, BoardPoint dropped) {
    DropResult drop;
    // Only a piece can be let go; anything else is turned away like an illegal move.
    if (!slot.isValid()) {
        drop.kingsTaken = KingsOffTheBoard(position_);
        return drop;
    }
    drop.to = Square::snapped(dropped);
    if (drop.to.centre() == from) {
        drop.ownSquare = true;
        position_[slot] = from;
        return drop;
    }
    carryOut(slot, from, ApplyMoveRules(position_, {slot, from, drop.to.centre()}), drop);
    return drop;
}

void Game::carryOut(Slot slot, BoardPoint from, const MoveOutcome& rules, DropResult& drop) {
    if (rules.castling) {
        drop.rook = rules.castling;
        position_[drop.rook->slot].x = drop.rook->newX;
    }
    if (rules.capturesPiece()) {
        drop.captured = rules.captured;
        position_[*drop.captured] = {};
    }
    // An illegal move is taken back and the same side moves again.
    drop.turnPasses = !rules.illegalMove;
    const MoveNames names{FileName(from.x), RankName(from.y), drop.to.fileName(),
                          drop.to.rankName()};
    position_[slot] = drop.turnPasses ? drop.to.centre() : from;
    if (drop.turnPasses) {
        drop.moveText = MoveText(names);
        moves_[static_cast<std::size_t>(sideToMove_)].push_back(drop.moveText);
        sideToMove_ = Opponent(sideToMove_);
    }
    drop.kingsTaken = KingsOffTheBoard(position_);
    // A castling has spoken its own clip; an illegal move says nothing.
    if (drop.turnPasses && !drop.rook)
        drop.clips = AnnouncementClips(names, drop.captured.has_value(), drop.kingsTaken);
}

void Game::load(const SavedGame& saved) {
    ApplySavedGame(position_, saved);
    for (std::vector<std::string>& side : moves_)
        side.clear();
}

} // namespace morvantide
