#include "morvantide/announcement.h"

namespace morvantide {

namespace {

bool IsFileLetter(std::string_view name) {
    return name.size() == 1 && name[0] >= 'a' && name[0] <= 'h';
}

bool IsRankDigit(std::string_view name) {
    return name.size() == 1 && name[0] >= '1' && name[0] <= '8';
}

void AddSquare(std::vector<std::string>& clips, std::string_view file, std::string_view rank) {
    if (IsFileLetter(file))
        clips.emplace_back(file);
    // Ranks are spoken by the clips "a1".."a8", which stand for the digit alone.
    if (IsRankDigit(rank))
        clips.push_back("a" + std::string(rank));
}

void AddKingTaken(std::vector<std::string>& clips, bool taken) {
    if (taken) {
        clips.emplace_back("CHECK");
        clips.emplace_back("MAT");
    }
}

} // namespace

std::vector<std::string> AnnouncementClips(const MoveNames& names, bool captureFound,
                                           TakenKings kings) {
    std::vector<std::string> clips;
    AddSquare(clips, names.fromFile, names.fromRank);
    if (captureFound)
        clips.emplace_back("TAKES");
    AddSquare(clips, names.toFile, names.toRank);
    AddKingTaken(clips, kings.black);
    AddKingTaken(clips, kings.white);
    return clips;
}

std::string LocalisedClipName(std::string_view name, bool english) {
    std::string clip(name);
    if (!english)
        clip += "_r";
    return clip;
}

} // namespace morvantide
