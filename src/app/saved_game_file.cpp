#include "saved_game_file.h"

#include "readable_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvantide {

namespace {

IoError errorFromErrno(int errnoValue) {
    return static_cast<IoError>(IoErrorFromErrno(errnoValue));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports the result: a delayed write error can surface here.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

} // namespace

SavedGameResult readSavedGameFile(const std::string& path) {
    ReadableFile file(path);
    if (file.error() != 0)
        return {errorFromErrno(file.error()), {}};
    return ReadSavedGame(
        [&file](char* buffer, std::size_t capacity) { return file.read(buffer, capacity); });
}

IoError writeFileReplacing(const std::string& path, const std::string& bytes) {
    if (path.empty())
        return IoError::InvalidFilename;

    // The old file's permissions carry over to the new one; a new file gets the usual ones.
    mode_t mode = 0666;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return IoError::FileAccessDenied;
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0)
        return errorFromErrno(errno);

    auto fail = [&temporary](int errnoValue) {
        ::unlink(temporary.c_str());
        return errorFromErrno(errnoValue);
    };

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(file.get(), bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        written += static_cast<std::size_t>(count);
    }
    if (::fchmod(file.get(), mode) != 0 || ::fsync(file.get()) != 0)
        return fail(errno);
    if (file.close() != 0)
        return fail(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return fail(errno);
    return IoError::None;
}

} // namespace morvantide
