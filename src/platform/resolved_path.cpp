#include "resolved_path.h"

#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace morvantide {

namespace {

// As many links as the kernel follows in one path before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

// Opens a folder to look up names in. A folder that may be searched but not read is opened
// only for that; it cannot be synced then.
FileDescriptor OpenFolder(int base, const std::string& path, IoError& error) {
    int fd = RetryOnInterrupt(
        [&] { return ::openat(base, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0 && errno == EACCES)
        fd = ::openat(base, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        error = (errno == ENOENT || errno == ENOTDIR) ? IoError::InvalidFilename
                                                      : IoErrorFromErrno(errno);
    return FileDescriptor(fd);
}

// The kernel's rule for links in shared folders (fs.protected_symlinks): in a sticky folder
// that everybody may write, only a link of this user or of the folder's owner is followed,
// so nobody else can plant one that steers the file somewhere else.
bool MayFollow(int folder, const struct stat& link) {
    if (link.st_uid == ::geteuid())
        return true;
    struct stat info {};
    if (::fstat(folder, &info) != 0)
        return false;
    const bool shared = (info.st_mode & S_ISVTX) != 0 && (info.st_mode & S_IWOTH) != 0;
    return !shared || info.st_uid == link.st_uid;
}

} // namespace

IoError ResolvePath(const std::string& path, ResolvedPath& target) {
    if (path.empty() || path.size() >= PATH_MAX)
        return IoError::InvalidFilename;
    PathParts parts = SplitPath(path);
    IoError error;
    target.folder = OpenFolder(AT_FDCWD, parts.folder, error);
    for (int links = 0;; ++links) {
        if (!target.folder.isOpen())
            return error;
        // A name ending in '/' is a folder's.
        if (parts.name.empty())
            return IoError::FileAccessDenied;
        target.name = parts.name;
        const int folder = target.folder.get();
        if (::fstatat(folder, parts.name.c_str(), &target.info, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? IoError::None /* a new file */ : IoErrorFromErrno(errno);
        if (!S_ISLNK(target.info.st_mode)) {
            target.exists = true;
            return IoError::None;
        }
        if (!MayFollow(folder, target.info))
            return IoError::FileAccessDenied;
        if (links == kMaxLinks)
            return IoError::system(ELOOP);
        std::array<char, PATH_MAX + 1> link{};
        const ssize_t length = ::readlinkat(folder, parts.name.c_str(), link.data(), link.size());
        if (length < 0)
            return IoErrorFromErrno(errno);
        if (static_cast<std::size_t>(length) >= PATH_MAX)
            return IoError::InvalidFilename;
        const std::string destination(link.data(), static_cast<std::size_t>(length));
        parts = SplitPath(destination);
        const int base = destination.starts_with('/') ? AT_FDCWD : folder;
        target.folder = OpenFolder(base, parts.folder, error);
    }
}

} // namespace morvantide
