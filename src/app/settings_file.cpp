#include "settings_file.h"

#include "morvantide/settings.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace morvantide {

namespace {

// The whole file, or nothing when it is missing, no regular file, unreadable or larger than
// the limit. Opening without blocking keeps a named pipe in its place from stalling the start.
std::string readBounded(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uintmax_t>(info.st_size) <= SettingsFile::kMaxSize) {
        // One byte more than fstat said lets the size check below see a file that grew past
        // the limit meanwhile.
        text.resize(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t size = 0;
        while (size < text.size()) {
            const ssize_t got = ::read(fd, text.data() + size, text.size() - size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                size = text.size();
                break;
            }
            if (got == 0)
                break;
            size += static_cast<std::size_t>(got);
        }
        text.resize(size > SettingsFile::kMaxSize ? 0 : size);
    }
    ::close(fd);
    return text;
}

} // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)), text_(readBounded(path_)) {}

std::optional<std::int32_t> SettingsFile::ReadInteger(std::string_view section,
                                                      std::string_view key) const {
    const std::optional<std::string> value = ReadProfileString(text_, section, key);
    if (!value)
        return std::nullopt;
    return ParseProfileInteger(*value);
}

} // namespace morvantide
