#pragma once

#include "morvantide/square.h"

#include <array>
#include <cstdint>

namespace morvantide {

enum class PieceKind : std::uint8_t { Rook, Knight, Bishop, Queen, King, Pawn };
enum class PieceColour : std::uint8_t { Black, White };

inline constexpr int kSlotCount = 32;

// One of the 32 pieces, numbered 1..32: Black's back rank a8..h8, Black's pawns, White's
// pawns, White's back rank a1..h1. The number fixes the piece's kind, colour and starting
// square for the whole game; entry() is its index 0..31 in a table. Only a valid slot has a
// colour, kind and starting point.
class Slot {
public:
    constexpr explicit Slot(int number) : number_(number) {}

    constexpr int number() const { return number_; }
    constexpr int entry() const { return number_ - 1; }
    constexpr bool isValid() const { return number_ >= 1 && number_ <= kSlotCount; }

    constexpr PieceColour colour() const {
        return number_ <= 16 ? PieceColour::Black : PieceColour::White;
    }

    constexpr PieceKind kind() const {
        if (number_ >= 9 && number_ <= 24)
            return PieceKind::Pawn;
        constexpr std::array<PieceKind, 8> kBackRank = {
            PieceKind::Rook, PieceKind::Knight, PieceKind::Bishop, PieceKind::Queen,
            PieceKind::King, PieceKind::Bishop, PieceKind::Knight, PieceKind::Rook};
        return kBackRank[static_cast<std::size_t>(entry() % 8)];
    }

    // The square the piece starts on, and its centre.
    constexpr Square startingSquare() const {
        constexpr std::array<int, 4> kRows = {0, 1, 6, 7}; // ranks 8, 7, 2, 1
        return {entry() % 8, kRows[static_cast<std::size_t>(entry() / 8)]};
    }
    constexpr BoardPoint startingPoint() const { return startingSquare().centre(); }

    constexpr bool operator==(const Slot&) const = default;

private:
    int number_;
};

inline constexpr Slot kBlackKing{5};
inline constexpr Slot kWhiteKing{29};

// The 32 slots in order, for `for (Slot slot : AllSlots())`.
class SlotRange {
public:
    class Iterator {
    public:
        constexpr explicit Iterator(int number) : number_(number) {}
        constexpr Slot operator*() const { return Slot(number_); }
        constexpr Iterator& operator++() {
            ++number_;
            return *this;
        }
        constexpr bool operator==(const Iterator&) const = default;

    private:
        int number_;
    };

    constexpr Iterator begin() const { return Iterator(1); }
    constexpr Iterator end() const { return Iterator(kSlotCount + 1); }
};

constexpr SlotRange AllSlots() {
    return {};
}

} // namespace morvantide
