#include "morvantide/board_geometry.h"

#include <array>

namespace morvantide {

namespace {

constexpr std::array<std::string_view, 8> kFileLetters = {"a", "b", "c", "d", "e", "f", "g", "h"};
constexpr std::array<std::string_view, 8> kRankDigits = {"8", "7", "6", "5", "4", "3", "2", "1"};

// Index 0..7 of the square centre v, or -1 when v is not exactly a centre.
int centreIndex(int v) {
    if (v < kFirstCentre || v > kLastCentre || (v - kFirstCentre) % kSquareSize != 0)
        return -1;
    return (v - kFirstCentre) / kSquareSize;
}

// The square a coordinate falls into. Each square spans its centre +- 20; a value on an edge
// goes to the square nearer file a / rank 8, and anything beyond the board to the edge square.
int snapIndex(int v) {
    if (v <= kFirstCentre + kSquareSize / 2)
        return 0;
    if (v > kLastCentre - kSquareSize / 2)
        return 7;
    return (v - (kFirstCentre + kSquareSize / 2) - 1) / kSquareSize + 1;
}

} // namespace

std::string_view FileName(int x) {
    const int index = centreIndex(x);
    return index < 0 ? std::string_view{} : kFileLetters[static_cast<std::size_t>(index)];
}

std::string_view RankName(int y) {
    const int index = centreIndex(y);
    return index < 0 ? std::string_view{} : kRankDigits[static_cast<std::size_t>(index)];
}

SnappedSquare SnapToSquare(BoardPoint dropped) {
    const int file = snapIndex(dropped.x);
    const int row = snapIndex(dropped.y);
    SnappedSquare square;
    square.x = squareCentre(file);
    square.y = squareCentre(row);
    square.fileName = kFileLetters[static_cast<std::size_t>(file)];
    square.rankName = kRankDigits[static_cast<std::size_t>(row)];
    return square;
}

void MirrorPositions(Positions& table, int boardWidth) {
    for (int i = 0; i < kSlotCount; ++i) {
        BoardPoint& p = table[static_cast<std::size_t>(i)];
        p.y = toInt16(std::int64_t{boardWidth} - p.y);
        p.x = toInt16(std::int64_t{boardWidth} - p.x);
    }
}

PicturePlaces PicturePlacesFor(const Positions& table, bool flipped, BoardMetrics board) {
    Positions shown = table;
    if (flipped)
        MirrorPositions(shown, board.width);

    PicturePlaces places;
    for (int i = 0; i < kSlotCount; ++i) {
        const BoardPoint p = shown[static_cast<std::size_t>(i)];
        int left = p.x + board.left - 20;
        // A point far right of the board (only a loaded file can hold one) is drawn off the
        // left edge instead, so the picture never lands outside the window on the right.
        if (left > board.left + board.width - 10)
            left = p.x - board.width - 30;
        places[static_cast<std::size_t>(i)] = {left, p.y - 20};
    }
    return places;
}

void ReadPositionsFromPlaces(Positions& table, const PicturePlaces& places, bool flipped,
                             BoardMetrics board) {
    for (int i = 0; i < kSlotCount; ++i) {
        const PicturePlace place = places[static_cast<std::size_t>(i)];
        table[static_cast<std::size_t>(i)] = {
            toInt16(std::int64_t{place.left} - board.left + 20),
            toInt16(std::int64_t{place.top} + 20),
        };
    }
    if (flipped)
        MirrorPositions(table, board.width);
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
