#include "morvantide/settings_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <unistd.h>

namespace morvantide {
namespace {

struct ReadIntegerCase {
    const char* ini;
    std::optional<std::int32_t> expected;
};

void PrintTo(const ReadIntegerCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.ini);
}

// The settings file holding `text`, read as the program reads it.
std::optional<std::int32_t> WindowTopIn(const std::string& text) {
    std::string path = (std::filesystem::temp_directory_path() / "morvantide-ini-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    EXPECT_GE(fd, 0);
    ::close(fd);
    std::ofstream(path, std::ios::binary) << text;
    const SettingsFile file(path);
    std::filesystem::remove(path);
    return file.readInteger("Settings", "WindowTop");
}

class SettingsFileInteger : public testing::TestWithParam<ReadIntegerCase> {};

TEST_P(SettingsFileInteger, ReadsAnIntegerOrNothing) {
    EXPECT_EQ(WindowTopIn(GetParam().ini), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SettingsFileInteger,
    testing::Values(ReadIntegerCase{"[Settings]\r\nWindowTop=0x64\r\n", 100},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=$64\r\n", 100},
                    ReadIntegerCase{"[Settings]\r\nWindowTop= 12 \r\n", 12},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=+7\r\n", 7},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=x1F\r\n", 31},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=-50\r\n", -50},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=\"0x64\"\r\n", 100},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=abc\r\n", std::nullopt},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=\r\n", std::nullopt},
                    ReadIntegerCase{"[Settings]\r\nWindowTop=12 px\r\n", std::nullopt},
                    ReadIntegerCase{"[Settings]\nWindowLeft=5\n", std::nullopt},
                    ReadIntegerCase{"[Window]\nWindowTop=5\n", std::nullopt},
                    ReadIntegerCase{"", std::nullopt}));

TEST(SettingsFileInteger, MissingFileReadsAsEmpty) {
    const SettingsFile file("/nonexistent/morvantide.ini");
    EXPECT_EQ(file.readInteger("Settings", "WindowTop"), std::nullopt);
}

} // namespace
} // namespace morvantide
