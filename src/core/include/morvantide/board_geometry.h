#pragma once

#include "morvantide/board_point.h"
#include "morvantide/square.h"

namespace morvantide {

// Where the board picture sits in the window.
struct BoardMetrics {
    int left = 0;
    int width = kBoardSize;
};

// Top-left corner of a piece picture in the window's client area.
struct PicturePlace {
    int left = 0;
    int top = 0;
    constexpr bool operator==(const PicturePlace&) const = default;
};

// Where the picture of a piece at `point` goes, flipped or not. A picture is centred on its
// point, except that a point far right of the board (only a loaded file can hold one) is drawn
// off the left edge instead, so that no picture lands outside the window on the right.
PicturePlace PicturePlaceFor(BoardPoint point, bool flipped, BoardMetrics board);

// The point a picture's place stands for (16-bit arithmetic), mirrored back when the view is
// flipped: the inverse of PicturePlaceFor, except for a point the far-right rule moved, which
// reads back as the point its picture is drawn at.
BoardPoint PointOfPicture(PicturePlace place, bool flipped, BoardMetrics board);

// A dropped picture is pulled back so that part of it stays inside the client area.
PicturePlace ClampDroppedPicture(PicturePlace place, int clientWidth, int clientHeight);

} // namespace morvantide
