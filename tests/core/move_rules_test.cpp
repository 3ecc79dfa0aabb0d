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
    int captureIndex; // -1: no enemy on the target
    int rookEntry;    // -1: no castling
    int rookNewX;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

Positions tableFor(const RuleCase& c) {
    Positions table{};
    for (const Piece& p : c.others)
        table[static_cast<std::size_t>(p.slot - 1)] = at(p.square);
    const BoardPoint to = at(c.to);
    // The mover's entry holds where it was let go, a few pixels off the target centre.
    table[static_cast<std::size_t>(c.slot - 1)] =
        c.dropOnCentre
            ? to
            : BoardPoint{static_cast<std::int16_t>(to.x + 7), static_cast<std::int16_t>(to.y - 11)};
    return table;
}

MoveRequest requestFor(const RuleCase& c) {
    const BoardPoint from = at(c.from);
    const BoardPoint to = at(c.to);
    return {c.slot, from.x, from.y, to.x, to.y};
}

class RuleCaseTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RuleCaseTest, DecidesTheMove) {
    const RuleCase& c = GetParam();
    const MoveOutcome outcome = ApplyMoveRules(tableFor(c), requestFor(c));
    EXPECT_EQ(outcome.IllegalMove, c.illegal);
    EXPECT_EQ(outcome.CaptureFound, c.captureIndex >= 0);
    if (c.captureIndex >= 0) {
        EXPECT_EQ(outcome.CaptureIndex, c.captureIndex);
    }
    EXPECT_EQ(outcome.capturesPiece(), c.captureIndex >= 0 && !c.illegal);
    EXPECT_EQ(outcome.Castled, c.rookEntry >= 0);
    if (c.rookEntry >= 0) {
        EXPECT_EQ(outcome.RookEntry, c.rookEntry);
        EXPECT_EQ(outcome.RookNewX, c.rookNewX);
    }
}

constexpr bool kLegal = false;
constexpr bool kIllegal = true;

