#pragma once

#include "morvantide/io_error.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace morvantide {

// A file opened for reading, and only when it is a regular file; symbolic links are followed.
// Opening never blocks, so a named pipe in the file's place is refused rather than waited
// on; so are folders, sockets and devices.
class ReadableFile {
public:
    explicit ReadableFile(const std::string& path);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why the file is not open: FileAccessDenied for anything that is not a regular file,
    // InvalidFilename when a folder on the way is missing, FileNotFound when only the file is.
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
