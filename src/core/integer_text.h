#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace morvantide {

// The runtime's conversion of a number's text, shared by the saved-game reader and the
// settings: an optional sign, then decimal digits, or hexadecimal digits (either case) after
// "$", "x", "X", "0x" or "0X". Anything else, or a value outside the signed 32-bit range,
// gives nothing.
inline std::optional<std::int32_t> ParseIntegerText(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;

    // -2147483648 is reachable only with a minus sign.
    const std::int64_t limit = negative ? INT64_C(2147483648) : INT64_C(2147483647);
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace morvantide
