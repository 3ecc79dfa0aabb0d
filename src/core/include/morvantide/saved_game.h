#pragma once

#include "morvantide/io_error.h"
#include "morvantide/position.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace morvantide {

// The ".sav" file: one decimal integer a line, CR LF. Lines 1..62 hold x and y of slots
// 2..32, lines 63 and 64 a spare pair always written as 0 and 0, and lines 65 and 66 the
// place of slot 1, which older files lack.
std::string WriteSavedGame(const Position& position);

// What a file holds. Pairs 1..31 are the places of slots 2..32 as far as the file reaches,
// pair 32 is the spare (read but never applied); a 33rd pair that is really in the file is
// slot 1's place.
struct SavedGame {
    int pairCount = 0;                          // pairs read, 0..32
    std::array<BoardPoint, kSlotCount> pairs{}; // pairs[k - 1] is pair k
    bool hasSlot1 = false;
    BoardPoint slot1{};
};

struct SavedGameResult {
    IoError error = IoError::None;
    SavedGame game;
    bool ok() const { return error == IoError::None; }
};

// The most of a file that Open reads: room for a mebibyte of blanks before each of the 66
// numbers a file may hold and the text beside them. A file that goes on past it where the
// reader needs more is refused as InvalidNumericInput, so a huge or sparse file cannot hold
// up the window; this program writes under 1 KiB.
inline constexpr std::size_t kMaxSavedGameBytes = 80 * 1024 * 1024;

// Pulls up to `capacity` bytes into `buffer`; returns the count, 0 at the end, -1 on a read
// failure. The reader asks only for as much as it needs.
using ChunkSource = std::function<std::ptrdiff_t(char* buffer, std::size_t capacity)>;

SavedGameResult ReadSavedGame(const ChunkSource& source);
SavedGameResult ReadSavedGame(std::string_view bytes);

// Writes what a successfully read file holds into the position: slots 2..32 as far as the
// file reaches, slot 1 when the file has it.
void ApplySavedGame(Position& position, const SavedGame& game);

// Save's name rule: ".sav" is appended unless the name ends with exactly ".sav".
std::string SavedGameFileName(std::string_view chosen);

} // namespace morvantide
