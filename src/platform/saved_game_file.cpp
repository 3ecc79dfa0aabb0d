#include "morvantide/saved_game_file.h"

#include "carried_attributes.h"
#include "file_faults.h"
#include "morvantide/readable_file.h"
#include "resolved_path.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <random>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvantide {

namespace {

constexpr int kTemporaryNameTries = 100;
// A temporary file is this user's alone until it has its final permissions.
constexpr mode_t kPrivate = S_IRUSR | S_IWUSR;

// A failure in the folder after it was found: a folder removed meanwhile is an invalid name,
// as a missing one is.
IoError FolderError(int errnoValue) {
    return errnoValue == ENOENT ? IoError::InvalidFilename : IoErrorFromErrno(errnoValue);
}

// A failure to reach the file a save replaces: one that is gone meanwhile is not found,
// unless its folder went with it.
IoError OldFileError(int folder, int errnoValue) {
    struct stat info {};
    if (errnoValue == ENOENT && ::fstat(folder, &info) == 0 && info.st_nlink > 0)
        return IoError::FileNotFound;
    return FolderError(errnoValue);
}

std::string TemporaryName() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = ".morvantide-";
    for (int i = 0; i < 8; ++i)
        name += kLetters[pick(random)];
    return name;
}

// A new private file in the folder under a short free name, whatever the length of the
// target's name; empty name and the error when none could be made.
FileDescriptor CreateNamed(int folder, std::string& name, IoError& error) {
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = TemporaryName();
        const int fd = FaultOr(FileCall::CreateTemporary, [&] {
            return RetryOnInterrupt([&] {
                return ::openat(folder, name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                                kPrivate);
            });
        });
        if (fd >= 0)
            return FileDescriptor(fd);
        if (errno != EEXIST)
            break;
    }
    error = FolderError(errno);
    name.clear();
    return FileDescriptor();
}

// A private file in the folder that has no name yet, so that nothing is left behind when the
// save is cut short; nothing where the file system cannot make one.
FileDescriptor CreateUnnamed(int folder) {
    return FileDescriptor(FaultOr(FileCall::CreateUnnamed, [&] {
        return RetryOnInterrupt(
            [&] { return ::openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, kPrivate); });
    }));
}

// Gives the unnamed file a short free name in its folder through /proc; false when that
// fails for any reason (no /proc, a folder that refuses it), and the save must take the
// short-name way instead.
bool NameUnnamed(int fd, int folder, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = TemporaryName();
        if (FaultOr(FileCall::NameUnnamed, [&] {
                return ::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW);
            }) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return false;
}

IoError WriteAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        if (const int fault = InjectedFault(FileCall::Write); fault != 0)
            return IoErrorFromErrno(fault);
        const ssize_t count = RetryOnInterrupt(
            [&] { return ::write(fd, bytes.data() + written, bytes.size() - written); });
        if (count < 0)
            return IoErrorFromErrno(errno);
        written += static_cast<std::size_t>(count);
    }
    return IoError::None;
}

