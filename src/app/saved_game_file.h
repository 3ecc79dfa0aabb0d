#pragma once

#include "morvantide/io_error.h"
#include "morvantide/saved_game.h"

#include <string>

namespace morvantide {

// Reads a saved game from a file. Anything but a regular file is refused as access denied
// (a folder, a device or a pipe never hangs the program), and only as much of the file is
// read as the reader needs.
SavedGameResult readSavedGameFile(const std::string& path);

// Replaces `path` with `bytes` so that it holds either the old or the new contents, never a
// part: the bytes go to a temporary file beside it, which is renamed over it only when
// everything was written and flushed. On a failure the old file is left untouched.
IoError writeFileReplacing(const std::string& path, const std::string& bytes);

} // namespace morvantide
