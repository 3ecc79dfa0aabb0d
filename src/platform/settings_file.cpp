#include "morvantide/settings_file.h"

#include "morvantide/readable_file.h"
#include "morvantide/settings.h"

#include <utility>

namespace morvantide {

namespace {

// The whole file, or nothing when it is missing, no regular file, unreadable or larger than
// the limit.
std::string ReadBounded(const std::string& path) {
    ReadableFile file(path);
    if (!file.isOpen() || file.size() > SettingsFile::kMaxSize)
        return {};
    // One byte more than the size at opening lets the check below see a file that grew past
    // the limit meanwhile.
    std::string text(static_cast<std::size_t>(file.size()) + 1, '\0');
    std::size_t size = 0;
    while (size < text.size()) {
        const std::ptrdiff_t got = file.read(text.data() + size, text.size() - size);
        if (got < 0)
            return {};
        if (got == 0)
            break;
        size += static_cast<std::size_t>(got);
    }
    if (size > SettingsFile::kMaxSize)
        return {};
    text.resize(size);
    return text;
}

} // namespace

SettingsFile::SettingsFile(const std::string& path) : text_(ReadBounded(path)) {}

std::optional<std::int32_t> SettingsFile::readInteger(std::string_view section,
                                                      std::string_view key) const {
    const std::optional<std::string> value = ReadProfileString(text_, section, key);
    if (!value)
        return std::nullopt;
    return ParseProfileInteger(*value);
}

} // namespace morvantide
