#pragma once

#include "morvantide/io_error.h"
#include "morvantide/saved_game.h"

#include <string>

namespace morvantide {

// Reads a saved game from a file, following symbolic links as ReadableFile does. Anything
// but a regular file is refused as access denied without being opened (a folder, a device
// or a pipe never hangs the program or sets anything off), and only as much of the file is
// read as the reader needs.
SavedGameResult ReadSavedGameFile(const std::string& path);

// Replaces the file at `path` with `bytes` so that it holds either the old or the new
// contents, never a part, as an editor saves:
// - symbolic links are followed as Open follows them (another user's link in a shared sticky
//   folder is refused with FileAccessDenied), through any chain; the file they end at is
//   written (made when missing) and the links stay links; a path Open refuses is refused;
// - anything there that is not a regular file (a folder, pipe, socket or device) is refused
//   with FileAccessDenied before anything is made, and so is a file the process may not
//   write, as the kernel judges it for this process (root may write a read-only file), and
//   a folder that is append-only or immutable, where nothing made could be taken away;
// - the new file gets what the old one carries, as far as the process may set it: the
//   permission bits with set-user-ID and set-group-ID, the owner and group, and the
//   extended attributes (its ACL, user.*, security.*), and nothing else; when an ACL or a
//   security attribute cannot be carried, or the group's bits would go to another group,
//   the save is refused with FileAccessDenied. A new file gets what a plain create gives;
// - the bytes go to a private temporary file in the same folder (unnamed where the file
//   system allows and /proc can name it, else a short name), which is synced and renamed
//   over the old file. On any failure before the rename the old file is left as it was
//   and nothing is left behind;
// - after the rename the save is done: the folder is synced, and a failure there gives
//   FolderNotSynced, which says the game was saved.
// A file with several hard links is replaced under the one name: the other names keep the
// old contents. A folder on the way that is missing, or that disappears during the save,
// gives InvalidFilename.
IoError WriteFileReplacing(const std::string& path, const std::string& bytes);

// A save that runs into the process's file-size limit (ulimit -f) must fail as a full disk
// does, with the game still on the board, instead of ending the program with SIGXFSZ: the
// program calls this once at its start.
void IgnoreFileSizeLimitSignal();

} // namespace morvantide
