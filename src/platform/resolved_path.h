#pragma once

#include "morvantide/io_error.h"
#include "posix_file.h"

#include <string>
#include <sys/stat.h>

namespace morvantide {

// Where a path really leads: the open folder that holds the last name after every symbolic
// link, and what is there, looked at without opening it.
struct ResolvedPath {
    FileDescriptor folder;
    std::string name;
    bool exists = false;
    struct stat info {};
};

// Follows `path` through symbolic links, each read relative to its own folder, as the kernel
// would, with its protection for shared folders applied always and to every link on the way,
// a folder's as much as the last name's: a link in a sticky folder that everybody may write
// is followed only when it belongs to this user or to the folder's owner, else
// FileAccessDenied. A path the kernel would not take whole (PATH_MAX bytes or
// more) and a folder on the way that is missing give InvalidFilename; a link chain that is
// too long gives ELOOP's number. A missing last name is no error: `exists` stays false.
IoError ResolvePath(const std::string& path, ResolvedPath& target);

} // namespace morvantide
