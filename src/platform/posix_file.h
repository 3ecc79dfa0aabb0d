#pragma once

#include "morvantide/io_error.h"

#include <cerrno>
#include <string>
#include <string_view>

namespace morvantide {

// Owns a file descriptor and closes it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    void reset(int fd = -1);
    // Closes now and returns close(2)'s result: a delayed write error can surface here.
    int close();

private:
    int fd_;
};

// A path cut at its last '/': the folder ("." when there is none) and the last part, which
// is empty when the path ends with '/'.
struct PathParts {
    std::string folder;
    std::string name;
};
PathParts SplitPath(std::string_view path);

// Calls `call` again for as long as a signal interrupts it.
template <typename Call> auto RetryOnInterrupt(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

} // namespace morvantide
