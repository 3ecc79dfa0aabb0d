#pragma once

#include "morvantide/board_point.h"
#include "morvantide/game_end.h"
#include "morvantide/move_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace morvantide {

// The English clip names an announced move plays, in order: from-square, "TAKES" for a
// capture, to-square, then "CHECK" "MAT" for each king that is off the board (Black's first).
// Names that are empty or not a file letter or rank digit are skipped.
std::vector<std::string> AnnouncementClips(const MoveNames& names, bool captureFound,
                                           TakenKings kings);

// The clip to play for a name: the name itself in English, name + "_r" in Russian.
std::string LocalisedClipName(std::string_view name, bool english);

} // namespace morvantide
