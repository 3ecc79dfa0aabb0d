#include "morvantide/square.h"

#include <array>

namespace morvantide {

namespace {

constexpr std::array<std::string_view, 8> kFileLetters = {"a", "b", "c", "d", "e", "f", "g", "h"};
constexpr std::array<std::string_view, 8> kRankDigits = {"8", "7", "6", "5", "4", "3", "2", "1"};
constexpr int kFirst = Square::centreOf(0);
constexpr int kLast = Square::centreOf(7);

// Index 0..7 of the square centre v, or -1 when v is not exactly a centre.
int CentreIndex(int v) {
    if (v < kFirst || v > kLast || (v - kFirst) % kSquareSize != 0)
        return -1;
    return (v - kFirst) / kSquareSize;
}

int SnapIndex(int v) {
    if (v <= kFirst + kSquareSize / 2)
        return 0;
    if (v > kLast - kSquareSize / 2)
        return 7;
    return (v - (kFirst + kSquareSize / 2) - 1) / kSquareSize + 1;
}

std::string_view NameAt(const std::array<std::string_view, 8>& names, int index) {
    return index < 0 ? std::string_view{} : names[static_cast<std::size_t>(index)];
}

} // namespace

Square Square::snapped(BoardPoint point) {
    return {SnapIndex(point.x), SnapIndex(point.y)};
}

std::string_view Square::fileName() const {
    return NameAt(kFileLetters, file_);
}

std::string_view Square::rankName() const {
    return NameAt(kRankDigits, row_);
}

std::string_view FileName(int x) {
    return NameAt(kFileLetters, CentreIndex(x));
}

std::string_view RankName(int y) {
    return NameAt(kRankDigits, CentreIndex(y));
}

} // namespace morvantide
