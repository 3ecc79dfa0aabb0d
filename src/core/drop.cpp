#include "morvantide/drop.h"

#include "morvantide/announcement.h"
#include "morvantide/move_text.h"

namespace morvantide {

namespace {

TakenKings KingsOffTheBoard(const Position& position) {
    return {position[kBlackKing].isOffBoard(), position[kWhiteKing].isOffBoard()};
}

} // namespace

DropResult PlayDrop(const Position& position, const DragValues& drag) {
    DropResult drop;
    drop.position = position;
    drop.blackToMove = drag.blackToMove;
    drop.to = SnapToSquare(position[drag.slot]);
    BoardPoint& mover = drop.position[drag.slot];

    if (drop.to.centre == drag.from) {
        drop.ownSquare = true;
        drop.mover = mover = drop.to.centre;
        return drop;
    }

    drop.rules = ApplyMoveRules(position, {drag.slot, drag.from, drop.to.centre});
    if (drop.rules.castling) {
        drop.rook = drop.rules.castling;
        drop.position[drop.rook->slot].x = drop.rook->newX;
    }
    if (drop.rules.capturesPiece()) {
        drop.captured = drop.rules.captured;
        drop.position[*drop.captured] = {};
    }

    // An illegal move is taken back and the same side moves again.
    drop.turnPasses = !drop.rules.illegalMove;
    const MoveNames names{FileName(drag.from.x), RankName(drag.from.y), drop.to.fileName,
                          drop.to.rankName};
    if (drop.turnPasses) {
        drop.blackToMove = !drag.blackToMove;
        drop.moveText = MoveText(names);
        drop.mover = drop.to.centre;
    } else {
        drop.mover = drag.from;
    }
    mover = drop.mover;

    drop.kingsTaken = KingsOffTheBoard(drop.position);
    // A castling has spoken its own clip; an illegal move says nothing.
    if (!drop.rules.illegalMove && !drop.rules.castling)
        drop.clips = AnnouncementClips(names, drop.rules.captured.has_value(), drop.kingsTaken);
    return drop;
}

} // namespace morvantide
