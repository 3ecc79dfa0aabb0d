#pragma once

#include "voice/clip_player.h"

#include <QStringList>
#include <memory>

namespace morvantide {

// Plays clips through the voice module, which it loads from the first of its candidate files
// that loads when the first clip is asked for, and keeps loaded until the process ends. When no
// candidate loads, every clip is silent; the reason is printed once.
class LoadedClipPlayer final : public ClipPlayer {
public:
    // The module beside the executable (the build tree), then in ../lib/games/morvantide
    // (installed).
    LoadedClipPlayer();
    explicit LoadedClipPlayer(QStringList candidates);
    ~LoadedClipPlayer() override;

    void playClip(const QString& name) override;

    // Loads the module now if that has not been tried yet; whether a player is available.
    bool load();

    static QStringList installedCandidates();

private:
    QStringList candidates_;
    bool tried_ = false;
    std::unique_ptr<ClipPlayer> player_;
};

} // namespace morvantide
