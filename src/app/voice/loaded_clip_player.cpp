#include "voice/loaded_clip_player.h"

#include "voice/voice_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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
    const QDir folder(QCoreApplication::applicationDirPath());
    QStringList candidates = {
        folder.filePath(kModuleFileName),
        QDir::cleanPath(
            folder.filePath(QStringLiteral("../lib/games/morvantide/") + kModuleFileName)),
        QStringLiteral(MORVANTIDE_INSTALLED_VOICE_FOLDER "/") + kModuleFileName,
        QStringLiteral("/usr/lib/games/morvantide/") + kModuleFileName,
    };
    candidates.removeDuplicates();
    return candidates;
}

bool LoadedClipPlayer::load() {
    if (tried_)
        return player_ != nullptr;
    tried_ = true;
    QStringList failures;
    for (const QString& candidate : candidates_) {
        if (!QFileInfo::exists(candidate))
            continue;
        QLibrary module(candidate);
        if (!module.load()) {
            failures.append(module.errorString());
            continue;
        }
        const auto create =
            reinterpret_cast<CreateClipPlayerFunction>(module.resolve(kCreateClipPlayerSymbol));
        if (create == nullptr) {
            failures.append(QStringLiteral("%1 has no function %2")
                                .arg(candidate, QLatin1String(kCreateClipPlayerSymbol)));
            continue;
        }
        player_.reset(create());
        if (player_ != nullptr)
            return true;
        failures.append(QStringLiteral("%1 made no player").arg(candidate));
    }
    if (failures.isEmpty()) {
        loadFailure_ = QStringLiteral("не найден модуль голоса");
        qWarning().noquote() << "The voice is not available: none of these files exists:"
                             << candidates_.join(QStringLiteral(", "));
    } else {
        loadFailure_ = QStringLiteral("модуль голоса не загружается");
        qWarning().noquote() << "The voice is not available:"
                             << failures.join(QStringLiteral("; "));
    }
    return false;
}

void LoadedClipPlayer::playPhrase(const QStringList& names) {
    if (load())
        player_->playPhrase(names);
}

std::optional<QString> LoadedClipPlayer::unavailableReason() {
    // Asked each time the voice is switched on: a module that did not load before is looked for
    // again, in case it has been installed since.
    if (player_ == nullptr)
        tried_ = false;
    if (!load())
        return loadFailure_;
    return player_->unavailableReason();
}

} // namespace morvantide
