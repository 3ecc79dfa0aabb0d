#pragma once

#include "voice/clip_player.h"
#include "voice/clip_store.h"

namespace morvantide {

// Plays clips from a clip store through the default audio output, one at a time: playClip()
// returns once the clip has been heard (as far as the audio system can tell) to its end. While a
// clip plays the application paints but takes no input; input made meanwhile is dropped.
//
// Without a sound server or an output device a call returns at once and prints nothing;
// unavailableReason() then says "нет вывода звука". A call
// made while a clip is playing (from a timer, say) is dropped, so clips never overlap. A guard of
// the clip's length plus two seconds bounds every call, whatever the audio system does.
class AudioClipPlayer final : public ClipPlayer {
public:
    // Plays the program's built-in clips.
    AudioClipPlayer();
    explicit AudioClipPlayer(ClipStore store);

    void playClip(const QString& name) override;
    // Opens a stream on the default output and closes it again at once.
    std::optional<QString> unavailableReason() override;

private:
    ClipStore store_;
    bool playing_ = false;
};

} // namespace morvantide
