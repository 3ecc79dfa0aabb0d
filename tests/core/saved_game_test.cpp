#include "morvantide/saved_game.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace morvantide {
namespace {

Position NewGamePosition() {
    Position position;
    for (Slot slot : AllSlots())
        position[slot] = slot.startingPoint();
    return position;
}

std::string Lines(const std::vector<int>& values, std::string_view lineEnd = "\r\n") {
    std::string text;
    for (int value : values) {
        text += std::to_string(value);
        text += lineEnd;
    }
    return text;
}

// The 64 lines written right after a new game, as listed value by value.
const std::vector<int> kNewGameLines = {
    92, 52,  132, 52,  172, 52,  212, 52,  252, 52,  292, 52,  332, 52,  52, 92,
    92, 92,  132, 92,  172, 92,  212, 92,  252, 92,  292, 92,  332, 92,  52, 292,
    92, 292, 132, 292, 172, 292, 212, 292, 252, 292, 292, 292, 332, 292, 52, 332,
    92, 332, 132, 332, 172, 332, 212, 332, 252, 332, 292, 332, 332, 332, 0,  0,
};

// Hands out `text` in pieces of at most `step` bytes and counts what it handed out.
struct CountingSource {
    std::string text;
    std::size_t step = 4096;
    std::size_t offset = 0;
    std::size_t pulled = 0;

    std::ptrdiff_t operator()(char* buffer, std::size_t capacity) {
        const std::size_t count = std::min({capacity, step, text.size() - offset});
        std::memcpy(buffer, text.data() + offset, count);
        offset += count;
        pulled += count;
        return static_cast<std::ptrdiff_t>(count);
    }
};

TEST(WriteSavedGame, NewGameGivesTheExampleLinesThenSlot1) {
    EXPECT_EQ(WriteSavedGame(NewGamePosition()), Lines(kNewGameLines) + "52\r\n52\r\n");
}

// A position written and read back: the exact text of some lines, then every place restored.
struct RoundTripCase {
    const char* name;
    Position position;
    std::vector<std::pair<std::size_t, std::string>> lines; // 1-based line number, its text
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<RoundTripCase> RoundTripCases() {
    Position distinct;
    for (Slot slot : AllSlots()) {
        // Distinct values everywhere, negative and off-board ones among them.
        const int i = slot.entry();
        distinct[slot] = {static_cast<std::int16_t>(i * 37 - 300),
                          static_cast<std::int16_t>(i % 5 == 0 ? 0 : i * 11)};
    }
    Position negative = NewGamePosition();
    negative[Slot(2)] = {-52, -332};
    negative[Slot(1)] = {-1, -32768};
    negative[Slot(32)] = {32767, 0};
    return {
        {"DistinctValues", distinct, {{1, "-263"}, {63, "0"}, {64, "0"}, {65, "-300"}}},
        {"NegativeCoordinates",
         negative,
         {{1, "-52"}, {2, "-332"}, {61, "32767"}, {65, "-1"}, {66, "-32768"}}},
    };
}

class SavedGameRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(SavedGameRoundTrip, WritesSignedDecimalsAndRestoresAllSlotsIncludingSlot1) {
    const RoundTripCase& c = GetParam();
    const std::string text = WriteSavedGame(c.position);
    std::vector<std::string> written;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        written.push_back(text.substr(start, end - start));
    ASSERT_EQ(written.size(), 66u) << text;
    for (const auto& [line, expected] : c.lines)
        EXPECT_EQ(written[line - 1], expected) << "line " << line;

