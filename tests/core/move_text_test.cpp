#include "morvantide/move_text.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace morvantide {
namespace {

struct TextCase {
    MoveNames names;
    std::string text;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class MoveTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(MoveTextTest, JoinsTheNames) {
    EXPECT_EQ(MoveText(GetParam().names), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(MoveText, MoveTextTest,
                         ::testing::Values(TextCase{{"e", "2", "e", "4"}, "e2-e4 "},
                                           TextCase{{"e", "8", "g", "8"}, "e8-g8 "},
                                           TextCase{{"", "", "e", "4"}, "-e4 "},
                                           TextCase{{"", "5", "e", "4"}, "5-e4 "},
                                           TextCase{{"d", "", "a", "1"}, "d-a1 "}));

TEST(MoveTextTest, SuccessiveMovesFollowOnOneLine) {
    const std::string column = MoveText({"e", "7", "e", "5"}) + MoveText({"d", "7", "d", "6"});
    EXPECT_EQ(column, "e7-e5 d7-d6 ");
}

} // namespace
} // namespace morvantide
