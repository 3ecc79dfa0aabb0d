#include "morvantide/io_error.h"

#include <cerrno>

namespace morvantide {

std::string IoErrorMessage(int code) {
    switch (static_cast<IoError>(code)) {
    case IoError::FileNotFound:
        return "File not found";
    case IoError::InvalidFilename:
        return "Invalid filename";
    case IoError::TooManyOpenFiles:
        return "Too many open files";
    case IoError::FileAccessDenied:
        return "File access denied";
    case IoError::ReadBeyondEndOfFile:
        return "Read beyond end of file";
    case IoError::DiskFull:
        return "Disk full";
    case IoError::InvalidNumericInput:
        return "Invalid numeric input";
    default: {
        // Appending rather than operator+ keeps GCC 12's false -Wrestrict warning away.
        std::string text = "I/O error ";
        text += std::to_string(code);
        return text;
    }
    }
}

int IoErrorFromErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
        return static_cast<int>(IoError::FileNotFound);
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return static_cast<int>(IoError::InvalidFilename);
    case EMFILE:
    case ENFILE:
        return static_cast<int>(IoError::TooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return static_cast<int>(IoError::FileAccessDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return static_cast<int>(IoError::DiskFull);
    default:
        return errnoValue;
    }
}

} // namespace morvantide
