#pragma once

#include "file_faults.h"
#include "morvantide/instance_lock.h"
#include "morvantide/settings_file.h"

#include <optional>
#include <string>
#include <utility>

namespace morvantide {

// The tests' one way into the platform library besides its public face: the lock's file, folder
// and release, and settings read from a text. The file-fault hook comes with it.
class PlatformTestSeam {
public:
    static const std::string& lockPath(const InstanceLock& lock) { return lock.path(); }
    static void release(InstanceLock& lock) { lock.release(); }
    static std::optional<std::string> lockFolder() { return InstanceLock::lockFolder(); }
    static SettingsFile settingsFromText(std::string text) {
        return {SettingsFile::FromText{}, std::move(text)};
    }
};

} // namespace morvantide
