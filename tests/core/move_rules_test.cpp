#include "morvantide/move_rules.h"
#include "square_point.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace morvantide {
namespace {

struct Piece {
    int slot;
    const char* square;
};

struct RuleCase {
    const char* name;
    std::vector<Piece> others; // every other piece is off the board
    int slot;
    const char* from;
    const char* to;
    bool dropOnCentre; // the mover's entry holds the target centre instead of an off-centre point
    bool illegal;
    int captured; // the enemy's slot on the target, 0: none
    int rook;     // the castling rook's slot, 0: no castling
    int rookNewX;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

Position PositionFor(const RuleCase& c) {
    Position position;
    for (const Piece& p : c.others)
        position[Slot(p.slot)] = CentreOf(p.square);
    const BoardPoint to = CentreOf(c.to);
    // The mover stands where it was let go, a few pixels off the target centre.
    position[Slot(c.slot)] = c.dropOnCentre ? to
                                            : BoardPoint{static_cast<std::int16_t>(to.x + 7),
                                                         static_cast<std::int16_t>(to.y - 11)};
    return position;
}

class RuleCaseTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleCaseTest, DecidesTheMove) {
    const RuleCase& c = GetParam();
    const MoveOutcome outcome =
        ApplyMoveRules(PositionFor(c), {Slot(c.slot), CentreOf(c.from), CentreOf(c.to)});
    EXPECT_EQ(outcome.illegalMove, c.illegal);
    EXPECT_EQ(outcome.captured.value_or(Slot(0)), Slot(c.captured));
    EXPECT_EQ(outcome.capturesPiece(), c.captured > 0 && !c.illegal);
    EXPECT_EQ(outcome.castling.has_value(), c.rook > 0);
    if (outcome.castling) {
        EXPECT_EQ(outcome.castling->slot, Slot(c.rook));
        EXPECT_EQ(outcome.castling->newX, c.rookNewX);
    }
}

constexpr bool kLegal = false;
constexpr bool kIllegal = true;

// Slots: black rooks 1, 8; knights 2, 7; bishops 3, 6; queen 4; king 5; pawns 9..16.
// White pawns 17..24; rooks 25, 32; knights 26, 31; bishops 27, 30; queen 28; king 29.
const RuleCase kRuleCases[] = {
    // Knights jump.
    {"KnightJumpsOverPieces", {{22, "f2"}, {23, "g2"}}, 31, "g1", "f3", false, kLegal, 0, 0, 0},
    {"KnightStraightAhead", {}, 31, "g1", "g3", false, kIllegal, 0, 0, 0},
    {"KnightOntoOwnPiece", {{21, "e2"}}, 31, "g1", "e2", false, kIllegal, 0, 0, 0},
    {"KnightCaptures", {{21, "c6"}}, 2, "b8", "c6", false, kLegal, 21, 0, 0},
    {"KnightDiagonalOntoEnemyStays", {{21, "c7"}}, 2, "b8", "c7", false, kIllegal, 21, 0, 0},

    // Black pawns.
    {"BlackDoubleStep", {}, 13, "e7", "e5", false, kLegal, 0, 0, 0},
    {"BlackDoubleStepPassedSquareTaken", {{21, "e6"}}, 13, "e7", "e5", false, kIllegal, 0, 0, 0},
    {"BlackDoubleStepOntoEnemy", {{21, "e5"}}, 13, "e7", "e5", false, kIllegal, 21, 0, 0},
    {"BlackDoubleStepOntoOwn", {{4, "e5"}}, 13, "e7", "e5", false, kIllegal, 0, 0, 0},
    {"BlackDoubleStepOffStartRank", {}, 13, "e6", "e4", false, kIllegal, 0, 0, 0},
    {"BlackSingleStep", {}, 13, "e6", "e5", false, kLegal, 0, 0, 0},
    {"BlackSingleStepOntoEnemy", {{21, "e5"}}, 13, "e6", "e5", false, kIllegal, 21, 0, 0},
    {"BlackBackward", {}, 13, "e6", "e7", false, kIllegal, 0, 0, 0},
    {"BlackBackwardFromStartRank", {}, 13, "e7", "e8", false, kIllegal, 0, 0, 0},
    {"BlackSidewaysOntoEnemy", {{20, "d7"}}, 13, "e7", "d7", false, kIllegal, 20, 0, 0},
    {"BlackBackwardDiagonalOntoEnemy", {{30, "f8"}}, 13, "e7", "f8", false, kIllegal, 30, 0, 0},
    {"BlackCapturesDiagonally", {{21, "d6"}}, 13, "e7", "d6", false, kLegal, 21, 0, 0},
    {"BlackOnRankOneCannotCapture", {{21, "d1"}}, 13, "e1", "d1", false, kIllegal, 21, 0, 0},

    // White pawns.
    {"WhiteDoubleStep", {}, 21, "e2", "e4", false, kLegal, 0, 0, 0},
    {"WhiteDoubleStepPassedSquareTaken", {{12, "e3"}}, 21, "e2", "e4", false, kIllegal, 0, 0, 0},
    {"WhiteDoubleDiagonalOntoEnemy", {{12, "d4"}}, 21, "e2", "d4", false, kIllegal, 12, 0, 0},
    {"WhiteCapturesDiagonally", {{12, "d5"}}, 21, "e4", "d5", false, kLegal, 12, 0, 0},
    {"WhiteStraightOntoEnemy", {{12, "e5"}}, 21, "e4", "e5", false, kIllegal, 12, 0, 0},
    {"WhiteDiagonalOntoEmpty", {}, 21, "e4", "d5", false, kIllegal, 0, 0, 0},
    {"WhiteCaptureTwoFilesAway", {{12, "b5"}}, 21, "e4", "b5", false, kIllegal, 12, 0, 0},
    {"WhiteCaptureOneFileTwoRanks", {{12, "d6"}}, 21, "e4", "d6", false, kIllegal, 12, 0, 0},
    {"WhiteOnLastRankStuck", {}, 21, "e8", "e7", false, kIllegal, 0, 0, 0},

    // Slot 17 is White.
    {"BlackTakesSlot17", {{17, "a2"}}, 2, "b4", "a2", false, kLegal, 17, 0, 0},
    {"WhiteOntoSlot17", {{17, "a2"}}, 26, "b4", "a2", false, kIllegal, 0, 0, 0},
    {"BlackTakesSlot16IsOwn", {{16, "a2"}}, 2, "b4", "a2", false, kIllegal, 0, 0, 0},

    // Bishops.
    {"BishopOpenDiagonal", {}, 27, "c1", "h6", false, kLegal, 0, 0, 0},
    {"BishopPastPiece", {{21, "e3"}}, 27, "c1", "h6", false, kIllegal, 0, 0, 0},
    {"BishopCapturesWithPathClear", {{14, "f4"}}, 27, "c1", "f4", false, kLegal, 14, 0, 0},
    {"BishopPastPieceOntoEnemy",
     {{21, "e3"}, {14, "f4"}},
     27,
     "c1",
     "f4",
     false,
     kIllegal,
     14,
     0,
     0},
    {"BishopBlockedNW", {{9, "c6"}}, 3, "e4", "b7", false, kIllegal, 0, 0, 0},
    {"BishopBlockedNE", {{9, "f5"}}, 3, "e4", "h7", false, kIllegal, 0, 0, 0},
    {"BishopBlockedSW", {{9, "d3"}}, 3, "e4", "b1", false, kIllegal, 0, 0, 0},
    {"BishopBlockedSE", {{9, "g2"}}, 3, "e4", "h1", false, kIllegal, 0, 0, 0},
    {"BishopPieceOffTheDiagonalDoesNotBlock", {{9, "e6"}}, 3, "e4", "b7", false, kLegal, 0, 0, 0},
    {"BishopCapturesDownRight", {{21, "h1"}}, 3, "e4", "h1", false, kLegal, 21, 0, 0},
    {"BishopOffDiagonal", {}, 3, "e4", "g5", false, kIllegal, 0, 0, 0},
    {"BishopAlongRank", {}, 3, "e4", "a4", false, kIllegal, 0, 0, 0},

    // Rooks.
    {"RookOpenFile", {{1, "a8"}}, 25, "a1", "a8", false, kLegal, 1, 0, 0},
    {"RookOffFileAndRank", {}, 25, "a1", "b2", false, kIllegal, 0, 0, 0},
    {"RookBlockedN", {{10, "e6"}}, 1, "e4", "e8", false, kIllegal, 0, 0, 0},
    {"RookBlockedS", {{10, "e2"}}, 1, "e4", "e1", false, kIllegal, 0, 0, 0},
    {"RookBlockedW", {{10, "c4"}}, 1, "e4", "a4", false, kIllegal, 0, 0, 0},
    {"RookBlockedE", {{10, "g4"}}, 1, "e4", "h4", false, kIllegal, 0, 0, 0},
    {"RookCapturesFirstInRow", {{18, "g4"}, {19, "h4"}}, 1, "e4", "g4", false, kLegal, 18, 0, 0},
    {"RookDropOnTargetCentre", {}, 1, "e4", "e7", true, kLegal, 0, 0, 0},
    {"RookPieceBehindDoesNotBlock", {{10, "e3"}}, 1, "e4", "e8", false, kLegal, 0, 0, 0},
    {"RookPieceBesideTheFileDoesNotBlock", {{10, "f6"}}, 1, "e4", "e8", false, kLegal, 0, 0, 0},

    // Queens.
    {"QueenKnightJump", {}, 28, "d1", "f2", false, kIllegal, 0, 0, 0},
    {"QueenBlockedN", {{9, "d5"}}, 28, "d4", "d6", false, kIllegal, 0, 0, 0},
    {"QueenBlockedS", {{9, "d3"}}, 28, "d4", "d2", false, kIllegal, 0, 0, 0},
    {"QueenBlockedW", {{9, "c4"}}, 28, "d4", "b4", false, kIllegal, 0, 0, 0},
    {"QueenBlockedE", {{9, "e4"}}, 28, "d4", "f4", false, kIllegal, 0, 0, 0},
    {"QueenBlockedNW", {{9, "c5"}}, 28, "d4", "b6", false, kIllegal, 0, 0, 0},
    {"QueenBlockedNE", {{9, "e5"}}, 28, "d4", "f6", false, kIllegal, 0, 0, 0},
    {"QueenBlockedSW", {{9, "c3"}}, 28, "d4", "b2", false, kIllegal, 0, 0, 0},
    {"QueenBlockedSE", {{9, "e3"}}, 28, "d4", "f2", false, kIllegal, 0, 0, 0},
    {"QueenCapturesOnDiagonal", {{9, "g7"}}, 28, "d4", "g7", false, kLegal, 9, 0, 0},
    {"QueenCapturesOnFile", {{4, "d8"}}, 28, "d4", "d8", false, kLegal, 4, 0, 0},

    // Kings.
    {"KingOneStep", {}, 29, "e1", "e2", false, kLegal, 0, 0, 0},
    {"KingCapturesOneStep", {{13, "f2"}}, 29, "e1", "f2", false, kLegal, 13, 0, 0},
    {"KingTwoStepsForward", {}, 29, "e1", "e3", false, kIllegal, 0, 0, 0},
    {"KingToC2", {{25, "a1"}}, 29, "e1", "c2", false, kIllegal, 0, 0, 0},
    {"KingToG2", {{32, "h1"}}, 29, "e1", "g2", false, kIllegal, 0, 0, 0},
    {"KingTakesKing", {{5, "e2"}}, 29, "e1", "e2", false, kLegal, 5, 0, 0},

    // Castling: the rook's slot and new x.
    {"WhiteKingSide", {{32, "h1"}}, 29, "e1", "g1", false, kLegal, 0, 32, 252},
    {"WhiteQueenSide", {{25, "a1"}}, 29, "e1", "c1", false, kLegal, 0, 25, 172},
    {"BlackKingSide", {{8, "h8"}}, 5, "e8", "g8", false, kLegal, 0, 8, 252},
    {"BlackQueenSide", {{1, "a8"}}, 5, "e8", "c8", false, kLegal, 0, 1, 172},
    {"CastlingDropOnTargetCentre", {{32, "h1"}}, 29, "e1", "g1", true, kLegal, 0, 32, 252},
    {"CastlingQueenSideDropOnCentre", {{1, "a8"}}, 5, "e8", "c8", true, kLegal, 0, 1, 172},
    {"CastlingBlockedOnF", {{32, "h1"}, {30, "f1"}}, 29, "e1", "g1", false, kIllegal, 0, 0, 0},
    {"CastlingBlockedOnG", {{32, "h1"}, {31, "g1"}}, 29, "e1", "g1", false, kIllegal, 0, 0, 0},
    {"CastlingOntoEnemyOnG", {{32, "h1"}, {7, "g1"}}, 29, "e1", "g1", false, kIllegal, 7, 0, 0},
    {"CastlingBlockedOnD", {{1, "a8"}, {4, "d8"}}, 5, "e8", "c8", false, kIllegal, 0, 0, 0},
    {"CastlingBlockedOnC", {{1, "a8"}, {3, "c8"}}, 5, "e8", "c8", false, kIllegal, 0, 0, 0},
    {"CastlingBlockedOnB", {{25, "a1"}, {26, "b1"}}, 29, "e1", "c1", false, kIllegal, 0, 0, 0},
    {"CastlingBlackBlockedOnB", {{1, "a8"}, {2, "b8"}}, 5, "e8", "c8", false, kIllegal, 0, 0, 0},
    {"CastlingRookMissing", {}, 29, "e1", "g1", false, kIllegal, 0, 0, 0},
    {"CastlingRookMoved", {{32, "h2"}}, 29, "e1", "g1", false, kIllegal, 0, 0, 0},
    {"CastlingOtherRookInCorner", {{25, "h1"}}, 29, "e1", "g1", false, kIllegal, 0, 0, 0},
    {"CastlingOtherPieceInCorner", {{8, "a8"}}, 5, "e8", "c8", false, kIllegal, 0, 0, 0},
    {"CastlingWrongKingForRow", {{8, "h8"}}, 29, "e8", "g8", false, kIllegal, 0, 0, 0},
};

// Names of the rows for readable test output.
std::string CaseName(const ::testing::TestParamInfo<RuleCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rules, RuleCaseTest, ::testing::ValuesIn(kRuleCases), CaseName);

// Empty-board sweeps: every target square from a few starting squares, checked against the
// textbook movement of each kind.
struct SweepCase {
    const char* name;
    int slot;
    const char* from;
    bool (*legal)(int files, int ranksTowardEight);
};

void PrintTo(const SweepCase& c, std::ostream* os) {
    *os << c.name;
}

bool KnightShape(int f, int r) {
    return std::abs(f * r) == 2;
}
bool BishopShape(int f, int r) {
    return f != 0 && std::abs(f) == std::abs(r);
}
bool RookShape(int f, int r) {
    return (f == 0) != (r == 0);
}
bool QueenShape(int f, int r) {
    return BishopShape(f, r) || RookShape(f, r);
}
bool KingShape(int f, int r) {
    return std::abs(f) <= 1 && std::abs(r) <= 1 && (f || r);
}
bool WhitePawnFromStart(int f, int r) {
    return f == 0 && (r == 1 || r == 2);
}
bool WhitePawnElsewhere(int f, int r) {
    return f == 0 && r == 1;
}
bool BlackPawnFromStart(int f, int r) {
    return f == 0 && (r == -1 || r == -2);
}
bool BlackPawnElsewhere(int f, int r) {
    return f == 0 && r == -1;
}
bool NoMove(int, int) {
    return false;
}

class EmptyBoardSweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(EmptyBoardSweep, EveryTargetSquare) {
    const SweepCase& c = GetParam();
    const Square start = Square::named(c.from);
    const BoardPoint from = start.centre();
    for (int file = 0; file < 8; ++file) {
        for (int row = 0; row < 8; ++row) {
            const BoardPoint to = Square(file, row).centre();
            if (to == from)
                continue;
            Position position;
            position[Slot(c.slot)] = to;
            const MoveOutcome outcome = ApplyMoveRules(position, {Slot(c.slot), from, to});
            const bool expected = c.legal(file - start.file(), start.row() - row);
            EXPECT_EQ(!outcome.illegalMove, expected)
                << c.from << " to " << static_cast<char>('a' + file) << 8 - row;
            EXPECT_FALSE(outcome.captured);
        }
    }
}

const SweepCase kSweeps[] = {
    {"KnightCentre", 26, "d4", KnightShape},
    {"KnightCorner", 2, "a8", KnightShape},
    {"BishopCentre", 27, "e4", BishopShape},
    {"BishopEdge", 6, "h3", BishopShape},
    {"RookCentre", 25, "d5", RookShape},
    {"RookCorner", 32, "h1", RookShape},
    {"QueenCentre", 4, "e5", QueenShape},
    {"QueenEdge", 28, "a4", QueenShape},
    {"KingCentre", 29, "d4", KingShape},
    {"KingOnEightOffE", 5, "d8", KingShape},
    {"KingOnE8WithoutRooks", 5, "e8", KingShape},
    {"WhitePawnStart", 21, "e2", WhitePawnFromStart},
    {"WhitePawnAdvanced", 21, "e3", WhitePawnElsewhere},
    {"BlackPawnStart", 13, "e7", BlackPawnFromStart},
    {"BlackPawnAdvanced", 13, "e5", BlackPawnElsewhere},
    {"BlackPawnOnRankOne", 13, "e1", NoMove},
    {"WhitePawnOnRankEight", 21, "e8", NoMove},
};

std::string SweepName(const ::testing::TestParamInfo<SweepCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rules, EmptyBoardSweep, ::testing::ValuesIn(kSweeps), SweepName);

TEST(ApplyMoveRulesTest, SkipsTheMoversOwnPlaceOnThePath) {
    Position position;
    position[Slot(28)] = CentreOf("d4"); // the queen's own place, as if dropped there on the way
    const MoveRequest move{Slot(28), CentreOf("d1"), CentreOf("d8")};
    EXPECT_FALSE(ApplyMoveRules(position, move).illegalMove);
    position[Slot(27)] = CentreOf("d4");
    EXPECT_TRUE(ApplyMoveRules(position, move).illegalMove);
}

TEST(ApplyMoveRulesTest, TheTakenPiecesCornerAlwaysBlocks) {
    // Every piece on the board, none at (0, 0): a path through (0, 0) is blocked all the same.
    Position position;
    for (Slot slot : AllSlots())
        position[slot] = slot.startingPoint();
    position[Slot(1)] = CentreOf("d5");
    const MoveRequest move{Slot(3), {-40, -40}, CentreOf("a8")};
    position[move.slot] = move.to;
    EXPECT_TRUE(ApplyMoveRules(position, move).illegalMove);
    EXPECT_FALSE(ApplyMoveRules(position, {Slot(3), {-28, -28}, CentreOf("a8")}).illegalMove);
}

TEST(ApplyMoveRulesTest, ASlotThatIsNoPieceMakesNoMove) {
    const Position position;
    for (int slot : {0, 33, -1}) {
        const MoveOutcome outcome =
            ApplyMoveRules(position, {Slot(slot), CentreOf("e2"), CentreOf("e3")});
        EXPECT_TRUE(outcome.illegalMove) << slot;
        EXPECT_FALSE(outcome.captured) << slot;
        EXPECT_FALSE(outcome.castling) << slot;
    }
}

} // namespace
} // namespace morvantide