// Slots: black rooks 1, 8; knights 2, 7; bishops 3, 6; queen 4; king 5; pawns 9..16.
// White pawns 17..24; rooks 25, 32; knights 26, 31; bishops 27, 30; queen 28; king 29.
const RuleCase kRuleCases[] = {
    // Knights jump.
    {"KnightJumpsOverPieces", {{22, "f2"}, {23, "g2"}}, 31, "g1", "f3", false, kLegal, -1, -1, 0},
    {"KnightStraightAhead", {}, 31, "g1", "g3", false, kIllegal, -1, -1, 0},
    {"KnightOntoOwnPiece", {{21, "e2"}}, 31, "g1", "e2", false, kIllegal, -1, -1, 0},
    {"KnightCaptures", {{21, "c6"}}, 2, "b8", "c6", false, kLegal, 20, -1, 0},
    {"KnightDiagonalOntoEnemyStays", {{21, "c7"}}, 2, "b8", "c7", false, kIllegal, 20, -1, 0},

    // Black pawns.
    {"BlackDoubleStep", {}, 13, "e7", "e5", false, kLegal, -1, -1, 0},
    {"BlackDoubleStepPassedSquareTaken", {{21, "e6"}}, 13, "e7", "e5", false, kIllegal, -1, -1, 0},
    {"BlackDoubleStepOntoEnemy", {{21, "e5"}}, 13, "e7", "e5", false, kIllegal, 20, -1, 0},
    {"BlackDoubleStepOntoOwn", {{4, "e5"}}, 13, "e7", "e5", false, kIllegal, -1, -1, 0},
    {"BlackDoubleStepOffStartRank", {}, 13, "e6", "e4", false, kIllegal, -1, -1, 0},
    {"BlackSingleStep", {}, 13, "e6", "e5", false, kLegal, -1, -1, 0},
    {"BlackSingleStepOntoEnemy", {{21, "e5"}}, 13, "e6", "e5", false, kIllegal, 20, -1, 0},
    {"BlackBackward", {}, 13, "e6", "e7", false, kIllegal, -1, -1, 0},
    {"BlackBackwardFromStartRank", {}, 13, "e7", "e8", false, kIllegal, -1, -1, 0},
    {"BlackSidewaysOntoEnemy", {{20, "d7"}}, 13, "e7", "d7", false, kIllegal, 19, -1, 0},
    {"BlackBackwardDiagonalOntoEnemy", {{30, "f8"}}, 13, "e7", "f8", false, kIllegal, 29, -1, 0},
    {"BlackCapturesDiagonally", {{21, "d6"}}, 13, "e7", "d6", false, kLegal, 20, -1, 0},
    {"BlackOnRankOneCannotCapture", {{21, "d1"}}, 13, "e1", "d1", false, kIllegal, 20, -1, 0},

    // White pawns.
    {"WhiteDoubleStep", {}, 21, "e2", "e4", false, kLegal, -1, -1, 0},
    {"WhiteDoubleStepPassedSquareTaken", {{12, "e3"}}, 21, "e2", "e4", false, kIllegal, -1, -1, 0},
    {"WhiteDoubleDiagonalOntoEnemy", {{12, "d4"}}, 21, "e2", "d4", false, kIllegal, 11, -1, 0},
    {"WhiteCapturesDiagonally", {{12, "d5"}}, 21, "e4", "d5", false, kLegal, 11, -1, 0},
    {"WhiteStraightOntoEnemy", {{12, "e5"}}, 21, "e4", "e5", false, kIllegal, 11, -1, 0},
    {"WhiteDiagonalOntoEmpty", {}, 21, "e4", "d5", false, kIllegal, -1, -1, 0},
    {"WhiteCaptureTwoFilesAway", {{12, "b5"}}, 21, "e4", "b5", false, kIllegal, 11, -1, 0},
    {"WhiteCaptureOneFileTwoRanks", {{12, "d6"}}, 21, "e4", "d6", false, kIllegal, 11, -1, 0},
    {"WhiteOnLastRankStuck", {}, 21, "e8", "e7", false, kIllegal, -1, -1, 0},

    // Slot 17 is White.
    {"BlackTakesSlot17", {{17, "a2"}}, 2, "b4", "a2", false, kLegal, 16, -1, 0},
    {"WhiteOntoSlot17", {{17, "a2"}}, 26, "b4", "a2", false, kIllegal, -1, -1, 0},
    {"BlackTakesSlot16IsOwn", {{16, "a2"}}, 2, "b4", "a2", false, kIllegal, -1, -1, 0},

    // Bishops.
    {"BishopOpenDiagonal", {}, 27, "c1", "h6", false, kLegal, -1, -1, 0},
    {"BishopPastPiece", {{21, "e3"}}, 27, "c1", "h6", false, kIllegal, -1, -1, 0},
    {"BishopCapturesWithPathClear", {{14, "f4"}}, 27, "c1", "f4", false, kLegal, 13, -1, 0},
    {"BishopPastPieceOntoEnemy",
     {{21, "e3"}, {14, "f4"}},
     27,
     "c1",
     "f4",
     false,
     kIllegal,
     13,
     -1,
     0},
    {"BishopBlockedNW", {{9, "c6"}}, 3, "e4", "b7", false, kIllegal, -1, -1, 0},
    {"BishopBlockedNE", {{9, "f5"}}, 3, "e4", "h7", false, kIllegal, -1, -1, 0},
    {"BishopBlockedSW", {{9, "d3"}}, 3, "e4", "b1", false, kIllegal, -1, -1, 0},
    {"BishopBlockedSE", {{9, "g2"}}, 3, "e4", "h1", false, kIllegal, -1, -1, 0},
    {"BishopOffDiagonal", {}, 3, "e4", "g5", false, kIllegal, -1, -1, 0},
    {"BishopAlongRank", {}, 3, "e4", "a4", false, kIllegal, -1, -1, 0},

    // Rooks.
    {"RookOpenFile", {{1, "a8"}}, 25, "a1", "a8", false, kLegal, 0, -1, 0},
    {"RookOffFileAndRank", {}, 25, "a1", "b2", false, kIllegal, -1, -1, 0},
    {"RookBlockedN", {{10, "e6"}}, 1, "e4", "e8", false, kIllegal, -1, -1, 0},
    {"RookBlockedS", {{10, "e2"}}, 1, "e4", "e1", false, kIllegal, -1, -1, 0},
    {"RookBlockedW", {{10, "c4"}}, 1, "e4", "a4", false, kIllegal, -1, -1, 0},
    {"RookBlockedE", {{10, "g4"}}, 1, "e4", "h4", false, kIllegal, -1, -1, 0},
    {"RookCapturesFirstInRow", {{18, "g4"}, {19, "h4"}}, 1, "e4", "g4", false, kLegal, 17, -1, 0},
    {"RookDropOnTargetCentre", {}, 1, "e4", "e7", true, kLegal, -1, -1, 0},

    // Queens.
    {"QueenKnightJump", {}, 28, "d1", "f2", false, kIllegal, -1, -1, 0},
    {"QueenBlockedN", {{9, "d5"}}, 28, "d4", "d6", false, kIllegal, -1, -1, 0},
    {"QueenBlockedS", {{9, "d3"}}, 28, "d4", "d2", false, kIllegal, -1, -1, 0},
    {"QueenBlockedW", {{9, "c4"}}, 28, "d4", "b4", false, kIllegal, -1, -1, 0},
    {"QueenBlockedE", {{9, "e4"}}, 28, "d4", "f4", false, kIllegal, -1, -1, 0},
    {"QueenBlockedNW", {{9, "c5"}}, 28, "d4", "b6", false, kIllegal, -1, -1, 0},
    {"QueenBlockedNE", {{9, "e5"}}, 28, "d4", "f6", false, kIllegal, -1, -1, 0},
    {"QueenBlockedSW", {{9, "c3"}}, 28, "d4", "b2", false, kIllegal, -1, -1, 0},
    {"QueenBlockedSE", {{9, "e3"}}, 28, "d4", "f2", false, kIllegal, -1, -1, 0},
    {"QueenCapturesOnDiagonal", {{9, "g7"}}, 28, "d4", "g7", false, kLegal, 8, -1, 0},
    {"QueenCapturesOnFile", {{4, "d8"}}, 28, "d4", "d8", false, kLegal, 3, -1, 0},

    // Kings.
    {"KingOneStep", {}, 29, "e1", "e2", false, kLegal, -1, -1, 0},
    {"KingCapturesOneStep", {{13, "f2"}}, 29, "e1", "f2", false, kLegal, 12, -1, 0},
    {"KingTwoStepsForward", {}, 29, "e1", "e3", false, kIllegal, -1, -1, 0},
    {"KingToC2", {{25, "a1"}}, 29, "e1", "c2", false, kIllegal, -1, -1, 0},
    {"KingToG2", {{32, "h1"}}, 29, "e1", "g2", false, kIllegal, -1, -1, 0},
    {"KingTakesKing", {{5, "e2"}}, 29, "e1", "e2", false, kLegal, 4, -1, 0},

    // Castling: the rook's entry and new x.
    {"WhiteKingSide", {{32, "h1"}}, 29, "e1", "g1", false, kLegal, -1, 31, 252},
    {"WhiteQueenSide", {{25, "a1"}}, 29, "e1", "c1", false, kLegal, -1, 24, 172},
    {"BlackKingSide", {{8, "h8"}}, 5, "e8", "g8", false, kLegal, -1, 7, 252},
    {"BlackQueenSide", {{1, "a8"}}, 5, "e8", "c8", false, kLegal, -1, 0, 172},
    {"CastlingDropOnTargetCentre", {{32, "h1"}}, 29, "e1", "g1", true, kLegal, -1, 31, 252},
    {"CastlingQueenSideDropOnCentre", {{1, "a8"}}, 5, "e8", "c8", true, kLegal, -1, 0, 172},
    {"CastlingBlockedOnF", {{32, "h1"}, {30, "f1"}}, 29, "e1", "g1", false, kIllegal, -1, -1, 0},
    {"CastlingBlockedOnG", {{32, "h1"}, {31, "g1"}}, 29, "e1", "g1", false, kIllegal, -1, -1, 0},
    {"CastlingOntoEnemyOnG", {{32, "h1"}, {7, "g1"}}, 29, "e1", "g1", false, kIllegal, 6, -1, 0},
    {"CastlingBlockedOnD", {{1, "a8"}, {4, "d8"}}, 5, "e8", "c8", false, kIllegal, -1, -1, 0},
    {"CastlingBlockedOnC", {{1, "a8"}, {3, "c8"}}, 5, "e8", "c8", false, kIllegal, -1, -1, 0},
    {"CastlingBlockedOnB", {{25, "a1"}, {26, "b1"}}, 29, "e1", "c1", false, kIllegal, -1, -1, 0},
    {"CastlingBlackBlockedOnB", {{1, "a8"}, {2, "b8"}}, 5, "e8", "c8", false, kIllegal, -1, -1, 0},
    {"CastlingRookMissing", {}, 29, "e1", "g1", false, kIllegal, -1, -1, 0},
    {"CastlingRookMoved", {{32, "h2"}}, 29, "e1", "g1", false, kIllegal, -1, -1, 0},
    {"CastlingOtherRookInCorner", {{25, "h1"}}, 29, "e1", "g1", false, kIllegal, -1, -1, 0},
    {"CastlingOtherPieceInCorner", {{8, "a8"}}, 5, "e8", "c8", false, kIllegal, -1, -1, 0},
    {"CastlingWrongKingForRow", {{8, "h8"}}, 29, "e8", "g8", false, kIllegal, -1, -1, 0},
};

