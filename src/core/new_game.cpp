#include "morvantide/new_game.h"

namespace morvantide {

namespace {

std::int16_t GlideCoordinate(int current, int target) {
    // (target + 3 * current) / 4 with the remainder deciding the rounding; floor division so
    // that negative places round the same way as positive ones.
    const std::int64_t sum = std::int64_t{target} + 3 * std::int64_t{current};
    std::int64_t quotient = sum / 4;
    std::int64_t remainder = sum % 4;
    if (remainder < 0) {
        remainder += 4;
        --quotient;
    }
    if (remainder > 2 || (remainder == 2 && quotient % 2 != 0))
        ++quotient;
    return ToInt16(quotient);
}

} // namespace

void GlideTowardsInitialPositions(Position& position) {
    for (Slot slot : AllSlots()) {
        BoardPoint& p = position[slot];
        const BoardPoint target = slot.startingPoint();
        p.x = GlideCoordinate(p.x, target.x);
        p.y = GlideCoordinate(p.y, target.y);
    }
}

void SetInitialPositions(Position& position) {
    for (Slot slot : AllSlots())
        position[slot] = slot.startingPoint();
}

} // namespace morvantide
