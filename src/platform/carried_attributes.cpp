#include "carried_attributes.h"

#include "file_faults.h"
#include "posix_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sys/xattr.h>
#include <unistd.h>

namespace morvantide {

namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";
constexpr const char* kDefaultAcl = "system.posix_acl_default";

// Integrity hashes and signatures of the old contents: wrong for the new ones, never carried.
bool DescribesContents(const std::string& name) {
    return name == "security.ima" || name == "security.evm";
}

// Calls `get` (a flistxattr or fgetxattr) until the buffer holds the whole answer; false with
// errno when it fails.
template <typename Get> bool ReadWhole(std::string& buffer, Get get) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0)
            return false;
        buffer.resize(static_cast<std::size_t>(size));
        const ssize_t got = get(buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) // ERANGE: it grew meanwhile, ask again
            return false;
    }
}

// The names of the file's extended attributes; none where the file system has none.
bool ListAttributes(int fd, std::vector<std::string>& names) {
    std::string list;
    if (!ReadWhole(list,
                   [fd](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); }))
        return errno == ENOTSUP;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

bool ReadAttribute(int fd, const std::string& name, std::string& value) {
    return ReadWhole(value, [&](char* buffer, std::size_t size) {
        return ::fgetxattr(fd, name.c_str(), buffer, size);
    });
}

// The umask, read without changing it: setting it and back, even for a moment, could give a
// file that another thread makes meanwhile the wrong mode. Nothing without /proc.
std::optional<mode_t> CurrentUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8)) & 0777;
    }
    return std::nullopt;
}

// Whether the folder has a default ACL, asked through /proc for a folder opened only to be
// searched; nothing when that cannot be known.
std::optional<bool> HasDefaultAcl(int folder) {
    ssize_t size = ::fgetxattr(folder, kDefaultAcl, nullptr, 0);
    if (size < 0 && errno == EBADF) {
        const std::string path = "/proc/self/fd/" + std::to_string(folder);
        size = ::getxattr(path.c_str(), kDefaultAcl, nullptr, 0);
    }
    if (size >= 0)
        return true;
    if (errno == ENODATA || errno == ENOTSUP)
        return false;
    return std::nullopt;
}

// The permission bits of a plain create with 0666 in the folder, asked of the kernel itself:
// an unnamed file, which nobody can open, gets the umask or the folder's default ACL applied
// exactly as any program's file there would. Where the file system makes no unnamed files,
// the umask tells, unless a default ACL would decide; when neither can be known the file is
// made private.
mode_t PlainCreateMode(int folder) {
    const FileDescriptor probe(FaultOr(FileCall::CreateUnnamed, [&] {
        return ::openat(folder, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    }));
    struct stat info {};
    if (probe.isOpen() && ::fstat(probe.get(), &info) == 0)
        return info.st_mode & 0777;
    const std::optional<mode_t> mask = CurrentUmask();
    if (mask && HasDefaultAcl(folder) == false)
        return 0666 & ~*mask;
    return S_IRUSR | S_IWUSR;
}

} // namespace

IoError CarriedAttributes::readFrom(int fd, const struct stat& info) {
    replacing_ = true;
    mode_ = info.st_mode & 07777;
    uid_ = info.st_uid;
    gid_ = info.st_gid;
    std::vector<std::string> names;
    if (!ListAttributes(fd, names))
        return IoErrorFromErrno(errno);
    for (const std::string& name : names) {
        std::string value;
        if (DescribesContents(name))
            continue;
        if (!ReadAttribute(fd, name, value))
            return IoErrorFromErrno(errno);
        attributes_.push_back({name, value});
    }
    return IoError::None;
}

void CarriedAttributes::readPlainCreate(int folder) {
    replacing_ = false;
    mode_ = PlainCreateMode(folder);
}

IoError CarriedAttributes::giveTo(int fd) const {
    if (replacing_) {
        if (const IoError error = giveOwner(fd); error != IoError::None)
            return error;
        if (const IoError error = giveAttributes(fd); error != IoError::None)
            return error;
    }
    if (::fchmod(fd, mode_) != 0)
        return IoErrorFromErrno(errno);
    return IoError::None;
}

IoError CarriedAttributes::giveOwner(int fd) const {
    if (FaultOr(FileCall::GiveOwner, [&] { return ::fchown(fd, uid_, gid_); }) == 0)
        return IoError::None;
    // The owner is never given up: a file that cannot go back to its owner is not replaced,
    // whatever the reason (another user's file, a quota that root's chown runs into).
    if (errno != EPERM || uid_ != ::geteuid())
        return IoErrorFromErrno(errno);
    // The owner saves a file whose group is not one of theirs, so the new file keeps the group
    // it was made with. Then the old group's members fall to the others' permissions and the
    // new group's rise to the group's: nobody gains only where both are the same. With an ACL
    // the group's entry and the mask decide too, so any change of group is refused.
    struct stat made {};
    if (::fstat(fd, &made) != 0)
        return IoErrorFromErrno(errno);
    const bool groupDecides = ((mode_ >> 3) & 07) != (mode_ & 07) || hasAccessAcl();
    if (made.st_gid != gid_ && groupDecides)
        return IoError::FileAccessDenied;
    return IoError::None;
}

bool CarriedAttributes::hasAccessAcl() const {
    return std::any_of(attributes_.begin(), attributes_.end(),
                       [](const Attribute& a) { return a.name == kAccessAcl; });
}

IoError CarriedAttributes::giveAttributes(int fd) const {
    // What the new file was given when it was made (its folder's default ACL) goes first.
    std::vector<std::string> own;
    if (!ListAttributes(fd, own))
        return IoErrorFromErrno(errno);
    for (const std::string& name : own) {
        const bool carried = std::any_of(attributes_.begin(), attributes_.end(),
                                         [&name](const Attribute& a) { return a.name == name; });
        if (!carried && !DescribesContents(name) && ::fremovexattr(fd, name.c_str()) != 0 &&
            errno != ENODATA)
            return IoErrorFromErrno(errno);
    }
    // Every attribute goes along or the save is refused: one left behind could have limited
    // who may use the file, or meant something to the user.
    for (const Attribute& attribute : attributes_) {
        if (FaultOr(FileCall::SetAttribute, [&] {
                return ::fsetxattr(fd, attribute.name.c_str(), attribute.value.data(),
                                   attribute.value.size(), 0);
            }) != 0)
            return IoErrorFromErrno(errno);
    }
    return IoError::None;
}

} // namespace morvantide
