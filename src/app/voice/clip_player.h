#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace morvantide {

// Plays built-in clips to their end. The window talks to this interface only, so tests can put a
// recording stand-in in its place.
class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;

    // Plays the built-in clips `names` (looked up without regard to case) as one phrase: each
    // follows the one before without a pause, and the call returns when the last has been heard
    // to its end. The speaker's delay is waited for once per phrase, not once per clip. A clip
    // that cannot be played is left out, silently; when none can, the call returns at once.
    virtual void playPhrase(const QStringList& names) = 0;

    // A phrase of the one clip `name`.
    void playClip(const QString& name) { playPhrase(QStringList{name}); }

    // Why no clip can be heard, in a few Russian words ("нет вывода звука"), or nothing when
    // clips can be played. Finds out afresh: it may load the voice and open the sound output for
    // a moment, so it is asked when the voice is switched on, not for every clip.
    virtual std::optional<QString> unavailableReason() = 0;
};

// The text of the box that tells the user the voice cannot be heard, and why.
inline QString VoiceUnavailableText(const QString& reason) {
    return QStringLiteral("Голос недоступен: %1.").arg(reason);
}

} // namespace morvantide
