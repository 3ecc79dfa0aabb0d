#include "morvantide/new_game.h"

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

class GlideTest : public ::testing::TestWithParam<GlideCase> {};

TEST_P(GlideTest, ClosesThreeQuartersRoundingHalvesToEven) {
    const GlideCase& c = GetParam();
    // Slot 1 starts at (52, 52), slot 32 at (332, 332).
    const Slot slot = c.target == 52 ? Slot(1) : Slot(32);
    Position position;
    position[slot] = {static_cast<std::int16_t>(c.current), static_cast<std::int16_t>(c.current)};
    GlideTowardsInitialPositions(position);
    EXPECT_EQ(position[slot],
              (BoardPoint{static_cast<std::int16_t>(c.next), static_cast<std::int16_t>(c.next)}));
}

INSTANTIATE_TEST_SUITE_P(NewGame, GlideTest,
                         ::testing::Values(GlideCase{52, 52, 52},    // already there
                                           GlideCase{50, 52, 50},    // 50.5 -> 50
                                           GlideCase{51, 52, 51},    // 51.25
                                           GlideCase{53, 52, 53},    // 52.75
                                           GlideCase{54, 52, 54},    // 53.5 -> 54
                                           GlideCase{55, 52, 54},    // 54.25
                                           GlideCase{48, 52, 49},    // 49
                                           GlideCase{30, 52, 36},    // 35.5 -> 36
                                           GlideCase{-20, 52, -2},   // -2
                                           GlideCase{-18, 52, 0},    // -0.5 -> 0
                                           GlideCase{-22, 52, -4},   // -3.5 -> -4
                                           GlideCase{-26, 52, -6},   // -6.5 -> -6
                                           GlideCase{-21, 52, -3},   // -2.75
                                           GlideCase{700, 332, 608}, // 608
                                           GlideCase{32767, 52, 24588},
                                           GlideCase{-32768, 332, -24493})); // -24493

Position ScatteredPosition() {
    Position position;
    for (Slot slot : AllSlots()) {
        // Places all over the window and beyond, a few already at their start.
        const int i = slot.entry();
        position[slot] = {static_cast<std::int16_t>((i * 97) % 700 - 50),
                          static_cast<std::int16_t>((i * 53) % 450 - 30)};
    }
    position[Slot(4)] = Slot(4).startingPoint();
    position[Slot(1)] = {50, 50};
    return position;
}

TEST(NewGameTest, SeventyFramesLeaveAtMostTwoPixelsThenExactPlaces) {
    Position position = ScatteredPosition();
    for (int frame = 0; frame < kNewGameFrames; ++frame)
        GlideTowardsInitialPositions(position);

    for (Slot slot : AllSlots()) {
        const BoardPoint target = slot.startingPoint();
        EXPECT_LE(std::abs(position[slot].x - target.x), 2) << slot.number();
        EXPECT_LE(std::abs(position[slot].y - target.y), 2) << slot.number();
    }
    // (50, 50) heading for (52, 52) never moves during the frames.
    EXPECT_EQ(position[Slot(1)], (BoardPoint{50, 50}));

    SetInitialPositions(position);
    for (Slot slot : AllSlots())
        EXPECT_EQ(position[slot], slot.startingPoint()) << slot.number();
}

} // namespace
} // namespace morvantide
