#pragma once

namespace morvantide {

// Which kings are off the board. There is no end of the game: each taken king is announced
// after every later move that reaches the rules, until its place changes again.
struct TakenKings {
    bool black = false;
    bool white = false;
    constexpr bool operator==(const TakenKings&) const = default;
};

} // namespace morvantide
