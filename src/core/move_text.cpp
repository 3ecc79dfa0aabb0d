#include "morvantide/move_text.h"

namespace morvantide {

std::string MoveText(const MoveNames& names) {
    std::string text;
    text.reserve(6);
    text.append(names.fromFile);
    text.append(names.fromRank);
    text.push_back('-');
    text.append(names.toFile);
    text.append(names.toRank);
    text.push_back(' ');
    return text;
}

} // namespace morvantide
