#pragma once

#include "voice/clip_player.h"

#include <QStringList>
#include <memory>
#include <optional>

namespace morvantide {

// Plays clips through the voice module, which it loads from the first of its candidate files
// that loads when the first clip or the reason is asked for, and keeps loaded until the process
// ends. When no candidate loads, every clip is silent, unavailableReason() says why, and one
// line on standard error gives the details; the next unavailableReason() tries the candidates
// again.
class LoadedClipPlayer final : public ClipPlayer {
public:
    // The installed candidates (installedCandidates()).
    LoadedClipPlayer();
    explicit LoadedClipPlayer(QStringList candidates);
    ~LoadedClipPlayer() override;

    void playPhrase(const QStringList& names) override;
    // "не найден модуль голоса" when no candidate file exists, "модуль голоса не загружается"
    // when one exists but none loads; otherwise the module's own answer.
    std::optional<QString> unavailableReason() override;

    // Where a built or an installed program has its module, in this order: beside the
    // executable (the build tree); in ../lib/games/morvantide from the executable's folder (an
    // installed program in games/); in the folder of the prefix the build was configured for,
    // and in /usr/lib/games/morvantide (the package's), for a program copied elsewhere.
    static QStringList installedCandidates();

private:
    // Loads the module now if that has not been tried since the last question; whether a player
    // is available.
    bool load();

    QStringList candidates_;
    bool tried_ = false;
    std::optional<QString> loadFailure_;
    std::unique_ptr<ClipPlayer> player_;
};

} // namespace morvantide
