#pragma once

#include "morvantide/board_point.h"
#include "morvantide/piece_set.h"

namespace morvantide {

// Which kings are off the board. There is no end of the game: each taken king is announced
// after every later move that reaches the rules, until its entry changes again.
struct TakenKings {
    bool black = false;
    bool white = false;
    constexpr bool operator==(const TakenKings&) const = default;
};

constexpr TakenKings KingsOffTheBoard(const Positions& table) {
    return {table[entryOfSlot(kBlackKingSlot)].isOffBoard(),
            table[entryOfSlot(kWhiteKingSlot)].isOffBoard()};
}

} // namespace morvantide
