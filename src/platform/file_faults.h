#pragma once

#include <cerrno>

namespace morvantide {

// The system calls of the file code that a test can make fail, to see what the user is shown
// and what is left on disk when a disk or a file system misbehaves.
enum class FileCall {
    CreateUnnamed,   // the unnamed file a save is written to first, where supported
    CreateTemporary, // the short temporary name of a save
    NameUnnamed,     // naming the unnamed file through /proc
    Write,
    OpenOld,      // the file a save replaces, opened to read what it carries
    GiveOwner,    // giving the new file the old one's owner and group
    SetAttribute, // an extended attribute (an ACL among them) the new file carries over
    Sync,
    Rename,
    SyncFolder, // the folder's sync after the rename
    Read,
};

// Before each of these calls the hook is asked for an errno to fail the call with (0: make
// the call). nullptr removes the hook.
using FileFaultHook = int (*)(FileCall call);
void SetFileFaultHook(FileFaultHook hook);

// The errno the hook gives for `call`, or 0.
int InjectedFault(FileCall call);

// Makes the system call `makeCall` stands for, unless the hook fails it: then -1 with the
// hook's errno.
template <typename Call> int FaultOr(FileCall call, Call makeCall) {
    if (const int fault = InjectedFault(call); fault != 0) {
        errno = fault;
        return -1;
    }
    return makeCall();
}

} // namespace morvantide
