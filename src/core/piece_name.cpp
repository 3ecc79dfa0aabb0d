#include "morvantide/piece_name.h"

#include "morvantide/square.h"

#include <array>

namespace morvantide {

namespace {

// The squares cover pixels 32 to 351 of the board picture in both directions.
constexpr int kBoardFirstPixel = Square::centreOf(0) - kSquareSize / 2;
constexpr int kBoardLastPixel = Square::centreOf(7) + kSquareSize / 2 - 1;

constexpr bool OnSquares(int v) {
    return v >= kBoardFirstPixel && v <= kBoardLastPixel;
}

struct KindName {
    const char* noun;
    bool feminine;
};

// In PieceKind's order.
constexpr std::array<KindName, 6> kKindNames = {{
    {"ладья", true},
    {"конь", false},
    {"слон", false},
    {"ферзь", false},
    {"король", false},
    {"пешка", true},
}};

} // namespace

std::string PieceAccessibleName(Slot slot, BoardPoint place) {
    const KindName& kind = kKindNames[static_cast<std::size_t>(slot.kind())];
    const bool white = slot.colour() == PieceColour::White;
    std::string name =
        white ? (kind.feminine ? "Белая " : "Белый ") : (kind.feminine ? "Черная " : "Черный ");
    name += kind.noun;
    if (place.isOffBoard() || !OnSquares(place.x) || !OnSquares(place.y)) {
        name += ", вне доски";
        return name;
    }
    // A piece between squares (while it glides or is dragged) is named after the square its
    // centre is over, as a drop there would snap it.
    const Square square = Square::snapped(place);
    name += ", ";
    name += square.fileName();
    name += square.rankName();
    return name;
}

} // namespace morvantide
