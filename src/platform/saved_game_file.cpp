#include "morvantide/saved_game_file.h"

#include "morvantide/file_faults.h"
#include "morvantide/readable_file.h"
#include "resolved_path.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace morvantide {

namespace {

constexpr int kTemporaryNameTries = 100;

std::string temporaryName() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = ".morvantide-";
    for (int i = 0; i < 8; ++i)
        name += kLetters[pick(random)];
    return name;
}

// A new file in the folder under a short free name, whatever the length of the target's
// name; empty name and the error when none could be made.
FileDescriptor createNamed(int folder, std::string& name, IoError& error) {
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = temporaryName();
        if (const int fault = injectedFault(FileCall::CreateTemporary); fault != 0) {
            errno = fault;
        } else {
            // 0666 less the umask, as for any new file; the kernel applies the umask.
            const int fd =
                ::openat(folder, name.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
            if (fd >= 0)
                return FileDescriptor(fd);
        }
        if (errno != EEXIST)
            break;
    }
    error = IoErrorFromErrno(errno);
    name.clear();
    return FileDescriptor();
}

// A file in the folder that has no name yet, so that nothing is left behind when the save
// is cut short; nothing where the file system cannot make one.
FileDescriptor createUnnamed(int folder) {
    if (injectedFault(FileCall::CreateUnnamed) != 0)
        return FileDescriptor();
    return FileDescriptor(::openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666));
}

// Gives the unnamed file a short free name in its folder.
IoError nameUnnamed(int fd, int folder, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = temporaryName();
        if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return IoError::None;
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return IoErrorFromErrno(errno);
}

IoError writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        if (const int fault = injectedFault(FileCall::Write); fault != 0)
            return IoErrorFromErrno(fault);
        const ssize_t count = retryOnInterrupt(
            [&] { return ::write(fd, bytes.data() + written, bytes.size() - written); });
        if (count < 0)
            return IoErrorFromErrno(errno);
        written += static_cast<std::size_t>(count);
    }
    return IoError::None;
}

int syncFile(int fd) {
    if (const int fault = injectedFault(FileCall::Sync); fault != 0) {
        errno = fault;
        return -1;
    }
    return retryOnInterrupt([&] { return ::fsync(fd); });
}

// The old file's permissions, and its owner and group where this process may give them.
// The owner goes first: changing it clears the set-user-ID bits that the mode brings back.
void keepOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    (void)::fchmod(fd, old.st_mode & 07777);
}

// The temporary file, taken away again unless the save got as far as renaming it.
class Temporary {
public:
    explicit Temporary(int folder) : folder_(folder) {}
    ~Temporary() {
        if (!name_.empty())
            ::unlinkat(folder_, name_.c_str(), 0);
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    std::string& name() { return name_; }
    void renamed() { name_.clear(); }

private:
    int folder_;
    std::string name_;
};

} // namespace

SavedGameResult readSavedGameFile(const std::string& path) {
    ReadableFile file(path);
    if (!file.isOpen())
        return {file.error(), {}};
    SavedGameResult result = ReadSavedGame(
        [&file](char* buffer, std::size_t capacity) { return file.read(buffer, capacity); });
    if (file.readError() != IoError::None)
        result = {file.readError(), {}};
    return result;
}

IoError writeFileReplacing(const std::string& path, const std::string& bytes) {
    ResolvedPath target;
    if (const IoError error = resolvePath(path, target); error != IoError::None)
        return error;
    const int folder = target.folder.get();
    if (target.exists) {
        // Only a regular file is replaced, and only one this process may write: replacing
        // needs no more than the right to write the folder, but the user expects the
        // file's own permissions to count.
        if (!S_ISREG(target.info.st_mode))
            return IoError::FileAccessDenied;
        if (::faccessat(folder, target.name.c_str(), W_OK, AT_EACCESS) != 0)
            return IoErrorFromErrno(errno);
    }

    Temporary temporary(folder);
    FileDescriptor file = createUnnamed(folder);
    const bool unnamed = file.isOpen();
    if (!unnamed) {
        IoError error;
        file = createNamed(folder, temporary.name(), error);
        if (!file.isOpen())
            return error;
    }
    if (target.exists)
        keepOwnerAndMode(file.get(), target.info);

    if (const IoError error = writeAll(file.get(), bytes); error != IoError::None)
        return error;
    if (syncFile(file.get()) != 0)
        return IoErrorFromErrno(errno);
    if (unnamed) {
        if (const IoError error = nameUnnamed(file.get(), folder, temporary.name());
            error != IoError::None)
            return error;
    }
    if (file.close() != 0)
        return IoErrorFromErrno(errno);

    if (const int fault = injectedFault(FileCall::Rename); fault != 0)
        return IoErrorFromErrno(fault);
    if (::renameat(folder, temporary.name().c_str(), folder, target.name.c_str()) != 0)
        return IoErrorFromErrno(errno);
    temporary.renamed();

    // The new name is kept only once the folder is synced too. A file system that cannot
    // sync a folder (or a folder opened only to be searched) keeps it its own way.
    if (::fsync(folder) != 0 && errno != EINVAL && errno != EBADF && errno != EROFS)
        return IoErrorFromErrno(errno);
    return IoError::None;
}

} // namespace morvantide
