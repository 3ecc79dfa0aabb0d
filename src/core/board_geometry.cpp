#include "morvantide/board_geometry.h"

#include <array>

namespace morvantide {

namespace {

constexpr std::array<std::string_view, 8> kFileLetters = {"a", "b", "c", "d", "e", "f", "g", "h"};
constexpr std::array<std::string_view, 8> kRankDigits = {"8", "7", "6", "5", "4", "3", "2", "1"};

// Index 0..7 of the square centre v, or -1 when v is not exactly a centre.
int CentreIndex(int v) {
    if (v < kFirstCentre || v > kLastCentre || (v - kFirstCentre) % kSquareSize != 0)
        return -1;
    return (v - kFirstCentre) / kSquareSize;
}

// The square a coordinate falls into. Each square spans its centre +- 20; a value on an edge
// goes to the square nearer file a / rank 8, and anything beyond the board to the edge square.
int SnapIndex(int v) {
    if (v <= kFirstCentre + kSquareSize / 2)
        return 0;
    if (v > kLastCentre - kSquareSize / 2)
        return 7;
    return (v - (kFirstCentre + kSquareSize / 2) - 1) / kSquareSize + 1;
}

// The point as seen on the flipped board: v becomes boardWidth - v, in 16-bit arithmetic.
BoardPoint Mirrored(BoardPoint point, int boardWidth) {
    return {ToInt16(std::int64_t{boardWidth} - point.x),
            ToInt16(std::int64_t{boardWidth} - point.y)};
}

} // namespace

std::string_view FileName(int x) {
    const int index = CentreIndex(x);
    return index < 0 ? std::string_view{} : kFileLetters[static_cast<std::size_t>(index)];
}

std::string_view RankName(int y) {
    const int index = CentreIndex(y);
    return index < 0 ? std::string_view{} : kRankDigits[static_cast<std::size_t>(index)];
}

SnappedSquare SnapToSquare(BoardPoint dropped) {
    const int file = SnapIndex(dropped.x);
    const int row = SnapIndex(dropped.y);
    SnappedSquare square;
    square.centre = {ToInt16(SquareCentre(file)), ToInt16(SquareCentre(row))};
    square.fileName = kFileLetters[static_cast<std::size_t>(file)];
    square.rankName = kRankDigits[static_cast<std::size_t>(row)];
    return square;
}

PicturePlace PicturePlaceFor(BoardPoint point, bool flipped, BoardMetrics board) {
    const BoardPoint shown = flipped ? Mirrored(point, board.width) : point;
    int left = shown.x + board.left - 20;
    // The far-right rule: a point beyond x = width + 10 (its picture would start less than 10
    // pixels short of the board's right edge) is drawn at x - width - 30, left of the board.
    if (left > board.left + board.width - 10)
        left = shown.x - board.width - 30;
    return {left, shown.y - 20};
}

PicturePlaces PicturePlacesFor(const Position& position, bool flipped, BoardMetrics board) {
    PicturePlaces places;
    for (Slot slot : AllSlots())
        places[static_cast<std::size_t>(slot.entry())] =
            PicturePlaceFor(position[slot], flipped, board);
    return places;
}

BoardPoint PointOfPicture(PicturePlace place, bool flipped, BoardMetrics board) {
    const BoardPoint shown{ToInt16(std::int64_t{place.left} - board.left + 20),
                           ToInt16(std::int64_t{place.top} + 20)};
    return flipped ? Mirrored(shown, board.width) : shown;
}

PicturePlace ClampDroppedPicture(PicturePlace place, int clientWidth, int clientHeight) {
    if (place.left < -20)
        place.left = -20;
    if (place.top < -20)
        place.top = -20;
    if (place.left > clientWidth - 30)
        place.left = clientWidth - 30;
    if (place.top > clientHeight - 30)
        place.top = clientHeight - 30;
    return place;
}

} // namespace morvantide