// Names of the rows for readable test output.
std::string caseName(const ::testing::TestParamInfo<RuleCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rules, RuleCaseTest, ::testing::ValuesIn(kRuleCases), caseName);

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

bool knightShape(int f, int r) {
    return std::abs(f * r) == 2;
}
bool bishopShape(int f, int r) {
    return f != 0 && std::abs(f) == std::abs(r);
}
bool rookShape(int f, int r) {
    return (f == 0) != (r == 0);
}
bool queenShape(int f, int r) {
    return bishopShape(f, r) || rookShape(f, r);
}
bool kingShape(int f, int r) {
    return std::abs(f) <= 1 && std::abs(r) <= 1 && (f || r);
}
bool whitePawnFromStart(int f, int r) {
    return f == 0 && (r == 1 || r == 2);
}
bool whitePawnElsewhere(int f, int r) {
    return f == 0 && r == 1;
}
bool blackPawnFromStart(int f, int r) {
    return f == 0 && (r == -1 || r == -2);
}
bool blackPawnElsewhere(int f, int r) {
    return f == 0 && r == -1;
}
bool noMove(int, int) {
    return false;
}

class EmptyBoardSweep : public ::testing::TestWithParam<SweepCase> {};

TEST_P(EmptyBoardSweep, EveryTargetSquare) {
    const SweepCase& c = GetParam();
    const BoardPoint from = at(c.from);
    for (int file = 0; file < 8; ++file) {
        for (int row = 0; row < 8; ++row) {
            const int toX = 52 + 40 * file;
            const int toY = 52 + 40 * row;
            if (toX == from.x && toY == from.y)
                continue;
            Positions table{};
            table[static_cast<std::size_t>(c.slot - 1)] = {static_cast<std::int16_t>(toX),
                                                           static_cast<std::int16_t>(toY)};
            const MoveOutcome outcome = ApplyMoveRules(table, {c.slot, from.x, from.y, toX, toY});
            const bool expected = c.legal((toX - from.x) / 40, (from.y - toY) / 40);
            EXPECT_EQ(!outcome.IllegalMove, expected)
                << c.from << " to " << static_cast<char>('a' + file) << 8 - row;
            EXPECT_FALSE(outcome.CaptureFound);
        }
    }
}

