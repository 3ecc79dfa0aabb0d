#pragma once

#include <optional>
#include <string>

namespace morvantide {

// A per-user lock with a name that lives exactly as long as some process holding it runs.
// Every holder keeps a shared `flock` on a file in the user's private runtime folder, so the
// kernel drops a holder's part when it ends, however it ends, and the name is free again when
// the last holder has gone.
class InstanceLock {
public:
    // Joins the holders of `name`; alreadyExisted() tells whether another process held it.
    explicit InstanceLock(const std::string& name);
    ~InstanceLock();

    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when the lock could not be made at all; the caller then counts as the first holder.
    bool isHeld() const { return fd_ >= 0; }
    // Another process held the name when this one took it.
    bool alreadyExisted() const { return alreadyExisted_; }

private:
    friend class PlatformTestSeam;

    // The lock file, empty when the lock could not be made.
    const std::string& path() const { return path_; }

    // Gives up this process's part of the lock; later calls do nothing.
    void release();

    // The folder for the lock files: $XDG_RUNTIME_DIR when it is a private folder of this
    // user, else the private folder ".cache/morvantide" in the user's home ($HOME, or the
    // password database's), made on first use. Nothing when neither can be trusted.
    static std::optional<std::string> lockFolder();

    int fd_ = -1;
    bool alreadyExisted_ = false;
    std::string path_;
};

} // namespace morvantide
