#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "morvantide/board_point.h"

namespace morvantide {

inline constexpr int kSquareSize = 40;
inline constexpr int kFirstCentre = 52; // file a, rank 8
inline constexpr int kLastCentre = 332; // file h, rank 1

// Centre of file (0 = a) or row (0 = rank 8).
constexpr int squareCentre(int index) { return kFirstCentre + kSquareSize * index; }

// "a".."h" when x is exactly a square centre, otherwise "".
std::string_view FileName(int x);
// "8".."1" when y is exactly a square centre, otherwise "".
std::string_view RankName(int y);

// The square a dropped piece lands on: its centre and name. Every point yields a square.
struct SnappedSquare {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::string_view fileName;
    std::string_view rankName;
};
SnappedSquare SnapToSquare(BoardPoint dropped);

// Flips entries 0..31 in place (v becomes boardWidth - v, in 16-bit arithmetic); the spare
// entry is left alone. Applying it twice restores the table.
void MirrorPositions(Positions& table, int boardWidth);

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
using PicturePlaces = std::array<PicturePlace, kSlotCount>; // index = slot - 1

// The places the 32 pictures get for a table, flipped or not, with the right-edge exception
// for points beyond the board. The table is not changed.
PicturePlaces PicturePlacesFor(const Positions& table, bool flipped, BoardMetrics board);

// Fills entries 0..31 from the picture places (16-bit arithmetic), mirrored back when the view
// is flipped. Entry 32 is not touched.
void ReadPositionsFromPlaces(Positions& table, const PicturePlaces& places, bool flipped,
                             BoardMetrics board);

// A dropped picture is pulled back so that part of it stays inside the client area.
PicturePlace ClampDroppedPicture(PicturePlace place, int clientWidth, int clientHeight);

} // namespace morvantide