const SweepCase kSweeps[] = {
    {"KnightCentre", 26, "d4", knightShape},
    {"KnightCorner", 2, "a8", knightShape},
    {"BishopCentre", 27, "e4", bishopShape},
    {"BishopEdge", 6, "h3", bishopShape},
    {"RookCentre", 25, "d5", rookShape},
    {"RookCorner", 32, "h1", rookShape},
    {"QueenCentre", 4, "e5", queenShape},
    {"QueenEdge", 28, "a4", queenShape},
    {"KingCentre", 29, "d4", kingShape},
    {"KingOnEightOffE", 5, "d8", kingShape},
    {"KingOnE8WithoutRooks", 5, "e8", kingShape},
    {"WhitePawnStart", 21, "e2", whitePawnFromStart},
    {"WhitePawnAdvanced", 21, "e3", whitePawnElsewhere},
    {"BlackPawnStart", 13, "e7", blackPawnFromStart},
    {"BlackPawnAdvanced", 13, "e5", blackPawnElsewhere},
    {"BlackPawnOnRankOne", 13, "e1", noMove},
    {"WhitePawnOnRankEight", 21, "e8", noMove},
};

std::string sweepName(const ::testing::TestParamInfo<SweepCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rules, EmptyBoardSweep, ::testing::ValuesIn(kSweeps), sweepName);

// The scans on their own: one piece somewhere, and whether it blocks the ray.
enum class Ray { N, S, W, E, NW, NE, SW, SE };

