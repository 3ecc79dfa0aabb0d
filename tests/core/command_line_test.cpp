#include "morvantide/command_line.h"

#include <gtest/gtest.h>

namespace morvantide {
namespace {

struct SwitchCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* switchText;
    bool expected;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineSwitch : public testing::TestWithParam<SwitchCase> {};

TEST_P(CommandLineSwitch, MatchesWholeLowerCaseArgument) {
    EXPECT_EQ(HasCommandLineSwitch(GetParam().arguments, GetParam().switchText),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineSwitch,
    testing::Values(
        SwitchCase{"Alone", {"x"}, "x", true}, SwitchCase{"UpperCaseArgument", {"X"}, "x", false},
        SwitchCase{"Slash", {"/x"}, "x", false}, SwitchCase{"Dash", {"-x"}, "x", false},
        SwitchCase{"Longer", {"x1"}, "x", false}, SwitchCase{"Padded", {" x"}, "x", false},
        SwitchCase{"AmongOthers", {"game.sav", "-v", "x", "y"}, "x", true},
        SwitchCase{"Last", {"a", "b", "x"}, "x", true}, SwitchCase{"Empty", {}, "x", false},
        SwitchCase{"EmptyArgument", {""}, "x", false},
        SwitchCase{"SwitchLowerCased", {"x"}, "X", true},
        SwitchCase{"SwitchLowerCasedNotArgument", {"X"}, "X", false},
        SwitchCase{"LongerSwitch", {"Debug", "debug"}, "DEBUG", true},
        SwitchCase{"FirstLetterLowerCased", {"a"}, "A", true},
        SwitchCase{"LastLetterLowerCased", {"z"}, "Z", true},
        SwitchCase{"NeighboursOfTheLettersKept", {"`{"}, "@[", false}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

} // namespace
} // namespace morvantide
