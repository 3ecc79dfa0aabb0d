#pragma once

#include "morvantide/board_point.h"

#include <string_view>

namespace morvantide {

// The board picture is kBoardSize pixels square; its 8 x 8 squares, kSquareSize pixels each,
// lie inside a margin that names the files and ranks.
inline constexpr int kSquareSize = 40;
inline constexpr int kBoardSize = 385;

// A square of the board: file 0..7 (a..h) and row 0..7 (rank 8 down to rank 1, as the unflipped
// picture shows them). Every place a piece is drawn at on the board is a square's centre.
class Square {
public:
    constexpr Square(int file, int row) : file_(file), row_(row) {}

    // "e4": a file letter and a rank digit.
    static constexpr Square named(std::string_view name) { return {name[0] - 'a', '8' - name[1]}; }

    // The square a point falls into. Each square spans its centre +- 20; a point on an edge goes
    // to the square nearer file a / rank 8, and a point beyond the board to the edge square.
    static Square snapped(BoardPoint point);

    constexpr int file() const { return file_; }
    constexpr int row() const { return row_; }
    constexpr BoardPoint centre() const { return {centreOf(file_), centreOf(row_)}; }
    std::string_view fileName() const;
    std::string_view rankName() const;

    constexpr bool operator==(const Square&) const = default;

    // The centre of file or row `index` on either axis: 52 for a / rank 8, 332 for h / rank 1.
    static constexpr std::int16_t centreOf(int index) {
        return static_cast<std::int16_t>(kFirstCentre + kSquareSize * index);
    }

private:
    static constexpr int kFirstCentre = 52;

    int file_;
    int row_;
};

// "a".."h" when x is exactly a square's centre, otherwise "".
std::string_view FileName(int x);
// "8".."1" when y is exactly a square's centre, otherwise "".
std::string_view RankName(int y);

} // namespace morvantide
