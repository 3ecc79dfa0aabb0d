#pragma once

#include <QString>
#include <optional>

namespace morvantide {

// Plays one built-in clip to its end. The window talks to this interface only, so tests can
// put a recording stand-in in its place.
class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;

    // Plays the built-in clip `name` (looked up without regard to case) and returns when it
    // has been heard to its end. A clip that cannot be played returns at once, silently.
    virtual void playClip(const QString& name) = 0;

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
