#include "morvantide/readable_file.h"

#include "morvantide/file_faults.h"
#include "posix_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvantide {

namespace {

// Why `path` could not be opened: whatever exists there and is no regular file (a socket
// cannot be opened at all) is refused the same way as when it opens.
IoError openError(const std::string& path, int errnoValue) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return IoError::FileAccessDenied;
    return lookupError(path, errnoValue);
}

} // namespace

ReadableFile::ReadableFile(const std::string& path) {
    if (path.empty()) {
        error_ = IoError::FileNotFound;
        return;
    }
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0) {
        error_ = openError(path, errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        error_ = IoErrorFromErrno(errno);
    else if (!S_ISREG(info.st_mode))
        error_ = IoError::FileAccessDenied;
    else
        size_ = static_cast<std::uintmax_t>(info.st_size);
    if (error_ != IoError::None) {
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
    if (const int fault = injectedFault(FileCall::Read); fault != 0) {
        readError_ = IoErrorFromErrno(fault);
        return -1;
    }
    const ssize_t count = retryOnInterrupt([&] { return ::read(fd_, buffer, capacity); });
    if (count < 0)
        readError_ = IoErrorFromErrno(errno);
    return count;
}

} // namespace morvantide
