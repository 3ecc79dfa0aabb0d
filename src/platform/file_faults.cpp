#include "file_faults.h"

#include <atomic>

namespace morvantide {

namespace {
std::atomic<FileFaultHook> faultHook{nullptr};
} // namespace

void SetFileFaultHook(FileFaultHook hook) {
    faultHook.store(hook);
}

int InjectedFault(FileCall call) {
    const FileFaultHook hook = faultHook.load();
    return hook == nullptr ? 0 : hook(call);
}

} // namespace morvantide
