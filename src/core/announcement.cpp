#include "morvantide/announcement.h"

namespace morvantide {

namespace {

bool isFileLetter(std::string_view name) {
    return name.size() == 1 && name[0] >= 'a' && name[0] <= 'h';
}

bool isRankDigit(std::string_view name) {
    return name.size() == 1 && name[0] >= '1' && name[0] <= '8';
}

void addSquare(std::vector<std::string>& clips, std::string_view file, std::string_view rank) {
    if (isFileLetter(file))
        clips.emplace_back(file);
    // Ranks are spoken by the clips "a1".."a8", which stand for the digit alone.
    if (isRankDigit(rank))
        clips.push_back("a" + std::string(rank));
}

void addKingTaken(std::vector<std::string>& clips, bool taken) {
    if (taken) {
        clips.emplace_back("CHECK");
        clips.emplace_back("MAT");
    }
}

} // namespace

std::vector<std::string> AnnouncementClips(const MoveNames& names, bool captureFound,
                                           TakenKings kings) {
    std::vector<std::string> clips;
    addSquare(clips, names.fromFile, names.fromRank);
    if (captureFound)
        clips.emplace_back("TAKES");
    addSquare(clips, names.toFile, names.toRank);
    addKingTaken(clips, kings.black);
    addKingTaken(clips, kings.white);
    return clips;
}

std::string LocalisedClipName(std::string_view name, bool english) {
    std::string clip(name);
    if (!english)
        clip += "_r";
    return clip;
}

} // namespace morvantide
