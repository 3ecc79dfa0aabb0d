#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvantide {

// The settings file sits beside the executable: its extension replaced by ".ini", or ".ini"
// appended when it has none.
std::string SettingsPathFor(std::string_view executablePath);

// Looks a key up as the Windows profile functions do: section and key names compared
// without regard to case, the first match wins, the value trimmed of blanks, one pair of
// surrounding quotes removed, at most 2047 characters. Nothing when missing.
std::optional<std::string> ReadProfileString(std::string_view iniText, std::string_view section,
                                             std::string_view key);

// A profile value as a signed 32-bit integer: "0x"/"0X" becomes "$" when the text is longer
// than two characters; optional blanks and sign; decimal, or hex after "$", "x", "X", "0x",
// "0X". Anything else gives nothing.
std::optional<std::int32_t> ParseProfileInteger(std::string_view text);

// The window's place from a setting: past the screen's bottom (height - 27) or right edge
// (width - 19) gives 0; anything else, negative values too, is used as written.
int WindowTopFromSetting(std::int32_t value, int screenHeight);
int WindowLeftFromSetting(std::int32_t value, int screenWidth);

} // namespace morvantide
