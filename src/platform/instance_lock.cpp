#include "morvantide/instance_lock.h"

#include "posix_file.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace morvantide {

namespace {

// The gate is held only for the few system calls of a start-up check; a holder that stays
// longer has hung, and waiting for it forever would hang this start too.
constexpr auto kGateWait = std::chrono::seconds(5);
constexpr auto kGatePoll = std::chrono::milliseconds(10);

int LockFile(int fd, int operation) {
    return RetryOnInterrupt([&] { return ::flock(fd, operation); });
}

// Checks an open folder for what the lock needs of it: a real folder (not a symbolic link)
// of this user's that nobody else may write into (`others` are the permission bits group and
// others may not have), or closes it. Checking the open descriptor rather than the name
// leaves no gap for the folder to be swapped meanwhile.
int KeepIfOwn(int fd, mode_t others) {
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) ||
                    info.st_uid != ::geteuid() || (info.st_mode & others) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The folder `name` in `parent`, made (for this user only) if missing, never through a link.
int OpenOwnFolder(int parent, const char* name, mode_t others) {
    if (::mkdirat(parent, name, S_IRWXU) != 0 && errno != EEXIST)
        return -1;
    return KeepIfOwn(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
                     others);
}

std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    return value;
}

std::string HomeFolderPath() {
    std::string home = AbsoluteVariable("HOME");
    if (home.empty()) {
        if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_dir)
            home = entry->pw_dir;
    }
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home;
}

// "morvantide" in the ".cache" folder of the user's home, made if missing. Nobody else can
// have made it first: the home and ".cache" must be the user's own and writable by nobody
// else, and the lock's folder private, or no lock is made.
int OpenHomeLockFolder(std::string& path) {
    const std::string home = HomeFolderPath();
    if (home.empty() || home[0] != '/')
        return -1;
    constexpr mode_t kOthersWrite = S_IWGRP | S_IWOTH;
    const int homeFd =
        KeepIfOwn(::open(home.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), kOthersWrite);
    const int cache = homeFd < 0 ? -1 : OpenOwnFolder(homeFd, ".cache", kOthersWrite);
    const int folder = cache < 0 ? -1 : OpenOwnFolder(cache, "morvantide", S_IRWXG | S_IRWXO);
    for (const int fd : {homeFd, cache})
        if (fd >= 0)
            ::close(fd);
    path = home + "/.cache/morvantide";
    return folder;
}

// The runtime folder when it is a private folder of this user's, else the home's.
int OpenLockFolder(std::string& path) {
    path = AbsoluteVariable("XDG_RUNTIME_DIR");
    if (!path.empty()) {
        const int fd =
            KeepIfOwn(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
                      S_IRWXG | S_IRWXO);
        if (fd >= 0)
            return fd;
    }
    return OpenHomeLockFolder(path);
}

// A lock file of this user in the private folder, made if missing. Opening never waits, so
// a named pipe in its place is refused like anything else that is not a regular file.
int OpenLockFile(int folder, const std::string& name) {
    const int fd = ::openat(folder, name.c_str(),
                            O_RDONLY | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC,
                            S_IRUSR | S_IWUSR);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool TakeGate(int gate) {
    const auto deadline = std::chrono::steady_clock::now() + kGateWait;
    while (LockFile(gate, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kGatePoll);
    }
    return true;
}

} // namespace

InstanceLock::InstanceLock(const std::string& name) {
    std::string folderPath;
    const int folder = OpenLockFolder(folderPath);
    if (folder < 0)
        return;
    const int fd = OpenLockFile(folder, name + ".lock");
    const int gate = fd < 0 ? -1 : OpenLockFile(folder, name + ".gate");
    ::close(folder);
    if (gate < 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }

    // Testing whether the name is held and taking it must be one step for copies started at
    // the same instant. The gate makes it one: only its holder tests, and the exclusive lock
    // that tells "nobody else" is turned into a shared one before the next copy may test.
    // (Turning a lock from exclusive to shared drops it for a moment; under the gate nobody
    // can look in that moment.) Without the gate the check is still made, only not atomically.
    const bool gated = TakeGate(gate);
    if (LockFile(fd, LOCK_EX | LOCK_NB) == 0) {
        LockFile(fd, LOCK_SH | LOCK_NB);
        fd_ = fd;
    } else if (errno == EWOULDBLOCK) {
        alreadyExisted_ = true;
        LockFile(fd, LOCK_SH | LOCK_NB);
        fd_ = fd;
    } else {
        // The file system does not lock: no lock can be made.
        ::close(fd);
    }
    if (gated)
        LockFile(gate, LOCK_UN);
    ::close(gate);
    if (fd_ >= 0)
        path_ = folderPath + "/" + name + ".lock";
}

InstanceLock::~InstanceLock() {
    release();
}

void InstanceLock::release() {
    // Closing the only descriptor ends this process's part of the lock. The file stays: taking
    // it away could part a later copy from the holders that still have it open.
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::optional<std::string> InstanceLock::lockFolder() {
    std::string path;
    const int fd = OpenLockFolder(path);
    if (fd < 0)
        return std::nullopt;
    ::close(fd);
    return path;
}

} // namespace morvantide
