#include "voice/loaded_clip_player.h"

#include "voice/voice_module.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QtDebug>

namespace morvantide {

namespace {

const QString kModuleFileName = QStringLiteral("libmorvantide-voice.so");

} // namespace

LoadedClipPlayer::LoadedClipPlayer() : LoadedClipPlayer(installedCandidates()) {}

LoadedClipPlayer::LoadedClipPlayer(QStringList candidates) : candidates_(std::move(candidates)) {}

// The module stays loaded: the player is destroyed while its code is still mapped, and Qt
// Multimedia is never unloaded under a running application.
LoadedClipPlayer::~LoadedClipPlayer() = default;

QStringList LoadedClipPlayer::installedCandidates() {
    const QString folder = QCoreApplication::applicationDirPath();
    return {folder + QLatin1Char('/') + kModuleFileName,
            folder + QStringLiteral("/../lib/games/morvantide/") + kModuleFileName};
}

bool LoadedClipPlayer::load() {
    if (tried_)
        return player_ != nullptr;
    tried_ = true;
    QStringList failures;
    for (const QString& candidate : candidates_) {
        QLibrary module(candidate);
        if (!module.load()) {
            failures.append(module.errorString());
            continue;
        }
        const auto create =
            reinterpret_cast<CreateClipPlayerFunction>(module.resolve(kCreateClipPlayerSymbol));
        if (create == nullptr) {
            failures.append(module.errorString());
            continue;
        }
        player_.reset(create());
        return player_ != nullptr;
    }
    qWarning().noquote() << "The voice is not available:" << failures.join(QStringLiteral("; "));
    return false;
}

void LoadedClipPlayer::playClip(const QString& name) {
    if (load())
        player_->playClip(name);
}

} // namespace morvantide
