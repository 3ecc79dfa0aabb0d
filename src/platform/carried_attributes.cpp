#include "carried_attributes.h"

#include "file_faults.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sys/xattr.h>
#include <unistd.h>

namespace morvantide {

namespace {

constexpr const char* kAccessAcl = "system.posix_acl_access";
constexpr const char* kDefaultAcl = "system.posix_acl_default";

// Attributes that decide who may use the file (its ACL, a security label): a file without
// them could be open to more people than the old one.
bool LimitsAccess(const std::string& name) {
    return name == kAccessAcl || (name.starts_with("security.") && name != "security.capability");
}

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

mode_t CurrentUmask() {
    // Reading it leaves it alone; setting it and back could give a file another thread makes
    // meanwhile the wrong mode, so that is done only without /proc.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8)) & 0777;
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

// The permission bits a plain create gets under the folder's default ACL: its owner, mask (or
// group, without a mask) and other entries, each limited to read and write. Nothing when the
// folder has no default ACL (or cannot be asked: a folder opened only to be searched).
bool ModeUnderDefaultAcl(int folder, mode_t& mode) {
    std::string acl;
    if (!ReadWhole(acl, [folder](char* buffer, std::size_t size) {
            return ::fgetxattr(folder, kDefaultAcl, buffer, size);
        }))
        return false;
    // A little-endian version word, then entries of a tag, permissions (16 bits each) and an id.
    const auto word = [&acl](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(acl[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(acl[at + 1])) << 8;
    };
    unsigned owner = 0, group = 0, mask = 0, other = 0;
    bool hasMask = false;
    for (std::size_t at = 4; at + 8 <= acl.size(); at += 8) {
        const unsigned permissions = word(at + 2) & 06;
        switch (word(at)) {
        case 0x01:
            owner = permissions;
            break;
        case 0x04:
            group = permissions;
            break;
        case 0x10:
            mask = permissions;
            hasMask = true;
            break;
        case 0x20:
            other = permissions;
            break;
        default:
            break;
        }
    }
    mode = static_cast<mode_t>(owner << 6 | (hasMask ? mask : group) << 3 | other);
    return acl.size() > 4;
}

// The system call to set an attribute, which a test can make fail.
int SetAttribute(int fd, const std::string& name, const std::string& value) {
    if (const int fault = InjectedFault(FileCall::SetAttribute); fault != 0) {
        errno = fault;
        return -1;
    }
    return ::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0);
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
        if (ReadAttribute(fd, name, value))
            attributes_.push_back({name, value});
        else if (LimitsAccess(name))
            return IoError::FileAccessDenied;
    }
    return IoError::None;
}

void CarriedAttributes::readPlainCreate(int folder) {
    replacing_ = false;
    if (!ModeUnderDefaultAcl(folder, mode_))
        mode_ = 0666 & ~CurrentUmask();
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
    // Only root may give a file away; anybody may give it a group of their own.
    if (::fchown(fd, uid_, gid_) != 0 && ::fchown(fd, static_cast<uid_t>(-1), gid_) != 0) {
        // The group's permissions would go to another group.
        struct stat info {};
        if (::fstat(fd, &info) != 0)
            return IoErrorFromErrno(errno);
        if (info.st_gid != gid_ && (mode_ & S_IRWXG) != 0)
            return IoError::FileAccessDenied;
    }
    return IoError::None;
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
            name == kAccessAcl)
            return IoError::FileAccessDenied;
    }
    for (const Attribute& attribute : attributes_) {
        if (SetAttribute(fd, attribute.name, attribute.value) != 0 && LimitsAccess(attribute.name))
            return IoError::FileAccessDenied;
    }
    return IoError::None;
}

} // namespace morvantide
