#include "morvantide/new_game.h"
#include "morvantide/piece_set.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <ostream>

namespace morvantide {
namespace {

struct GlideCase {
    int current;
    int target;
    int next;
};

void PrintTo(const GlideCase& c, std::ostream* os) {
    *os << c.current << " to " << c.target;
}

class GlideCoordinateTest : public ::testing::TestWithParam<GlideCase> {};

TEST_P(GlideCoordinateTest, ClosesThreeQuartersRoundingHalvesToEven) {
    const GlideCase& c = GetParam();
    EXPECT_EQ(GlideCoordinate(c.current, c.target), c.next);
}

INSTANTIATE_TEST_SUITE_P(
    NewGame, GlideCoordinateTest,
    ::testing::Values(GlideCase{52, 52, 52},                                       // already there
                      GlideCase{50, 52, 50},                                       // 50.5 -> 50
                      GlideCase{51, 52, 51},                                       // 51.25
                      GlideCase{53, 52, 53},                                       // 52.75
                      GlideCase{54, 52, 54},                                       // 53.5 -> 54
                      GlideCase{55, 52, 54},                                       // 54.25
                      GlideCase{48, 52, 49},                                       // 49
                      GlideCase{30, 52, 36},                                       // 35.5 -> 36
                      GlideCase{-20, 52, -2},                                      // -2
                      GlideCase{-18, 52, 0},                                       // -0.5 -> 0
                      GlideCase{-22, 52, -4},                                      // -3.5 -> -4
                      GlideCase{-26, 52, -6},                                      // -6.5 -> -6
                      GlideCase{-21, 52, -3},                                      // -2.75
                      GlideCase{700, 332, 608},                                    // 608
                      GlideCase{32767, 52, 24588}, GlideCase{-32768, 332, -24493}, // -24493
                      GlideCase{50000, 52, 37513 - 65536})); // stored as 16 bits

Positions scatteredTable() {
    Positions table{};
    for (int i = 0; i < kSlotCount; ++i) {
        // Places all over the window and beyond, a few already at their start.
        const int x = (i * 97) % 700 - 50;
        const int y = (i * 53) % 450 - 30;
        table[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(x),
                                              static_cast<std::int16_t>(y)};
    }
    table[3] = initialPoint(4);
    table[0] = {50, 50};
    table[32] = {123, -45};
    return table;
}

TEST(NewGameTest, OneFrameMovesEveryPieceButNotTheSpare) {
    Positions table = scatteredTable();
    const Positions before = table;
    GlideTowardsInitialPositions(table);
    for (int i = 0; i < kSlotCount; ++i) {
        const auto e = static_cast<std::size_t>(i);
        const InitialPoint target = InitialPositions[e];
        EXPECT_EQ(table[e].x, GlideCoordinate(before[e].x, target.x)) << i;
        EXPECT_EQ(table[e].y, GlideCoordinate(before[e].y, target.y)) << i;
    }
    EXPECT_EQ(table[3], initialPoint(4));
    EXPECT_EQ(table[32], before[32]);
}

TEST(NewGameTest, SeventyFramesLeaveAtMostTwoPixelsThenExactPlaces) {
    Positions table = scatteredTable();
    for (int frame = 0; frame < kNewGameFrames; ++frame)
        GlideTowardsInitialPositions(table);

    for (int i = 0; i < kSlotCount; ++i) {
        const InitialPoint target = InitialPositions[static_cast<std::size_t>(i)];
        EXPECT_LE(std::abs(table[static_cast<std::size_t>(i)].x - target.x), 2) << i;
        EXPECT_LE(std::abs(table[static_cast<std::size_t>(i)].y - target.y), 2) << i;
    }
    // (50, 50) heading for (52, 52) never moves during the frames.
    EXPECT_EQ(table[0], (BoardPoint{50, 50}));

    SetInitialPositions(table);
    for (int slot = 1; slot <= kSlotCount; ++slot)
        EXPECT_EQ(table[static_cast<std::size_t>(slot - 1)], initialPoint(slot)) << slot;
    EXPECT_EQ(table[32], (BoardPoint{123, -45}));
}

} // namespace
} // namespace morvantide
