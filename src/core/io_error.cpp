#include "morvantide/io_error.h"

#include <cerrno>
#include <ostream>

namespace morvantide {

std::string IoErrorMessage(IoError error) {
    switch (error.cause()) {
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
    case IoError::SavedFolderNotSynced: {
        std::string text = "Game saved, but its folder could not be synced: I/O error ";
        text += std::to_string(error.number());
        return text;
    }
    case IoError::None:
    case IoError::OtherSystemError:
        break;
    }
    // Appending rather than operator+ keeps GCC 12's false -Wrestrict warning away.
    std::string text = "I/O error ";
    text += std::to_string(error.number());
    return text;
}

IoError IoErrorFromErrno(int errnoValue) {
    switch (errnoValue) {
    case ENOENT:
        return IoError::FileNotFound;
    // A part of the path that is not a folder: the name cannot be a file's.
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return IoError::InvalidFilename;
    case EMFILE:
    case ENFILE:
        return IoError::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ETXTBSY:
        return IoError::FileAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return IoError::DiskFull;
    default:
        return IoError::system(errnoValue);
    }
}

std::ostream& operator<<(std::ostream& out, const IoError& error) {
    return out << (error == IoError::None ? std::string("no error") : IoErrorMessage(error));
}

} // namespace morvantide
