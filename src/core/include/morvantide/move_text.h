#pragma once

#include <string>
#include <string_view>

namespace morvantide {

// Names of the two squares of a move; a from-name is empty when the piece did not start on
// a square centre.
struct MoveNames {
    std::string_view fromFile;
    std::string_view fromRank;
    std::string_view toFile;
    std::string_view toRank;
};

// "e2-e4 ": from-file, from-rank, "-", to-file, to-rank and one space.
std::string MoveText(const MoveNames& names);

} // namespace morvantide
