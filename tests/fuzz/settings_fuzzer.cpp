#include "fuzz_check.h"
#include "morvantide/settings.h"
#include "platform_test_seam.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace morvantide;

namespace {

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string_view takeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
        return {};
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line;
}

// A second reading of the integer rules, built on strtoll, to compare with.
bool referenceInteger(std::string_view text, std::int64_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(1); // "0x.." reads as "x.."
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        const bool hexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !(base == 16 && hexLetter))
            return false;
    }
    while (text.size() > 1 && text.front() == '0')
        text.remove_prefix(1);
    if (text.size() > 12)
        return false;
    const std::int64_t magnitude = std::strtoll(std::string(text).c_str(), nullptr, base);
    value = negative ? -magnitude : magnitude;
    return value >= INT32_MIN && value <= INT32_MAX;
}

void checkInteger(std::string_view text) {
    const std::optional<std::int32_t> parsed = ParseProfileInteger(text);
    std::int64_t expected = 0;
    const bool valid = referenceInteger(text, expected);
    FUZZ_CHECK(parsed.has_value() == valid);
    if (parsed) {
        FUZZ_CHECK(*parsed == expected);
        FUZZ_CHECK(ParseProfileInteger(std::to_string(*parsed)) == parsed);
    }
}

} // namespace

// The input is a section name line, a key name line, then the settings text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view section = takeLine(input);
    const std::string_view key = takeLine(input);
    const std::string_view ini = input;

    const std::optional<std::string> value = ReadProfileString(ini, section, key);
    if (value) {
        FUZZ_CHECK(value->size() <= 2047);
        FUZZ_CHECK(ini.find(*value) != std::string_view::npos);
    }
    FUZZ_CHECK(ReadProfileString(ini, upper(section), upper(key)) == value);
    for (const char* fixedKey : {"WindowTop", "WindowLeft"})
        (void)ReadProfileString(ini, "Settings", fixedKey);

    // The settings give the integer the value's text holds, and nothing otherwise.
    const std::optional<std::int32_t> parsed = value ? ParseProfileInteger(*value) : std::nullopt;
    FUZZ_CHECK(PlatformTestSeam::settingsFromText(std::string(ini)).readInteger(section, key) ==
               parsed);

    checkInteger(ini);
    if (value)
        checkInteger(*value);
    return 0;
}
