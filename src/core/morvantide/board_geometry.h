#pragma once

#include "morvantide/board_point.h"
#include "morvantide/position.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace morvantide {

inline constexpr int kSquareSize = 40;
inline constexpr int kFirstCentre = 52; // file a, rank 8
inline constexpr int kLastCentre = 332; // file h, rank 1

// Centre of file (0 = a) or row (0 = rank 8).
constexpr int SquareCentre(int index) {
    return kFirstCentre + kSquareSize * index;
}

// "a".."h" when x is exactly a square centre, otherwise "".
std::string_view FileName(int x);
// "8".."1" when y is exactly a square centre, otherwise "".
std::string_view RankName(int y);

// The square a dropped piece lands on: its centre and name. Every point yields a square.
struct SnappedSquare {
    BoardPoint centre;
    std::string_view fileName;
    std::string_view rankName;
};
SnappedSquare SnapToSquare(BoardPoint dropped);

// Where the board picture sits in the window.
struct BoardMetrics {
    int left = 0;
    int width = 385;
};

// Top-left corner of a piece picture in the window's client area.
struct PicturePlace {
    int left = 0;
    int top = 0;
    constexpr bool operator==(const PicturePlace&) const = default;
};
using PicturePlaces = std::array<PicturePlace, kSlotCount>; // index = slot.entry()

// Where the picture of a piece at `point` goes, flipped or not. A picture is centred on its
// point, except that a point far right of the board (only a loaded file can hold one) is drawn
// off the left edge instead, so that no picture lands outside the window on the right.
PicturePlace PicturePlaceFor(BoardPoint point, bool flipped, BoardMetrics board);

// PicturePlaceFor for all 32 pieces.
PicturePlaces PicturePlacesFor(const Position& position, bool flipped, BoardMetrics board);

// The point a picture's place stands for (16-bit arithmetic), mirrored back when the view is
// flipped: the inverse of PicturePlaceFor, except for a point the far-right rule moved, which
// reads back as the point its picture is drawn at.
BoardPoint PointOfPicture(PicturePlace place, bool flipped, BoardMetrics board);

// A dropped picture is pulled back so that part of it stays inside the client area.
PicturePlace ClampDroppedPicture(PicturePlace place, int clientWidth, int clientHeight);

} // namespace morvantide