struct ScanCase {
    const char* name;
    Ray ray;
    const char* from;
    int argument;
    const char* piece; // nullptr: nothing but the mover
    bool blocked;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

bool scan(Ray ray, const Positions& table, const MoveRequest& move, int argument) {
    switch (ray) {
    case Ray::N:
        return PathBlockedN(table, move, argument);
    case Ray::S:
        return PathBlockedS(table, move, argument);
    case Ray::W:
        return PathBlockedW(table, move, argument);
    case Ray::E:
        return PathBlockedE(table, move, argument);
    case Ray::NW:
        return PathBlockedNW(table, move, argument);
    case Ray::NE:
        return PathBlockedNE(table, move, argument);
    case Ray::SW:
        return PathBlockedSW(table, move, argument);
    case Ray::SE:
        return PathBlockedSE(table, move, argument);
    }
    return false;
}

class ScanTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTest, ReportsPiecesStrictlyBetween) {
    const ScanCase& c = GetParam();
    const BoardPoint from = at(c.from);
    // The spare entry holds the piece, so entry 32 is scanned like the others.
    Positions table{};
    if (c.piece != nullptr)
        table[32] = at(c.piece);
    const MoveRequest move{28, from.x, from.y, 0, 0};
    EXPECT_EQ(scan(c.ray, table, move, c.argument), c.blocked);
}

const ScanCase kScans[] = {
    {"NBetween", Ray::N, "e2", 132, "e4", true},
    {"NOnTarget", Ray::N, "e2", 132, "e6", false},
    {"NBehind", Ray::N, "e2", 132, "e1", false},
    {"NBeside", Ray::N, "e2", 132, "f4", false},
    {"NAdjacentTarget", Ray::N, "e2", 252, "e3", false},
    {"SBetween", Ray::S, "d7", 292, "d3", true},
    {"SOnTarget", Ray::S, "d7", 292, "d2", false},
    {"WBetween", Ray::W, "e1", 92, "d1", true},
    {"WCastlingReachesB", Ray::W, "e1", 52, "b1", true},
    {"WCastlingSkipsA", Ray::W, "e1", 52, "a1", false},
    {"EBetween", Ray::E, "e1", 332, "g1", true},
    {"EOnArgument", Ray::E, "e1", 332, "h1", false},
    {"NWBetween", Ray::NW, "e4", 92, "c6", true},
    {"NWOffRay", Ray::NW, "e4", 92, "e6", false},
    {"NEBetween", Ray::NE, "e4", 92, "g6", true},
    {"NEOffRay", Ray::NE, "e4", 92, "c6", false},
    {"SWBetween", Ray::SW, "e4", 332, "c2", true},
    {"SWOffRay", Ray::SW, "e4", 332, "g2", false},
    {"SEBetween", Ray::SE, "e4", 332, "g2", true},
    {"SEOnTarget", Ray::SE, "e4", 332, "h1", false},
    {"EmptyBoard", Ray::SE, "a8", 332, nullptr, false},
};

std::string scanName(const ::testing::TestParamInfo<ScanCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Rules, ScanTest, ::testing::ValuesIn(kScans), scanName);

TEST(ScanTest, SkipsTheMoversOwnEntry) {
    Positions table{};
    table[27] = at("d4"); // the queen's own entry, as if dropped there on the way
    const MoveRequest move{28, 172, 332, 172, 52};
    EXPECT_FALSE(PathBlockedN(table, move, 52));
    table[26] = at("d4");
    EXPECT_TRUE(PathBlockedN(table, move, 52));
}

TEST(ApplyMoveRulesTest, SpareEntryOnASquareCountsAsWhite) {
    Positions table{};
    table[32] = at("e5");
    const MoveOutcome white = ApplyMoveRules(table, {28, 212, 212, 212, 172});
    EXPECT_TRUE(white.IllegalMove);
    EXPECT_FALSE(white.CaptureFound);

    const MoveOutcome black = ApplyMoveRules(table, {4, 212, 252, 212, 172});
    EXPECT_FALSE(black.IllegalMove);
    EXPECT_TRUE(black.CaptureFound);
    EXPECT_EQ(black.CaptureIndex, 32);
}

TEST(ApplyMoveRulesTest, ASlotThatIsNoPieceMakesNoMove) {
    const Positions table{};
    for (int slot : {0, 33, -1}) {
        const MoveOutcome outcome = ApplyMoveRules(table, {slot, 212, 292, 212, 252});
        EXPECT_TRUE(outcome.IllegalMove) << slot;
        EXPECT_FALSE(outcome.CaptureFound) << slot;
        EXPECT_FALSE(outcome.Castled) << slot;
    }
}

} // namespace
} // namespace morvantide
