#include "morvantide/board_geometry.h"

namespace morvantide {

namespace {

// The point as seen on the flipped board: v becomes boardWidth - v, in 16-bit arithmetic.
BoardPoint Mirrored(BoardPoint point, int boardWidth) {
    return {ToInt16(std::int64_t{boardWidth} - point.x),
            ToInt16(std::int64_t{boardWidth} - point.y)};
}

} // namespace

PicturePlace PicturePlaceFor(BoardPoint point, bool flipped, BoardMetrics board) {
    const BoardPoint shown = flipped ? Mirrored(point, board.width) : point;
    int left = shown.x + board.left - 20;
    // The far-right rule: a point beyond x = width + 10 (its picture would start less than 10
    // pixels short of the board's right edge) is drawn at x - width - 30, left of the board.
    if (left > board.left + board.width - 10)
        left = shown.x - board.width - 30;
    return {left, shown.y - 20};
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
