#pragma once

#include "morvantide/io_error.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace morvantide {

// A file opened for reading, and only when it is a regular file; symbolic links are followed,
// except another user's link in a shared sticky folder. What is there is looked at before
// anything is opened, so a named pipe, folder, socket or device in the file's place is
// refused without being opened.
class ReadableFile {
public:
    explicit ReadableFile(const std::string& path);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why the file is not open: FileAccessDenied for anything that is not a regular file and
    // for a link that may not be followed, InvalidFilename when a folder on the way is missing
    // or the path is too long for the system, FileNotFound when only the file is missing.
    IoError error() const { return error_; }
    // The size the file had when it was opened.
    std::uintmax_t size() const { return size_; }

    // Like read(2), retried when a signal interrupts it: bytes read, 0 at the end, -1 on a
    // failure, with readError() telling why.
    std::ptrdiff_t read(char* buffer, std::size_t capacity);
    IoError readError() const { return readError_; }

private:
    int fd_ = -1;
    IoError error_;
    IoError readError_;
    std::uintmax_t size_ = 0;
};

} // namespace morvantide
