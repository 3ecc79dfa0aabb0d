#include "readable_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvantide {

ReadableFile::ReadableFile(const std::string& path) {
    if (path.empty()) {
        error_ = ENOENT;
        return;
    }
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        error_ = errno;
    else if (!S_ISREG(info.st_mode))
        error_ = EACCES;
    else
        size_ = static_cast<std::uintmax_t>(info.st_size);
    if (error_ != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

ReadableFile::~ReadableFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::ptrdiff_t ReadableFile::read(char* buffer, std::size_t capacity) {
    if (fd_ < 0)
        return -1;
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, capacity);
        if (count >= 0 || errno != EINTR)
            return count;
    }
}

} // namespace morvantide
