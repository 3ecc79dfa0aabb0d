#include "morvantide/drop.h"

#include "morvantide/announcement.h"
#include "morvantide/move_text.h"

namespace morvantide {

DropResult PlayDrop(const Positions& table, const DragValues& drag) {
    DropResult drop;
    drop.table = table;
    drop.blackToMove = drag.blackToMove;
    const int moverEntry = entryOfSlot(drag.slot);
    drop.to = SnapToSquare(table[static_cast<std::size_t>(moverEntry)]);
    const BoardPoint target{toInt16(drop.to.x), toInt16(drop.to.y)};
    BoardPoint& mover = drop.table[static_cast<std::size_t>(moverEntry)];

    if (drop.to.x == drag.fromX && drop.to.y == drag.fromY) {
        drop.ownSquare = true;
        drop.mover = mover = target;
        return drop;
    }

    drop.rules = ApplyMoveRules(table, {drag.slot, drag.fromX, drag.fromY, drop.to.x, drop.to.y});
    if (drop.rules.Castled) {
        drop.rook = RookMove{drop.rules.RookEntry, drop.rules.RookNewX};
        drop.table[static_cast<std::size_t>(drop.rook->entry)].x = drop.rook->newX;
    }
    if (drop.rules.capturesPiece() && drop.rules.CaptureIndex >= 0 &&
        drop.rules.CaptureIndex < kSlotCount) {
        drop.captured = drop.rules.CaptureIndex;
        drop.table[static_cast<std::size_t>(*drop.captured)] = {};
    }

    // An illegal move is taken back and the same side moves again.
    drop.turnPasses = !drop.rules.IllegalMove;
    const MoveNames names{FileName(drag.fromX), RankName(drag.fromY), drop.to.fileName,
                          drop.to.rankName};
    if (drop.turnPasses) {
        drop.blackToMove = !drag.blackToMove;
        drop.moveText = MoveText(names);
        drop.mover = target;
    } else {
        drop.mover = {toInt16(drag.fromX), toInt16(drag.fromY)};
    }
    mover = drop.mover;

    drop.kingsTaken = KingsOffTheBoard(drop.table);
    // A castling has spoken its own clip; an illegal move says nothing.
    if (!drop.rules.IllegalMove && !drop.rules.Castled)
        drop.clips = AnnouncementClips(names, drop.rules.CaptureFound, drop.kingsTaken);
    return drop;
}

} // namespace morvantide
