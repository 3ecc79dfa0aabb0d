#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "morvantide/board_point.h"
#include "morvantide/io_error.h"

namespace morvantide {

// The ".sav" file: one decimal integer a line, CR LF. Lines 1..64 hold x and y of entries
// 1..32 (entry 32, the spare, always written as 0 and 0); lines 65 and 66 hold entry 0, the
// place of slot 1, which older files lack.
std::string WriteSavedGame(const Positions& table);

// What a file holds. Pairs 1..32 go to entries 1..32 as far as the file reaches (the spare
// pair is read but never applied); a 33rd pair that is really in the file gives entry 0.
struct SavedGame {
    int pairCount = 0;                           // pairs read into entries 1..32 (0..32)
    std::array<BoardPoint, kSlotCount> entries{}; // entries[k - 1] is entry k
    bool hasSlot1 = false;
    BoardPoint slot1{};
};

struct SavedGameResult {
    IoError error = IoError::None;
    SavedGame game;
    bool ok() const { return error == IoError::None; }
};

// Pulls up to `capacity` bytes into `buffer`; returns the count, 0 at the end, -1 on a read
// failure. The reader asks only for as much as it needs.
using ChunkSource = std::function<std::ptrdiff_t(char* buffer, std::size_t capacity)>;

SavedGameResult ReadSavedGame(const ChunkSource& source);
SavedGameResult ReadSavedGame(std::string_view bytes);

// Writes what a successfully read file holds into the table: entries 1..31 as far as the
// file reaches, entry 0 when the file has it. The spare entry stays as it is.
void ApplySavedGame(Positions& table, const SavedGame& game);

// Save's name rule: ".sav" is appended unless the name ends with exactly ".sav".
std::string SavedGameFileName(std::string_view chosen);

} // namespace morvantide
