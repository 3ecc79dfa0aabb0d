#include "morvantide/readable_file.h"

#include "file_faults.h"
#include "resolved_path.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace morvantide {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ReadableFile::ReadableFile(const std::string& path) {
    if (path.empty()) {
        error_ = IoError::FileNotFound;
        return;
    }
    // What is there is looked at before it is opened: opening a device can have effects of
    // its own (a terminal, a watchdog), so only a regular file is ever opened.
    ResolvedPath target;
    error_ = ResolvePath(path, target);
    if (error_ == IoError::None && !target.exists)
        error_ = IoError::FileNotFound;
    else if (error_ == IoError::None && !S_ISREG(target.info.st_mode))
        error_ = IoError::FileAccessDenied;
    if (error_ != IoError::None)
        return;

    // The name is opened without following a link, so that whatever took the file's place
    // meanwhile is at most opened as a regular file would be, and then refused.
    fd_ = RetryOnInterrupt([&] {
        return ::openat(target.folder.get(), target.name.c_str(),
                        O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW);
    });
    if (fd_ < 0) {
        error_ = errno == ELOOP ? IoError::FileAccessDenied : IoErrorFromErrno(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        error_ = IoErrorFromErrno(errno);
    else if (!S_ISREG(info.st_mode) || !SameFile(info, target.info))
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
    if (const int fault = InjectedFault(FileCall::Read); fault != 0) {
        readError_ = IoErrorFromErrno(fault);
        return -1;
    }
    const ssize_t count = RetryOnInterrupt([&] { return ::read(fd_, buffer, capacity); });
    if (count < 0)
        readError_ = IoErrorFromErrno(errno);
    return count;
}

} // namespace morvantide
