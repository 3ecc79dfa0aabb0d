#include "morvantide/new_game.h"

#include "morvantide/piece_set.h"

namespace morvantide {

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
    return toInt16(quotient);
}

void GlideTowardsInitialPositions(Positions& table) {
    for (int i = 0; i < kSlotCount; ++i) {
        BoardPoint& p = table[static_cast<std::size_t>(i)];
        const InitialPoint target = InitialPositions[static_cast<std::size_t>(i)];
        p.x = GlideCoordinate(p.x, target.x);
        p.y = GlideCoordinate(p.y, target.y);
    }
}

void SetInitialPositions(Positions& table) {
    for (int slot = 1; slot <= kSlotCount; ++slot)
        table[static_cast<std::size_t>(entryOfSlot(slot))] = initialPoint(slot);
}

} // namespace morvantide
