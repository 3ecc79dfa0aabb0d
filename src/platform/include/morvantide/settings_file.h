#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace morvantide {

// The settings file beside the executable, read once when the object is made and never
// written. A missing, unreadable or oversized file reads as empty: every key is missing.
class SettingsFile {
public:
    // Larger files are not settings files of this program; they are not read at all.
    static constexpr std::size_t kMaxSize = 1024 * 1024;

    explicit SettingsFile(const std::string& path);

    // The key's value as an integer, by the profile rules; nothing when the key is missing,
    // empty or not an integer.
    std::optional<std::int32_t> readInteger(std::string_view section, std::string_view key) const;

private:
    friend class PlatformTestSeam;

    struct FromText {};
    // Settings read from a text that is no file, as the file holding it would read.
    SettingsFile(FromText, std::string text) : text_(std::move(text)) {}

    std::string text_;
};

} // namespace morvantide
