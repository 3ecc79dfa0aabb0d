#pragma once

#include <array>
#include <cstdint>

#include "morvantide/board_point.h"

namespace morvantide {

// Slots 1..16 are Black, 17..32 White; a slot fixes kind, colour and starting square.
enum class PieceKind : std::uint8_t { Rook, Knight, Bishop, Queen, King, Pawn };
enum class PieceColour : std::uint8_t { Black, White };

inline constexpr int kBlackKingSlot = 5;
inline constexpr int kWhiteKingSlot = 29;

constexpr int entryOfSlot(int slot) { return slot - 1; }
constexpr bool isValidSlot(int slot) { return slot >= 1 && slot <= kSlotCount; }

constexpr PieceColour pieceColour(int slot) {
    return slot <= 16 ? PieceColour::Black : PieceColour::White;
}

constexpr PieceKind pieceKind(int slot) {
    if (slot >= 9 && slot <= 24)
        return PieceKind::Pawn;
    switch (slot > 24 ? slot - 24 : slot) {
    case 1:
    case 8:
        return PieceKind::Rook;
    case 2:
    case 7:
        return PieceKind::Knight;
    case 3:
    case 6:
        return PieceKind::Bishop;
    case 4:
        return PieceKind::Queen;
    default:
        return PieceKind::King;
    }
}

struct InitialPoint {
    std::int32_t x;
    std::int32_t y;
};

// Starting point of each slot, slot 1 first.
inline constexpr std::array<InitialPoint, kSlotCount> InitialPositions = {{
    {52, 52},   {92, 52},   {132, 52},  {172, 52},  {212, 52},  {252, 52},  {292, 52},  {332, 52},
    {52, 92},   {92, 92},   {132, 92},  {172, 92},  {212, 92},  {252, 92},  {292, 92},  {332, 92},
    {52, 292},  {92, 292},  {132, 292}, {172, 292}, {212, 292}, {252, 292}, {292, 292}, {332, 292},
    {52, 332},  {92, 332},  {132, 332}, {172, 332}, {212, 332}, {252, 332}, {292, 332}, {332, 332},
}};

constexpr BoardPoint initialPoint(int slot) {
    const InitialPoint p = InitialPositions[static_cast<std::size_t>(slot - 1)];
    return {static_cast<std::int16_t>(p.x), static_cast<std::int16_t>(p.y)};
}

} // namespace morvantide
