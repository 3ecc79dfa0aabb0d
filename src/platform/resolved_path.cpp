#include "resolved_path.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace morvantide {

namespace {

// As many links as the kernel follows in one path before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The names of a path from left to right; "." and empty names (from "//") are left out.
void PushNames(std::string_view path, std::deque<std::string>& names) {
    std::deque<std::string> ahead;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view name = path.substr(start, end - start);
        if (!name.empty() && name != ".")
            ahead.emplace_back(name);
        start = end + 1;
    }
    names.insert(names.begin(), ahead.begin(), ahead.end());
}

// Opens the folder `name` in `folder` to look up names in, never through a link, and only
// when it is still the folder `info` describes. A folder that may be searched but not read
// is opened only for that; it cannot be synced then.
FileDescriptor OpenFolder(int folder, const std::string& name, const struct stat& info) {
    int fd = RetryOnInterrupt([&] {
        return ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    });
    if (fd < 0 && errno == EACCES)
        fd = ::openat(folder, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    FileDescriptor opened(fd);
    struct stat now {};
    if (opened.isOpen() && (::fstat(fd, &now) != 0 || !SameFile(now, info))) {
        errno = ENOENT; // swapped meanwhile: as if the folder had gone
        opened.reset();
    }
    return opened;
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

IoError ReadLink(int folder, const std::string& name, std::string& destination) {
    std::array<char, PATH_MAX + 1> link{};
    const ssize_t length = ::readlinkat(folder, name.c_str(), link.data(), link.size());
    if (length < 0)
        return IoErrorFromErrno(errno);
    if (static_cast<std::size_t>(length) >= PATH_MAX)
        return IoError::InvalidFilename;
    destination.assign(link.data(), static_cast<std::size_t>(length));
    return IoError::None;
}

// A folder on the way that is missing or is no folder: the name cannot be a file's.
IoError FolderOnTheWayError(int errnoValue) {
    return (errnoValue == ENOENT || errnoValue == ENOTDIR) ? IoError::InvalidFilename
                                                           : IoErrorFromErrno(errnoValue);
}

FileDescriptor OpenStart(bool absolute) {
    const char* start = absolute ? "/" : ".";
    struct stat info {};
    if (::stat(start, &info) != 0)
        return FileDescriptor();
    return OpenFolder(AT_FDCWD, start, info);
}

} // namespace

// The path is walked one name at a time, as the kernel walks it, so that every link met on
// the way, in a folder as much as in the last name, is looked at before it is followed. A
// link's destination takes its place among the names still to walk; an absolute one starts
// again at the root.
IoError ResolvePath(const std::string& path, ResolvedPath& target) {
    if (path.empty() || path.size() >= PATH_MAX)
        return IoError::InvalidFilename;
    // A name ending in '/' is a folder's.
    bool endsInSlash = path.back() == '/';
    std::deque<std::string> names;
    PushNames(path, names);
    target.folder = OpenStart(path.front() == '/');
    if (!target.folder.isOpen())
        return FolderOnTheWayError(errno);
    for (int links = 0;;) {
        if (names.empty())
            return IoError::FileAccessDenied; // the path names a folder
        const std::string name = names.front();
        names.pop_front();
        const int folder = target.folder.get();
        const bool last = names.empty();
        target.name = name;
        if (::fstatat(folder, name.c_str(), &target.info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT && last && !endsInSlash)
                return IoError::None; // a new file
            return FolderOnTheWayError(errno);
        }
        if (S_ISLNK(target.info.st_mode)) {
            if (!MayFollow(folder, target.info))
                return IoError::FileAccessDenied;
            if (++links > kMaxLinks)
                return IoError::system(ELOOP);
            std::string destination;
            if (const IoError error = ReadLink(folder, name, destination); error != IoError::None)
                return error;
            if (last)
                endsInSlash = endsInSlash || destination.back() == '/';
            PushNames(destination, names);
            if (destination.starts_with('/'))
                target.folder = OpenStart(true);
        } else if (last && !endsInSlash) {
            target.exists = true;
            return IoError::None;
        } else if (!S_ISDIR(target.info.st_mode)) {
            return last ? IoError::FileAccessDenied : IoError::InvalidFilename;
        } else {
            target.folder = OpenFolder(folder, name, target.info);
        }
        if (!target.folder.isOpen())
            return FolderOnTheWayError(errno);
    }
}

} // namespace morvantide
