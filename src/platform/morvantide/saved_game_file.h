#pragma once

#include "morvantide/io_error.h"
#include "morvantide/saved_game.h"

#include <string>

namespace morvantide {

// Reads a saved game from a file, following symbolic links as ReadableFile does. Anything
// but a regular file is refused as access denied without being opened (a folder, a device
// or a pipe never hangs the program or sets anything off), and only as much of the file is
// read as the reader needs.
SavedGameResult readSavedGameFile(const std::string& path);

// Replaces the file at `path` with `bytes` so that it holds either the old or the new
// contents, never a part, as an editor saves:
// - symbolic links are followed as Open follows them (another user's link in a shared sticky
//   folder is refused with FileAccessDenied), through any chain; the file they end at is
//   written (made when missing) and the links stay links; a path Open refuses is refused;
// - anything there that is not a regular file (a folder, pipe, socket or device) is refused
//   with FileAccessDenied before anything is made, and so is a file the process may not
//   write, as the kernel judges it for this process (root may write a read-only file);
// - the new file keeps the old one's permission bits, and its owner and group as far as
//   the process may set them; a new file gets 0666 less the umask;
// - the bytes go to a temporary file in the same folder (unnamed where the file system
//   allows, else a short name), which is synced and renamed over the old file; the folder
//   is synced after. On any failure before the rename the old file is left as it was.
// A file with several hard links is replaced under the one name: the other names keep the
// old contents. A folder on the way that is missing gives InvalidFilename.
IoError writeFileReplacing(const std::string& path, const std::string& bytes);

} // namespace morvantide
