#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace morvantide {

// A file opened for reading, and only when it is a regular file. Opening never blocks, so a
// named pipe in the file's place is refused rather than waited on; so are folders and devices.
class ReadableFile {
public:
    explicit ReadableFile(const std::string& path);
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    // 0 when the file is open; otherwise the errno of the failure (EACCES for anything that
    // is not a regular file).
    int error() const { return error_; }
    // The size the file had when it was opened.
    std::uintmax_t size() const { return size_; }

    // Like read(2), retried when a signal interrupts it: bytes read, 0 at the end, -1 on a
    // failure.
    std::ptrdiff_t read(char* buffer, std::size_t capacity);

private:
    int fd_ = -1;
    int error_ = 0;
    std::uintmax_t size_ = 0;
};

} // namespace morvantide
