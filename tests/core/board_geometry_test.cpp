#include "morvantide/board_geometry.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>

namespace morvantide {
namespace {

BoardPoint Point(int x, int y) {
    return {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)};
}

struct NameCase {
    int coordinate;
    std::string_view file;
    std::string_view rank;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.coordinate;
}

class SquareNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(SquareNameTest, NamesOnlyExactCentres) {
    const NameCase& c = GetParam();
    EXPECT_EQ(FileName(c.coordinate), c.file);
    EXPECT_EQ(RankName(c.coordinate), c.rank);
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, SquareNameTest,
    ::testing::Values(NameCase{52, "a", "8"}, NameCase{92, "b", "7"}, NameCase{132, "c", "6"},
                      NameCase{172, "d", "5"}, NameCase{212, "e", "4"}, NameCase{252, "f", "3"},
                      NameCase{292, "g", "2"}, NameCase{332, "h", "1"}, NameCase{50, "", ""},
                      NameCase{53, "", ""}, NameCase{12, "", ""}, NameCase{372, "", ""},
                      NameCase{0, "", ""}, NameCase{-28, "", ""}, NameCase{333, "", ""}));

struct SnapCase {
    int x, y;
    int toX, toY;
    std::string_view file, rank;
};

void PrintTo(const SnapCase& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ")";
}

class SnapTest : public ::testing::TestWithParam<SnapCase> {};

TEST_P(SnapTest, LandsOnOneSquare) {
    const SnapCase& c = GetParam();
    const Square square = Square::snapped(Point(c.x, c.y));
    EXPECT_EQ(square.centre(), Point(c.toX, c.toY));
    EXPECT_EQ(square.fileName(), c.file);
    EXPECT_EQ(square.rankName(), c.rank);
    EXPECT_EQ(Square::named(std::string(c.file) + std::string(c.rank)), square);
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, SnapTest,
    ::testing::Values(
        // Edges between squares go toward file a and rank 8.
        SnapCase{72, 72, 52, 52, "a", "8"}, SnapCase{73, 73, 92, 92, "b", "7"},
        SnapCase{112, 112, 92, 92, "b", "7"}, SnapCase{113, 113, 132, 132, "c", "6"},
        SnapCase{192, 232, 172, 212, "d", "4"}, SnapCase{193, 233, 212, 252, "e", "3"},
        SnapCase{312, 312, 292, 292, "g", "2"}, SnapCase{313, 313, 332, 332, "h", "1"},
        SnapCase{332, 52, 332, 52, "h", "8"},
        // Far outside the board: the nearest edge square.
        SnapCase{-80, 600, 52, 332, "a", "1"}, SnapCase{600, -80, 332, 52, "h", "8"},
        SnapCase{-32768, 32767, 52, 332, "a", "1"}, SnapCase{0, 0, 52, 52, "a", "8"},
        // Close to the starting square e3 snaps back onto it.
        SnapCase{220, 240, 212, 252, "e", "3"}));

struct PlaceCase {
    const char* name;
    int x, y;
    bool flipped;
    int boardLeft;
    int left, top;
    int readX, readY; // what the picture's place reads back as
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.name;
}

class PicturePlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PicturePlaceTest, PlacesAndReadsBack) {
    const PlaceCase& c = GetParam();
    const BoardMetrics board{c.boardLeft, kBoardSize};
    const PicturePlace place = PicturePlaceFor(Point(c.x, c.y), c.flipped, board);
    EXPECT_EQ(place, (PicturePlace{c.left, c.top}));
    EXPECT_EQ(PointOfPicture(place, c.flipped, board), Point(c.readX, c.readY));
}

std::string PlaceName(const ::testing::TestParamInfo<PlaceCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, PicturePlaceTest,
    ::testing::Values(
        PlaceCase{"E2", 212, 292, false, 0, 192, 272, 212, 292},
        PlaceCase{"E2Flipped", 212, 292, true, 0, 153, 73, 212, 292},
        PlaceCase{"A8Flipped", 52, 52, true, 0, 313, 313, 52, 52},
        PlaceCase{"CapturedUnflipped", 0, 0, false, 0, -20, -20, 0, 0},
        PlaceCase{"CapturedFlipped", 0, 0, true, 0, 365, 365, 0, 0},
        // Flipping is 16-bit arithmetic both ways: -32768 is drawn at 385 + 32768 - 65536.
        PlaceCase{"FlippedWrapsInSixteenBits", -32768, 52, true, 0, -32403, 313, -32768, 52},
        // Up to 395 the plain rule holds; beyond it the picture goes 395 pixels
        // further left, and reads back as the point it is drawn at.
        PlaceCase{"RightEdgeLastPlain", 395, 100, false, 0, 375, 80, 395, 100},
        PlaceCase{"RightEdgeException", 396, 100, false, 0, -19, 80, 1, 100},
        PlaceCase{"RightEdgeExceptionFar", 32767, -7, false, 0, 32352, -27, 32372, -7},
        PlaceCase{"RightEdgeExceptionFlipped", -11, 100, true, 0, -19, 265, 384, 100},
        PlaceCase{"BoardMovedRight", 52, 52, false, 10, 42, 32, 52, 52},
        PlaceCase{"BoardMovedRightException", 396, 52, false, 10, -19, 32, -9, 52},
        PlaceCase{"NegativePlace", -300, -5, false, 0, -320, -25, -300, -5}),
    PlaceName);

TEST(PointOfPictureTest, StoresSixteenBits) {
    EXPECT_EQ(PointOfPicture({40000, -40000}, false, {}), Point(40020 - 65536, -39980 + 65536));
}

struct ClampCase {
    int left, top;
    int clampedLeft, clampedTop;
};

void PrintTo(const ClampCase& c, std::ostream* os) {
    *os << c.left << ", " << c.top;
}

class ClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampTest, KeepsPartOfThePictureInside) {
    const ClampCase& c = GetParam();
    EXPECT_EQ(ClampDroppedPicture({c.left, c.top}, 630, 386),
              (PicturePlace{c.clampedLeft, c.clampedTop}));
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, ClampTest,
    ::testing::Values(ClampCase{700, 100, 600, 100}, ClampCase{600, 356, 600, 356},
                      ClampCase{601, 357, 600, 356}, ClampCase{-21, -21, -20, -20},
                      ClampCase{-20, -20, -20, -20}, ClampCase{-500, 9000, -20, 356},
                      ClampCase{192, 272, 192, 272}));

TEST(ClampTest, TinyWindowAppliesTheStepsInOrder) {
    // The right and bottom limits are applied last, so they win in a window too small for both.
    EXPECT_EQ(ClampDroppedPicture({-100, -100}, 0, 0), (PicturePlace{-30, -30}));
}

} // namespace
} // namespace morvantide
