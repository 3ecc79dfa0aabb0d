#include "morvantide/announcement.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace morvantide {
namespace {

constexpr bool kOnBoard = false;
constexpr bool kTaken = true;

struct ClipCase {
    const char* name;
    MoveNames names;
    bool capture;
    bool blackKingTaken;
    bool whiteKingTaken;
    std::vector<std::string> clips;
};

void PrintTo(const ClipCase& c, std::ostream* os) {
    *os << c.name;
}

class AnnouncementTest : public ::testing::TestWithParam<ClipCase> {};

TEST_P(AnnouncementTest, PlaysTheClipsInOrder) {
    const ClipCase& c = GetParam();
    EXPECT_EQ(AnnouncementClips(c.names, c.capture, {c.blackKingTaken, c.whiteKingTaken}), c.clips);
}

std::string ClipName(const ::testing::TestParamInfo<ClipCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Voice, AnnouncementTest,
    ::testing::Values(
        ClipCase{
            "PlainMove", {"e", "2", "e", "4"}, false, kOnBoard, kOnBoard, {"e", "a2", "e", "a4"}},
        ClipCase{"Capture",
                 {"d", "4", "e", "5"},
                 true,
                 kOnBoard,
                 kOnBoard,
                 {"d", "a4", "TAKES", "e", "a5"}},
        ClipCase{"BlackKingTaken",
                 {"d", "4", "e", "5"},
                 true,
                 kTaken,
                 kOnBoard,
                 {"d", "a4", "TAKES", "e", "a5", "CHECK", "MAT"}},
        ClipCase{"WhiteKingTaken",
                 {"a", "8", "h", "1"},
                 true,
                 kOnBoard,
                 kTaken,
                 {"a", "a8", "TAKES", "h", "a1", "CHECK", "MAT"}},
        ClipCase{"BothKingsTaken",
                 {"b", "1", "c", "3"},
                 false,
                 kTaken,
                 kTaken,
                 {"b", "a1", "c", "a3", "CHECK", "MAT", "CHECK", "MAT"}},
        ClipCase{"OffCentreFrom", {"", "", "e", "4"}, false, kOnBoard, kOnBoard, {"e", "a4"}},
        ClipCase{"OffCentreFromFileOnly",
                 {"", "2", "e", "4"},
                 true,
                 kOnBoard,
                 kOnBoard,
                 {"a2", "TAKES", "e", "a4"}},
        ClipCase{"UnknownNamesSkipped", {"i", "9", "E", "0"}, false, kOnBoard, kOnBoard, {}},
        ClipCase{
            "LongNamesSkipped", {"ab", "12", "g", "7"}, false, kOnBoard, kOnBoard, {"g", "a7"}}),
    ClipName);

TEST(LocalisedClipNameTest, RussianMoveUsesTheRSuffix) {
    std::vector<std::string> played;
    for (const std::string& clip : AnnouncementClips({"e", "2", "e", "4"}, false, {}))
        played.push_back(LocalisedClipName(clip, false));
    EXPECT_EQ(played, (std::vector<std::string>{"e_r", "a2_r", "e_r", "a4_r"}));
}

TEST(LocalisedClipNameTest, EnglishKeepsTheName) {
    EXPECT_EQ(LocalisedClipName("CHECK", true), "CHECK");
    EXPECT_EQ(LocalisedClipName("CHECK", false), "CHECK_r");
}

} // namespace
} // namespace morvantide
