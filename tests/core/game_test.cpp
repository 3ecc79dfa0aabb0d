#include "morvantide/game.h"
#include "square_point.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace morvantide {
namespace {

struct Piece {
    int slot;
    BoardPoint place;
};

using Clips = std::vector<std::string>;

// The drag as it stands when the piece is let go.
struct Drag {
    Slot slot{0};
    BoardPoint from;
    bool blackToMove = false;
};

struct DropCase {
    const char* name;
    std::vector<Piece> pieces; // every other piece is off the board
    Drag drag;
    BoardPoint dropPoint; // where the piece is let go
    bool ownSquare;
    bool turnPasses;
    BoardPoint mover;
    int captured;  // the slot taken, 0: none
    RookMove rook; // slot 0: no castling
    const char* text;
    Clips clips;
    TakenKings kings;
};

void PrintTo(const DropCase& c, std::ostream* os) {
    *os << c.name;
}

class GameDropTest : public ::testing::TestWithParam<DropCase> {};

TEST_P(GameDropTest, DecidesEverythingTheReleaseShows) {
    const DropCase& c = GetParam();
    Position position;
    for (const Piece& piece : c.pieces)
        position[Slot(piece.slot)] = piece.place;
    const PieceColour side = c.drag.blackToMove ? PieceColour::Black : PieceColour::White;
    Game game(position, side);

    const DropResult drop = game.play(c.drag.slot, c.drag.from, c.dropPoint);

    EXPECT_EQ(drop.ownSquare, c.ownSquare);
    EXPECT_EQ(drop.turnPasses, c.turnPasses);
    EXPECT_EQ(drop.captured.value_or(Slot(0)), Slot(c.captured));
    EXPECT_EQ(drop.rook ? drop.rook->slot : Slot(0), c.rook.slot);
    EXPECT_EQ(drop.rook ? drop.rook->newX : 0, c.rook.newX);
    EXPECT_EQ(drop.moveText, c.text);
    EXPECT_EQ(drop.clips, c.clips);
    EXPECT_EQ(drop.kingsTaken, c.kings);

    // The game holds the same outcome: the turn, the mover's record, and the position, in which
    // nothing else changes.
    const bool blackNext = c.turnPasses != c.drag.blackToMove;
    EXPECT_EQ(game.sideToMove(), blackNext ? PieceColour::Black : PieceColour::White);
    const std::vector<std::string> record =
        c.turnPasses ? std::vector<std::string>{c.text} : std::vector<std::string>{};
    EXPECT_EQ(game.moves(side), record);
    EXPECT_TRUE(
        game.moves(side == PieceColour::White ? PieceColour::Black : PieceColour::White).empty());
    Position expected = position;
    if (c.drag.slot.isValid())
        expected[c.drag.slot] = c.mover;
    if (c.captured > 0)
        expected[Slot(c.captured)] = {};
    if (c.rook.slot.isValid())
        expected[c.rook.slot].x = c.rook.newX;
    EXPECT_EQ(game.position(), expected);
}

const std::vector<Piece> kKings = {{5, CentreOf("e8")}, {29, CentreOf("e1")}};

std::vector<Piece> KingsAnd(std::vector<Piece> pieces) {
    pieces.insert(pieces.end(), kKings.begin(), kKings.end());
    return pieces;
}

constexpr RookMove kNoRook{Slot(0), 0};
constexpr TakenKings kNoneTaken{};

// clang-format off
// A row: name, pieces; drag, drop point, own square, turn passes, mover, captured slot,
// rook; move text, clips, kings taken.
INSTANTIATE_TEST_SUITE_P(
    Drops, GameDropTest,
    ::testing::Values(
        DropCase{"WhiteMovePassesTheTurn", KingsAnd({{21, {}}}),
            {Slot(21), {212, 292}, false}, {215, 205}, false, true, CentreOf("e4"), 0, kNoRook,
            "e2-e4 ", Clips{"e", "a2", "e", "a4"}, kNoneTaken},
        DropCase{"BlackMovePassesTheTurnBack", KingsAnd({{13, {}}}),
            {Slot(13), {212, 92}, true}, CentreOf("e5"), false, true, CentreOf("e5"), 0, kNoRook,
            "e7-e5 ", Clips{"e", "a7", "e", "a5"}, kNoneTaken},
        DropCase{"IllegalWhiteMoveGoesBackAndKeepsTheTurn", KingsAnd({{21, {}}}),
            {Slot(21), {212, 292}, false}, CentreOf("e5"), false, false, CentreOf("e2"), 0, kNoRook,
            "", {}, kNoneTaken},
        DropCase{"IllegalBlackMoveKeepsBlackToMove", KingsAnd({{2, {}}}),
            {Slot(2), {92, 52}, true}, CentreOf("b6"), false, false, CentreOf("b8"), 0, kNoRook,
            "", {}, kNoneTaken},
        // The black king is gone, but a drop on the own square never reaches the end.
        DropCase{"OwnSquareOnlyRecentres", {{29, CentreOf("e1")}},
            {Slot(21), {212, 292}, false}, {220, 300}, true, false, CentreOf("e2"), 0, kNoRook,
            "", {}, kNoneTaken},
        DropCase{"OffCentreStartLeavesItsNamesOut", KingsAnd({}),
            {Slot(2), {50, 50}, true}, {60, 60}, false, true, CentreOf("a8"), 0, kNoRook,
            "-a8 ", Clips{"a", "a8"}, kNoneTaken},
        DropCase{"CaptureTakesTheEnemyOff", KingsAnd({{12, CentreOf("d5")}}),
            {Slot(21), {212, 212}, false}, CentreOf("d5"), false, true, CentreOf("d5"), 12, kNoRook,
            "e4-d5 ", Clips{"e", "a4", "TAKES", "d", "a5"}, kNoneTaken},
        DropCase{"EnemyAheadOfAPawnStays", KingsAnd({{12, CentreOf("e5")}}),
            {Slot(21), {212, 212}, false}, CentreOf("e5"), false, false, CentreOf("e4"), 0, kNoRook,
            "", {}, kNoneTaken},
        DropCase{"WhiteCastlesKingSide", KingsAnd({{32, CentreOf("h1")}}),
            {Slot(29), {212, 332}, false}, {290, 340}, false, true, CentreOf("g1"), 0, {Slot(32), 252},
            "e1-g1 ", {}, kNoneTaken},
        DropCase{"BlackCastlesQueenSide", KingsAnd({{1, CentreOf("a8")}}),
            {Slot(5), {212, 52}, true}, {130, 50}, false, true, CentreOf("c8"), 0, {Slot(1), 172},
            "e8-c8 ", {}, kNoneTaken},
        DropCase{"TakingTheBlackKingWinsForWhite", {{5, CentreOf("e3")}, {29, CentreOf("e1")}},
            {Slot(20), {172, 292}, false}, CentreOf("e3"), false, true, CentreOf("e3"), 5, kNoRook,
            "d2-e3 ", Clips{"d", "a2", "TAKES", "e", "a3", "CHECK", "MAT"}, {true, false}},
        DropCase{"TakingTheWhiteKingWinsForBlack", {{5, CentreOf("e8")}, {29, CentreOf("d6")}},
            {Slot(13), {212, 92}, true}, CentreOf("d6"), false, true, CentreOf("d6"), 29, kNoRook,
            "e7-d6 ", Clips{"e", "a7", "TAKES", "d", "a6", "CHECK", "MAT"}, {false, true}},
        // Once a king is off, every release that reaches the rules says so, legal or not.
        DropCase{"ATakenKingIsToldAfterAnIllegalMove", {{29, CentreOf("e1")}},
            {Slot(13), {212, 92}, true}, CentreOf("e4"), false, false, CentreOf("e7"), 0, kNoRook,
            "", {}, {true, false}},
        // Only a king at (0, 0) is off the board; one coordinate 0 is not enough.
        DropCase{"AKingHalfAtZeroIsStillOnTheBoard", {{5, {0, 52}}, {29, {212, 0}}, {21, {}}},
            {Slot(21), {212, 292}, false}, CentreOf("e4"), false, true, CentreOf("e4"), 0, kNoRook,
            "e2-e4 ", Clips{"e", "a2", "e", "a4"}, kNoneTaken},
        DropCase{"BothKingsGoneBlackFirst", {{13, CentreOf("e7")}},
            {Slot(13), {212, 92}, true}, CentreOf("e6"), false, true, CentreOf("e6"), 0, kNoRook,
            "e7-e6 ", Clips{"e", "a7", "e", "a6", "CHECK", "MAT", "CHECK", "MAT"}, {true, true}},
        // Only a piece can be let go: anything else changes nothing and is never looked up.
        DropCase{"NoPieceBelowSlot1", KingsAnd({}),
            {Slot(0), CentreOf("e2"), false}, CentreOf("e4"), false, false, {}, 0, kNoRook,
            "", {}, kNoneTaken},
        DropCase{"NoPieceAboveSlot32", {{29, CentreOf("e1")}},
            {Slot(33), CentreOf("e7"), true}, CentreOf("e5"), false, false, {}, 0, kNoRook,
            "", {}, {true, false}}),
    [](const ::testing::TestParamInfo<DropCase>& info) { return std::string(info.param.name); });
// clang-format on

// The record keeps each side's moves in order; Open starts it afresh and keeps the turn, a new
// game starts it afresh with White to move and every piece on its starting square.
TEST(GameTest, RecordsMovesUntilOpenOrNewGame) {
    Game game;
    game.startNew();
    game.endGlide();
    game.play(Slot(21), CentreOf("e2"), CentreOf("e4"));
    game.play(Slot(13), CentreOf("e7"), CentreOf("e5"));
    game.play(Slot(31), CentreOf("g1"), CentreOf("f3"));
    EXPECT_EQ(game.moves(PieceColour::White), (std::vector<std::string>{"e2-e4 ", "g1-f3 "}));
    EXPECT_EQ(game.moves(PieceColour::Black), (std::vector<std::string>{"e7-e5 "}));

    SavedGame saved;
    saved.hasSlot1 = true;
    saved.slot1 = CentreOf("a5");
    game.load(saved);
    EXPECT_EQ(game.sideToMove(), PieceColour::Black);
    EXPECT_EQ(game.position()[Slot(1)], CentreOf("a5"));
    EXPECT_EQ(game.position()[Slot(21)], CentreOf("e4"));
    EXPECT_TRUE(game.moves(PieceColour::White).empty());
    EXPECT_TRUE(game.moves(PieceColour::Black).empty());

    game.startNew();
    EXPECT_EQ(game.sideToMove(), PieceColour::White);
    EXPECT_TRUE(game.moves(PieceColour::Black).empty());
    game.endGlide();
    for (Slot slot : AllSlots())
        EXPECT_EQ(game.position()[slot], slot.startingPoint());
}

} // namespace
} // namespace morvantide
