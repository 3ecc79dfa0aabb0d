#pragma once

#include <QString>

namespace morvantide {

// Plays one built-in clip to its end. The window talks to this interface only, so tests can
// put a recording stand-in in its place.
class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;

    // Plays the built-in clip `name` (looked up without regard to case) and returns when it
    // has been heard to its end. A clip that cannot be played returns at once, silently.
    virtual void playClip(const QString& name) = 0;
};

} // namespace morvantide
