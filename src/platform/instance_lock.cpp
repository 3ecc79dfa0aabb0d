#include "morvantide/instance_lock.h"

#include "posix_file.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
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

// Opens `path` as a folder that only this user can reach: a real folder (not a symbolic
// link), owned by this user, with no access for group or others. Checking the open
// descriptor rather than the name leaves no gap for the folder to be swapped meanwhile.
int OpenPrivateFolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() ||
        (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/')
        return {};
    return value;
}

std::string FallbackFolderPath() {
    std::string base = AbsoluteVariable("TMPDIR");
    if (base.empty())
        base = "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/morvantide-" + std::to_string(::geteuid());
}

// The runtime folder when it can be trusted, else the fallback folder, made if missing. The
// fallback's name is predictable, so somebody else may have made it first: then it fails
// the ownership check and no lock is made.
int OpenLockFolder(std::string& path) {
    path = AbsoluteVariable("XDG_RUNTIME_DIR");
    if (!path.empty()) {
        const int fd = OpenPrivateFolder(path);
        if (fd >= 0)
            return fd;
    }
    path = FallbackFolderPath();
    if (::mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        return -1;
    return OpenPrivateFolder(path);
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
