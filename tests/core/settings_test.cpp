#include "morvantide/settings.h"

#include <gtest/gtest.h>
#include <limits>

namespace morvantide {
namespace {

struct PathCase {
    const char* executable;
    const char* settings;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.executable;
}

class SettingsPath : public testing::TestWithParam<PathCase> {};

TEST_P(SettingsPath, ReplacesOrAppendsTheExtension) {
    EXPECT_EQ(SettingsPathFor(GetParam().executable), GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SettingsPath,
    testing::Values(PathCase{"/usr/bin/morvantide", "/usr/bin/morvantide.ini"},
                    PathCase{"/opt/app/morvantide.exe", "/opt/app/morvantide.ini"},
                    PathCase{"/home/u/my.games/morvantide", "/home/u/my.games/morvantide.ini"},
                    PathCase{"/home/u/my.games/chess.bin", "/home/u/my.games/chess.ini"},
                    PathCase{"/x/a.b.c", "/x/a.b.ini"}, PathCase{"/x/.morv", "/x/.morv.ini"},
                    PathCase{"/x/.morv.exe", "/x/.morv.ini"}, PathCase{"/x/name.", "/x/name.ini"},
                    PathCase{"morvantide", "morvantide.ini"},
                    PathCase{"./morvantide", "./morvantide.ini"},
                    PathCase{"../b.d/m", "../b.d/m.ini"}));

const std::string kIni = "; window place\r\n"
                         "[Settings]\r\n"
                         "WindowTop=120\r\n"
                         "  WindowLeft = -50  \r\n"
                         "Empty=\r\n"
                         "Equation=a=b\r\n"
                         "[Other]\r\n"
                         "Only=1\r\n";

struct LookupCase {
    const char* name;
    std::string ini;
    const char* section;
    const char* key;
    std::optional<std::string> value;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfileString : public testing::TestWithParam<LookupCase> {};

TEST_P(ProfileString, FollowsTheProfileRules) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(ReadProfileString(c.ini, c.section, c.key), c.value);
}

std::vector<LookupCase> LookupCases() {
    const std::string longValue(3000, 'v');
    return {
        {"Plain", kIni, "Settings", "WindowTop", "120"},
        {"KeyAndValueTrimmed", kIni, "Settings", "WindowLeft", "-50"},
        {"EmptyValue", kIni, "Settings", "Empty", ""},
        {"ValueKeepsLaterEquals", kIni, "Settings", "Equation", "a=b"},
        {"SectionCase", kIni, "SETTINGS", "WindowTop", "120"},
        {"KeyCase", kIni, "settings", "windowtop", "120"},
        {"MissingKey", kIni, "Settings", "WindowWidth", std::nullopt},
        {"MissingSection", kIni, "Window", "WindowTop", std::nullopt},
        {"KeyOfAnotherSection", kIni, "Settings", "Only", std::nullopt},
        {"KeyOfLaterSection", kIni, "Other", "WindowTop", std::nullopt},
        {"SecondSection", kIni, "Other", "Only", "1"},
        {"HeaderNameTrimmed", "[ Settings ]\nA=1\n", "Settings", "A", "1"},
        {"IndentedHeader", "  [Settings]\nA=1\n", "Settings", "A", "1"},
        {"FirstSectionWins", "[Settings]\nA=1\n[settings]\nA=2\nB=3\n", "Settings", "B",
         std::nullopt},
        {"FirstKeyWins", "[Settings]\nA=1\na=2\n", "Settings", "A", "1"},
        {"CommentLine", "[Settings]\n;A=1\nA=2\n", "Settings", "A", "2"},
        {"IndentedCommentLine", "[Settings]\n  ; A=1\n", "Settings", "A", std::nullopt},
        {"LineWithoutEquals", "[Settings]\nA\nA=3\n", "Settings", "A", "3"},
        {"KeysBeforeAnyHeader", "A=1\n[Settings]\nB=2\n", "Settings", "A", std::nullopt},
        {"LfOnlyNoFinalEnd", "[Settings]\nA=1\nB=2", "Settings", "B", "2"},
        {"TabsAroundKeyAndValue", "[Settings]\n\tA\t=\t5\t\n", "Settings", "A", "5"},
        {"ByteOrderMark", "\xEF\xBB\xBF[Settings]\r\nA=1\r\n", "Settings", "A", "1"},
        {"DoubleQuotes", "[Settings]\nA=\"12\"\n", "Settings", "A", "12"},
        {"SingleQuotes", "[Settings]\nA= '12' \n", "Settings", "A", "12"},
        {"QuotesKeepInnerBlanks", "[Settings]\nA=\" 1 \"\n", "Settings", "A", " 1 "},
        {"OnlyOnePairRemoved", "[Settings]\nA=\"\"1\"\"\n", "Settings", "A", "\"1\""},
        {"MismatchedQuotesKept", "[Settings]\nA=\"12'\n", "Settings", "A", "\"12'"},
        {"LoneQuoteKept", "[Settings]\nA=\"\n", "Settings", "A", "\""},
        {"EmptyQuotes", "[Settings]\nA=''\n", "Settings", "A", ""},
        {"LongValueTruncated", "[Settings]\nA=" + longValue + "\n", "Settings", "A",
         longValue.substr(0, 2047)},
        {"QuotedLongValueTruncated", "[Settings]\nA=\"" + longValue + "\"\n", "Settings", "A",
         longValue.substr(0, 2047)},
        {"Value2047Kept", "[Settings]\nA=" + longValue.substr(0, 2047) + "\n", "Settings", "A",
         longValue.substr(0, 2047)},
        {"EmptyText", "", "Settings", "A", std::nullopt},
    };
}

INSTANTIATE_TEST_SUITE_P(Lookups, ProfileString, testing::ValuesIn(LookupCases()),
                         [](const testing::TestParamInfo<LookupCase>& info) {
                             return info.param.name;
                         });

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> value;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

class ProfileInteger : public testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileInteger, ConvertsOrRefuses) {
    EXPECT_EQ(ParseProfileInteger(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileInteger,
    testing::Values(IntegerCase{"100", 100}, IntegerCase{"0", 0}, IntegerCase{"-50", -50},
                    IntegerCase{"+7", 7}, IntegerCase{" 12", 12}, IntegerCase{"\t 12", 12},
                    IntegerCase{"0x64", 100}, IntegerCase{"0X64", 100}, IntegerCase{"$64", 100},
                    IntegerCase{"x1F", 31}, IntegerCase{"X1f", 31}, IntegerCase{"-0x10", -16},
                    IntegerCase{" -$a", -10}, IntegerCase{"2147483647", 2147483647},
                    IntegerCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
                    IntegerCase{"0x7fffffff", 2147483647}, IntegerCase{"0064", 64},
                    IntegerCase{"2147483648", std::nullopt},
                    IntegerCase{"-2147483649", std::nullopt},
                    IntegerCase{"0x80000000", std::nullopt}, IntegerCase{"abc", std::nullopt},
                    IntegerCase{"", std::nullopt}, IntegerCase{" ", std::nullopt},
                    IntegerCase{"12 ", std::nullopt}, IntegerCase{"12abc", std::nullopt},
                    IntegerCase{"0x", std::nullopt}, IntegerCase{"$", std::nullopt},
                    IntegerCase{"0x-5", std::nullopt}, IntegerCase{"- 5", std::nullopt},
                    IntegerCase{"+-5", std::nullopt}, IntegerCase{"1e3", std::nullopt},
                    IntegerCase{"1,5", std::nullopt}, IntegerCase{"0x0x5", std::nullopt}));

struct PlaceCase {
    std::int32_t value;
    int screen;
    int expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.value << " on " << c.screen;
}

class WindowTopSetting : public testing::TestWithParam<PlaceCase> {};
class WindowLeftSetting : public testing::TestWithParam<PlaceCase> {};

TEST_P(WindowTopSetting, ZeroBelowTheBottomLimit) {
    EXPECT_EQ(WindowTopFromSetting(GetParam().value, GetParam().screen), GetParam().expected);
}

TEST_P(WindowLeftSetting, ZeroPastTheRightLimit) {
    EXPECT_EQ(WindowLeftFromSetting(GetParam().value, GetParam().screen), GetParam().expected);
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(Values, WindowTopSetting,
                         testing::Values(PlaceCase{1080 - 27, 1080, 1053},
                                         PlaceCase{1080 - 26, 1080, 0}, PlaceCase{0, 1080, 0},
                                         PlaceCase{100, 1080, 100}, PlaceCase{-50, 1080, -50},
                                         PlaceCase{kMin, 1080, kMin}, PlaceCase{kMax, 1080, 0},
                                         PlaceCase{0, 20, 0}, PlaceCase{-7, 20, -7},
                                         PlaceCase{-6, 20, 0}));

INSTANTIATE_TEST_SUITE_P(Values, WindowLeftSetting,
                         testing::Values(PlaceCase{1920 - 19, 1920, 1901},
                                         PlaceCase{1920 - 18, 1920, 0}, PlaceCase{0, 1920, 0},
                                         PlaceCase{-50, 1920, -50}, PlaceCase{kMin, 1920, kMin},
                                         PlaceCase{kMax, 1920, 0}, PlaceCase{-1, 18, -1},
                                         PlaceCase{0, 18, 0}));

} // namespace
} // namespace morvantide
