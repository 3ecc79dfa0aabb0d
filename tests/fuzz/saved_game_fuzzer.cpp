#include "fuzz_check.h"
#include "morvantide/saved_game.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace morvantide;

namespace {

bool sameGame(const SavedGame& a, const SavedGame& b) {
    return a.pairCount == b.pairCount && a.pairs == b.pairs && a.hasSlot1 == b.hasSlot1 &&
           (!a.hasSlot1 || a.slot1 == b.slot1);
}

Position startingPosition() {
    Position position;
    for (Slot slot : AllSlots())
        position[slot] = slot.startingPoint();
    return position;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const SavedGameResult result = ReadSavedGame(bytes);

    // Handed out in small uneven pieces, the same bytes must read the same.
    std::size_t offset = 0;
    std::size_t calls = 0;
    const ChunkSource pieces = [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        const std::size_t step = 1 + (calls++ * 7 + size) % 13;
        const std::size_t count = std::min({capacity, step, size - offset});
        if (count > 0)
            std::memcpy(buffer, data + offset, count);
        offset += count;
        return static_cast<std::ptrdiff_t>(count);
    };
    const SavedGameResult chunked = ReadSavedGame(pieces);
    FUZZ_CHECK(chunked.error == result.error);
    FUZZ_CHECK(sameGame(chunked.game, result.game));

    if (!result.ok()) {
        // Only a bad number can fail here, and a failed read hands back nothing.
        FUZZ_CHECK(result.error == IoError::InvalidNumericInput);
        FUZZ_CHECK(sameGame(result.game, SavedGame{}));
        return 0;
    }
    FUZZ_CHECK(result.game.pairCount >= 0 && result.game.pairCount <= kSlotCount);
    FUZZ_CHECK(!result.game.hasSlot1 || result.game.pairCount == kSlotCount);

    const Position before = startingPosition();
    Position loaded = before;
    ApplySavedGame(loaded, result.game);
    // Slots the file does not reach keep their places.
    for (Slot slot : AllSlots()) {
        const bool reached =
            slot.number() == 1 ? result.game.hasSlot1 : slot.number() - 1 <= result.game.pairCount;
        FUZZ_CHECK(reached || loaded[slot] == before[slot]);
    }

    // Saving what was loaded and loading it again gives the same position, and saving that
    // gives the same file.
    const std::string saved = WriteSavedGame(loaded);
    const SavedGameResult again = ReadSavedGame(saved);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.game.pairCount == kSlotCount && again.game.hasSlot1);
    Position reloaded = before;
    ApplySavedGame(reloaded, again.game);
    FUZZ_CHECK(reloaded == loaded);
    FUZZ_CHECK(WriteSavedGame(reloaded) == saved);
    return 0;
}
