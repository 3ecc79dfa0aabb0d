#pragma once

#include <iosfwd>
#include <string>

namespace morvantide {

// What ended a file command: one of the causes that have a number and a message of their
// own, or any other failure of the system, known by its errno. The two kinds never mix: an
// errno is never read as one of the causes' numbers, whatever its value.
class IoError {
public:
    // The causes with a message of their own, numbered as the messages are known.
    enum Cause : int {
        None = 0,
        FileNotFound = 2,
        InvalidFilename = 3,
        TooManyOpenFiles = 4,
        FileAccessDenied = 5,
        ReadBeyondEndOfFile = 100,
        DiskFull = 101,
        InvalidNumericInput = 106,
        OtherSystemError = -1, // systemError() tells which
        // The new file is in place under its name, but the folder could not be synced after,
        // so the new name may not survive a power cut; systemError() tells why.
        SavedFolderNotSynced = -2,
    };

    constexpr IoError(Cause cause = None) : cause_(cause) {}
    // A failure none of the causes names, by its errno.
    static constexpr IoError system(int errnoValue) {
        return IoError(OtherSystemError, errnoValue);
    }
    static constexpr IoError folderNotSynced(int errnoValue) {
        return IoError(SavedFolderNotSynced, errnoValue);
    }

    constexpr Cause cause() const { return cause_; }
    constexpr int systemError() const { return systemError_; }
    // The number the user is shown: the cause's number, or the errno.
    constexpr int number() const { return cause_ < None ? systemError_ : cause_; }

    friend constexpr bool operator==(const IoError&, const IoError&) = default;

private:
    constexpr IoError(Cause cause, int systemError) : cause_(cause), systemError_(systemError) {}

    Cause cause_ = None;
    int systemError_ = 0;
};

// "File not found", ..., or "I/O error N" for any failure without a message of its own (no
// full stop). A save whose folder could not be synced says that the game was saved.
std::string IoErrorMessage(IoError error);

// The cause an errno stands for, when it stands for one of them; otherwise the errno itself.
IoError IoErrorFromErrno(int errnoValue);

std::ostream& operator<<(std::ostream& out, const IoError& error);

} // namespace morvantide