// In an append-only or immutable folder a file can be made but never renamed or removed
// again: a save there could only leave its temporary file behind, so it is refused first.
// statx tells without opening the folder for reading, which a folder that may be written
// and searched but not read does not allow; a file system that does not say there may
// still answer the flags' own call.
IoError CheckFolderFlags(int folder) {
    constexpr auto kFixed = STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE;
    struct statx info {};
    if (::statx(folder, "", AT_EMPTY_PATH, 0, &info) == 0 &&
        (info.stx_attributes_mask & kFixed) == kFixed)
        return (info.stx_attributes & kFixed) != 0 ? IoError::FileAccessDenied : IoError::None;
    int flags = 0;
    if (::ioctl(folder, FS_IOC_GETFLAGS, &flags) == 0 &&
        (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0)
        return IoError::FileAccessDenied;
    return IoError::None;
}

// The file the save replaces, opened without following a link and without effects (it is a
// regular file) to read what it carries: for reading or, failing that, for writing, which
// the process was found to be allowed. It must be the file that was looked at.
FileDescriptor OpenOld(const ResolvedPath& target, IoError& error) {
    for (const int access : {O_RDONLY, O_WRONLY}) {
        const int fd = FaultOr(FileCall::OpenOld, [&] {
            return RetryOnInterrupt([&] {
                return ::openat(target.folder.get(), target.name.c_str(),
                                access | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            });
        });
        if (fd < 0 && errno == EACCES)
            continue;
        if (fd < 0) {
            error = errno == ELOOP ? IoError::FileAccessDenied
                                   : OldFileError(target.folder.get(), errno);
            return FileDescriptor();
        }
        FileDescriptor file(fd);
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_dev == target.info.st_dev &&
            info.st_ino == target.info.st_ino)
            return file;
        error = IoError::FileAccessDenied;
        return FileDescriptor();
    }
    error = IoError::FileAccessDenied;
    return FileDescriptor();
}

// The temporary file, taken away again unless the save got as far as renaming it.
class Temporary {
public:
    explicit Temporary(int folder) : folder_(folder) {}
    ~Temporary() { discard(); }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    std::string& name() { return name_; }
    void renamed() { name_.clear(); }
    // The folder's flags are checked before anything is made in it, so only a folder made
    // append-only meanwhile keeps the file; the save's own failure is what the user is shown
    // then too, as it says why the save failed.
    void discard() {
        if (!name_.empty())
            (void)::unlinkat(folder_, name_.c_str(), 0);
        name_.clear();
    }

private:
    int folder_;
    std::string name_;
};

// Writes the new file beside the target under a short free name: the bytes, then what it
// carries, then a sync. `spare` gets a second descriptor of it, for syncing its file system
// later. An unnamed file is tried first when `tryUnnamed`; when it cannot be named,
// `namingFailed` is set, nothing is left behind, and the caller takes the short-name way.
IoError WriteTemporary(int folder, bool tryUnnamed, const std::string& bytes,
                       const CarriedAttributes& carried, Temporary& temporary,
                       FileDescriptor& spare, bool& namingFailed) {
    FileDescriptor file = tryUnnamed ? CreateUnnamed(folder) : FileDescriptor();
    const bool unnamed = file.isOpen();
    if (!unnamed) {
        IoError error;
        file = CreateNamed(folder, temporary.name(), error);
        if (!file.isOpen())
            return error;
    }
    if (const IoError error = WriteAll(file.get(), bytes); error != IoError::None)
        return error;
    if (const IoError error = carried.giveTo(file.get()); error != IoError::None)
        return error;
    if (FaultOr(FileCall::Sync,
                [&] { return RetryOnInterrupt([&] { return ::fsync(file.get()); }); }) != 0)
        return IoErrorFromErrno(errno);
    if (unnamed && !NameUnnamed(file.get(), folder, temporary.name())) {
        namingFailed = true;
        return IoError::None;
    }
    spare.reset(::fcntl(file.get(), F_DUPFD_CLOEXEC, 0));
    if (file.close() != 0)
        return IoErrorFromErrno(errno);
    return IoError::None;
}

int RenameOver(int folder, const std::string& from, const std::string& to) {
    return FaultOr(FileCall::Rename, [&] {
        return RetryOnInterrupt(
            [&] { return ::renameat(folder, from.c_str(), folder, to.c_str()); });
    });
}

// Once the new name is in place the save is done; syncing the folder makes the name survive
// a power cut. A folder that may be searched but not read cannot be synced itself (EBADF):
// its file system is synced through the new file instead. A file system that cannot sync a
// folder at all (EINVAL) keeps names its own way. Any other failure, a file system turned
// read-only by an error among them, is reported as a save whose folder was not synced.
IoError SyncFolder(int folder, int file) {
    int result = RetryOnInterrupt(
        [&] { return FaultOr(FileCall::SyncFolder, [&] { return ::fsync(folder); }); });
    if (result != 0 && errno == EBADF && file >= 0)
        result = RetryOnInterrupt([&] { return ::syncfs(file); });
    if (result == 0 || errno == EINVAL)
        return IoError::None;
    return IoError::folderNotSynced(errno);
}

} // namespace

void IgnoreFileSizeLimitSignal() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

SavedGameResult ReadSavedGameFile(const std::string& path) {
    ReadableFile file(path);
    if (!file.isOpen())
        return {file.error(), {}};
    SavedGameResult result = ReadSavedGame(
        [&file](char* buffer, std::size_t capacity) { return file.read(buffer, capacity); });
    if (file.readError() != IoError::None)
        result = {file.readError(), {}};
    return result;
}

IoError WriteFileReplacing(const std::string& path, const std::string& bytes) {
    ResolvedPath target;
    if (const IoError error = ResolvePath(path, target); error != IoError::None)
        return error;
    const int folder = target.folder.get();
    if (const IoError error = CheckFolderFlags(folder); error != IoError::None)
        return error;
    CarriedAttributes carried;
    if (target.exists) {
        // Only a regular file is replaced, and only one this process may write: replacing
        // needs no more than the right to write the folder, but the user expects the
        // file's own permissions to count.
        if (!S_ISREG(target.info.st_mode))
            return IoError::FileAccessDenied;
        if (::faccessat(folder, target.name.c_str(), W_OK, AT_EACCESS) != 0)
            return OldFileError(folder, errno);
        IoError error;
        const FileDescriptor old = OpenOld(target, error);
        if (!old.isOpen())
            return error;
        error = carried.readFrom(old.get(), target.info);
        if (error != IoError::None)
            return error;
    } else {
        carried.readPlainCreate(folder);
    }

    Temporary temporary(folder);
    FileDescriptor spare;
    bool namingFailed = false;
    IoError error = WriteTemporary(folder, true, bytes, carried, temporary, spare, namingFailed);
    if (error == IoError::None && namingFailed)
        error = WriteTemporary(folder, false, bytes, carried, temporary, spare, namingFailed);
    if (error == IoError::None && RenameOver(folder, temporary.name(), target.name) != 0)
        error = FolderError(errno);
    if (error != IoError::None) {
        temporary.discard();
        return error;
    }
    temporary.renamed();
    return SyncFolder(folder, spare.get());
}

} // namespace morvantide
