#pragma once

#include <string>

namespace morvantide {

// Error numbers of the file commands; the numbers are those the messages are known by.
enum class IoError : int {
    None = 0,
    FileNotFound = 2,
    InvalidFilename = 3,
    TooManyOpenFiles = 4,
    FileAccessDenied = 5,
    ReadBeyondEndOfFile = 100,
    DiskFull = 101,
    InvalidNumericInput = 106,
};

// "File not found", ..., or "I/O error N" for any other number (no full stop).
std::string IoErrorMessage(int code);
inline std::string IoErrorMessage(IoError error) { return IoErrorMessage(static_cast<int>(error)); }

// Maps an errno value to the error number the user is shown.
int IoErrorFromErrno(int errnoValue);

} // namespace morvantide