    Position loaded = NewGamePosition();
    const SavedGameResult result = ReadSavedGame(text);
    ASSERT_TRUE(result.ok()) << IoErrorMessage(result.error);
    EXPECT_EQ(result.game.pairCount, 32);
    ApplySavedGame(loaded, result.game);
    for (Slot slot : AllSlots())
        EXPECT_EQ(loaded[slot], c.position[slot]) << "slot " << slot.number();
}

INSTANTIATE_TEST_SUITE_P(Tables, SavedGameRoundTrip, testing::ValuesIn(RoundTripCases()),
                         [](const testing::TestParamInfo<RoundTripCase>& info) {
                             return info.param.name;
                         });

// A whole file read: what it holds, or the error it gives.
struct FileCase {
    const char* name;
    std::string text;
    IoError error;
    int pairCount;
    std::vector<BoardPoint> firstPairs; // pairs 1.. as far as listed
    std::optional<BoardPoint> slot1;
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<int> PairsUpTo(int pairs) {
    return {kNewGameLines.begin(), kNewGameLines.begin() + 2 * pairs};
}

std::vector<FileCase> FileCases() {
    const std::string full = Lines(kNewGameLines);
    return {
        {"Empty", "", IoError::None, 0, {}, std::nullopt},
        {"OnlyBlanksReadAsOneZeroPair", "  \r\n", IoError::None, 1, {{0, 0}}, std::nullopt},
        {"OnePair", "92\r\n52\r\n", IoError::None, 1, {{92, 52}}, std::nullopt},
        {"OddCountZeroesLastY",
         "92\r\n52\r\n132\r\n",
         IoError::None,
         2,
         {{92, 52}, {132, 0}},
         std::nullopt},
        {"NoFinalLineEnd", "92\r\n52", IoError::None, 1, {{92, 52}}, std::nullopt},
        {"BlankLinesSkipped",
         "\r\n\r\n92\r\n\r\n \t\r\n52\r\n",
         IoError::None,
         1,
         {{92, 52}},
         std::nullopt},
        {"LfOnly", "92\n52\n132\n52\n", IoError::None, 2, {{92, 52}, {132, 52}}, std::nullopt},
        {"LoneCrDoesNotEndLine", "92\r77\r\n52\r\n", IoError::None, 1, {{92, 52}}, std::nullopt},
        {"TextAfterBlankIgnored",
         "52 abc\r\n92\tjunk 1 2\r\n",
         IoError::None,
         1,
         {{52, 92}},
         std::nullopt},
        {"TextJoinedIsError", "52abc\r\n92\r\n", IoError::InvalidNumericInput, 0, {}, std::nullopt},
        {"CtrlZBetweenPairs",
         "92\r\n52\r\n\x1a"
         "132\r\n52\r\n",
         IoError::None,
         1,
         {{92, 52}},
         std::nullopt},
        {"CtrlZBetweenXAndY",
         "92\r\n\x1a"
         "52\r\n",
         IoError::None,
         1,
         {{92, 0}},
         std::nullopt},
        {"CtrlZInsideNumber",
         "92\r\n5\x1a"
         "2\r\n",
         IoError::None,
         1,
         {{92, 5}},
         std::nullopt},
        {"CtrlZHidesBadText",
         "92\r\n52\r\n\x1a"
         "abc\r\n",
         IoError::None,
         1,
         {{92, 52}},
         std::nullopt},
        {"FewerThan32Pairs",
         Lines(PairsUpTo(5)),
         IoError::None,
         5,
         {{92, 52}, {132, 52}, {172, 52}, {212, 52}, {252, 52}},
         std::nullopt},
        {"ThirtyOnePairsAndBlankLineGiveZeroSpare",
         Lines(PairsUpTo(31)) + "\r\n",
         IoError::None,
         32,
         {},
         std::nullopt},
        {"Old64LineFile", full, IoError::None, 32, {{92, 52}}, std::nullopt},
        {"TrailingBlankLineDoesNotTouchSlot1", full + "\r\n", IoError::None, 32, {}, std::nullopt},
        {"TrailingBlanksDoNotTouchSlot1",
         full + " \r\n\r\n  ",
         IoError::None,
         32,
         {},
         std::nullopt},
        {"HalfASlot1PairIsIgnored", full + "7\r\n", IoError::None, 32, {}, std::nullopt},
        {"Slot1Pair", full + "7\r\n-8\r\n", IoError::None, 32, {}, BoardPoint{7, -8}},
        {"Slot1PairWithoutLineEnd", full + "7\r\n8", IoError::None, 32, {}, BoardPoint{7, 8}},
        {"NothingAfterSlot1PairIsRead",
         full + "7\r\n8\r\nabc\r\n$zz\r\n",
         IoError::None,
         32,
         {},
         BoardPoint{7, 8}},
        {"RestOfSlot1LineIsNotRead", full + "7\r\n8 abc", IoError::None, 32, {}, BoardPoint{7, 8}},
        {"BadSlot1PairIsError",
         full + "7\r\n8x\r\n",
         IoError::InvalidNumericInput,
         0,
         {},
         std::nullopt},
        {"ErrorPartWayKeepsNothing",
         Lines(PairsUpTo(10)) + "52abc\r\n",
         IoError::InvalidNumericInput,
         0,
         {},
         std::nullopt},
        {"ErrorInYKeepsNothing",
         "92\r\n52\r\n132\r\n$\r\n",
         IoError::InvalidNumericInput,
         0,
         {},
         std::nullopt},
        // Up to a mebibyte of blanks before one number is a file; more is refused unread.
        {"MebibyteOfBlanksBeforeANumber",
         std::string(1 << 20, '\n') + "92\r\n52",
         IoError::None,
         1,
         {{92, 52}},
         std::nullopt},
        {"MoreBlanksBeforeANumberIsError",
         "92\r\n" + std::string((1 << 20) + 1, ' ') + "52",
         IoError::InvalidNumericInput,
         0,
         {},
         std::nullopt},
    };
}

class ReadSavedGameFile : public testing::TestWithParam<FileCase> {};

TEST_P(ReadSavedGameFile, ReadsWhatTheFileHolds) {
    const FileCase& c = GetParam();
    const SavedGameResult result = ReadSavedGame(c.text);
    ASSERT_EQ(result.error, c.error) << IoErrorMessage(result.error);
    EXPECT_EQ(result.game.pairCount, c.pairCount);
    for (std::size_t i = 0; i < c.firstPairs.size(); ++i)
        EXPECT_EQ(result.game.pairs[i], c.firstPairs[i]) << "pair " << i + 1;
    EXPECT_EQ(result.game.hasSlot1, c.slot1.has_value());
    if (c.slot1) {
        EXPECT_EQ(result.game.slot1, *c.slot1);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ReadSavedGameFile, testing::ValuesIn(FileCases()),
                         [](const testing::TestParamInfo<FileCase>& info) {
                             return info.param.name;
                         });

// One number's text, read as the x of the first pair.
struct NumberCase {
    std::string text;
    std::optional<std::int16_t> stored; // nothing: "Invalid numeric input"
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

class ReadSavedGameNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadSavedGameNumber, StoresLow16BitsOrRefuses) {
    const NumberCase& c = GetParam();
    const SavedGameResult result = ReadSavedGame(c.text + "\r\n1\r\n");
    if (!c.stored) {
        EXPECT_EQ(result.error, IoError::InvalidNumericInput);
        EXPECT_EQ(IoErrorMessage(result.error), "Invalid numeric input");
        return;
    }
    ASSERT_TRUE(result.ok()) << IoErrorMessage(result.error);
    EXPECT_EQ(result.game.pairs[0], (BoardPoint{*c.stored, 1}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadSavedGameNumber,
    testing::Values(NumberCase{"52", 52}, NumberCase{"0", 0}, NumberCase{"-0", 0},
                    NumberCase{"052", 52}, NumberCase{"+52", 52}, NumberCase{"-52", -52},
                    NumberCase{"65588", 52}, NumberCase{"-65484", 52}, NumberCase{"32768", -32768},
                    NumberCase{"$34", 52}, NumberCase{"x34", 52}, NumberCase{"X34", 52},
                    NumberCase{"0x34", 52}, NumberCase{"0X34", 52}, NumberCase{"-$10", -16},
                    NumberCase{"+0x34", 52}, NumberCase{"$3a", 58}, NumberCase{"$3A", 58},
                    NumberCase{"2147483647", -1}, NumberCase{"-2147483648", 0},
                    NumberCase{"$7FFFFFFF", -1}, NumberCase{"-$80000000", 0},
                    NumberCase{std::string(30, '0') + "52", 52},
                    NumberCase{std::string(31, '0') + "52", std::nullopt},
                    NumberCase{"2147483648", std::nullopt}, NumberCase{"-2147483649", std::nullopt},
                    NumberCase{"$80000000", std::nullopt}, NumberCase{"99999999999", std::nullopt},
                    NumberCase{"52abc", std::nullopt}, NumberCase{"+", std::nullopt},
                    NumberCase{"-", std::nullopt}, NumberCase{"$", std::nullopt},
                    NumberCase{"0x", std::nullopt}, NumberCase{"--5", std::nullopt},
                    NumberCase{"+-5", std::nullopt}, NumberCase{"5-", std::nullopt},
                    NumberCase{"$-10", std::nullopt}, NumberCase{"1.5", std::nullopt},
                    NumberCase{"34h", std::nullopt}, NumberCase{"$3g", std::nullopt},
                    NumberCase{"0x0x1", std::nullopt},
                    NumberCase{"\xC2\xA0"
                               "5",
                               std::nullopt}));

class ReadSavedGameChunks : public testing::TestWithParam<std::size_t> {};

TEST_P(ReadSavedGameChunks, ChunkSizeDoesNotMatter) {
    const std::string text = "\r\n" + Lines(kNewGameLines, "\n") +
                             "\r\n-7\r\n\x1a"
                             "8";
    CountingSource source{text, GetParam()};
    const SavedGameResult result = ReadSavedGame(std::ref(source));
    ASSERT_TRUE(result.ok());
    const SavedGameResult whole = ReadSavedGame(text);
    EXPECT_EQ(result.game.pairCount, whole.game.pairCount);
    EXPECT_EQ(result.game.pairs, whole.game.pairs);
    EXPECT_FALSE(result.game.hasSlot1);
    EXPECT_EQ(result.game.pairs[0], (BoardPoint{92, 52}));
}

INSTANTIATE_TEST_SUITE_P(Steps, ReadSavedGameChunks, testing::Values(1, 2, 3, 7, 64, 4096));

TEST(ReadSavedGame, StopsPullingAfterThe33rdPair) {
    const std::string head = WriteSavedGame(NewGamePosition());
    constexpr std::size_t kHuge = std::size_t{1} << 30;
    std::size_t pulled = 0;
    // A 1 GiB stream: the saved game, then "1\r\n" again and again, made up as it is pulled.
    const ChunkSource source = [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        const std::size_t count = std::min(capacity, kHuge - pulled);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = pulled + i;
            buffer[i] = at < head.size() ? head[at] : "1\r\n"[(at - head.size()) % 3];
        }
        pulled += count;
        return static_cast<std::ptrdiff_t>(count);
    };
    const SavedGameResult result = ReadSavedGame(source);
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.game.hasSlot1);
    EXPECT_EQ(result.game.slot1, (BoardPoint{52, 52}));
    EXPECT_LE(pulled, head.size() + 4096);
}

// "52 " and NUL bytes to the end of a file of `size` bytes, all on one line, made up as it is
// pulled: the reader skips the rest of that line until the file ends or the bound stops it.
TEST(ReadSavedGame, ReadsNoFurtherThanTheBound) {
    for (const std::size_t size :
         {kMaxSavedGameBytes, kMaxSavedGameBytes + 1, std::numeric_limits<std::size_t>::max()}) {
        std::size_t pulled = 0;
        const ChunkSource source = [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
            const std::size_t count = std::min(capacity, size - pulled);
            std::memset(buffer, 0, count);
            for (std::size_t at = pulled; at < 3 && at < pulled + count; ++at)
                buffer[at - pulled] = "52 "[at];
            pulled += count;
            return static_cast<std::ptrdiff_t>(count);
        };
        const SavedGameResult result = ReadSavedGame(source);
        EXPECT_LE(pulled, kMaxSavedGameBytes + 1) << size;
        if (size > kMaxSavedGameBytes) {
            EXPECT_EQ(result.error, IoError::InvalidNumericInput) << size;
            continue;
        }
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.game.pairCount, 1);
        EXPECT_EQ(result.game.pairs[0], (BoardPoint{52, 0}));
    }
}

TEST(ReadSavedGame, NothingIsPulledAfterCtrlZ) {
    CountingSource source{"92\r\n52\r\n\x1a" + std::string(100000, '7'), 16};
    const SavedGameResult result = ReadSavedGame(std::ref(source));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.game.pairCount, 1);
    EXPECT_EQ(source.pulled, 16u);
}

TEST(ReadSavedGame, ReadFailureIsAnErrorUnlessEverythingNeededCameFirst) {
    const std::string text = WriteSavedGame(NewGamePosition());
    // The reader needs the file up to the end of the last number's text: "52" and its CR.
    const std::size_t needed = text.size() - 1;
    for (std::size_t failAt :
         {std::size_t{0}, std::size_t{1}, std::size_t{5}, needed - 1, needed, text.size()}) {
        std::size_t given = 0;
        const ChunkSource source = [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
            if (given == failAt)
                return -1;
            const std::size_t count = std::min(capacity, failAt - given);
            std::memcpy(buffer, text.data() + given, count);
            given += count;
            return static_cast<std::ptrdiff_t>(count);
        };
        const SavedGameResult result = ReadSavedGame(source);
        if (failAt >= needed) {
            EXPECT_TRUE(result.ok()) << "failing at byte " << failAt;
            continue;
        }
        EXPECT_EQ(result.error, IoError::FileAccessDenied) << "failing at byte " << failAt;
        EXPECT_EQ(result.game.pairCount, 0);
    }
}

TEST(ApplySavedGame, ChangesOnlyTheSlotsTheFileReaches) {
    const Position before = NewGamePosition();
    for (int pairs : {0, 1, 5, 31, 32}) {
        SavedGame game;
        game.pairCount = pairs;
        for (std::size_t i = 0; i < kSlotCount; ++i)
            game.pairs[i] = {static_cast<std::int16_t>(1000 + i), -1};
        Position position = before;
        ApplySavedGame(position, game);
        for (Slot slot : AllSlots()) {
            // Pair k is slot k + 1; the 32nd pair, the spare, goes nowhere.
            const int pair = slot.number() - 1;
            const bool changed = pair >= 1 && pair <= std::min(pairs, 31);
            EXPECT_EQ(position[slot],
                      changed ? game.pairs[static_cast<std::size_t>(pair - 1)] : before[slot])
                << pairs << " pairs, slot " << slot.number();
        }
    }
}

TEST(ApplySavedGame, Slot1OnlyWhenTheFileHasIt) {
    for (bool hasSlot1 : {false, true}) {
        SavedGame game;
        game.hasSlot1 = hasSlot1;
        game.slot1 = {132, 212};
        Position position = NewGamePosition();
        ApplySavedGame(position, game);
        EXPECT_EQ(position[Slot(1)], (hasSlot1 ? BoardPoint{132, 212} : BoardPoint{52, 52}));
    }
}

TEST(ApplySavedGame, SparePairInTheFileIsIgnored) {
    std::vector<int> values = kNewGameLines;
    values[62] = 212;
    values[63] = 212;
    const SavedGameResult result = ReadSavedGame(Lines(values));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.game.pairs[31], (BoardPoint{212, 212}));
    Position position;
    ApplySavedGame(position, result.game);
    Position expected = NewGamePosition();
    expected[Slot(1)] = {}; // the file has no line 65
    EXPECT_EQ(position, expected);
}

struct NameCase {
    std::string chosen;
    std::string saved;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.chosen);
}

class SavedGameFileNameRule : public testing::TestWithParam<NameCase> {};

TEST_P(SavedGameFileNameRule, AppendsSavUnlessPresentExactly) {
    EXPECT_EQ(SavedGameFileName(GetParam().chosen), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SavedGameFileNameRule,
    testing::Values(NameCase{"game", "game.sav"}, NameCase{"game.sav", "game.sav"},
                    NameCase{"x.SAV", "x.SAV.sav"}, NameCase{"/home/u/g.Sav", "/home/u/g.Sav.sav"},
                    NameCase{"game.sav.txt", "game.sav.txt.sav"},
                    NameCase{"gamesav", "gamesav.sav"}, NameCase{".sav", ".sav"},
                    NameCase{"sav", "sav.sav"}, NameCase{"", ".sav"}));

} // namespace
} // namespace morvantide
