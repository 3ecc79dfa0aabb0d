#include "posix_file.h"

#include <unistd.h>

namespace morvantide {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        reset(other.fd_);
        other.fd_ = -1;
    }
    return *this;
}

void FileDescriptor::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

int FileDescriptor::close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

PathParts SplitPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {".", std::string(path)};
    return {slash == 0 ? "/" : std::string(path.substr(0, slash)),
            std::string(path.substr(slash + 1))};
}

} // namespace morvantide
