#pragma once

#include "voice/pcm_clip.h"

namespace morvantide {

// One way to the speaker. A phrase reaches it as one run of samples of one format, played in one
// stream, so that the speaker's delay is waited for once, not once per clip.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;

    enum class Outcome {
        Heard,    // played to its end, or as far as the output got before it failed
        NotOpened // no stream opened: nothing was played, another output may be tried
    };

    // Plays `pcm` and returns when it has been heard to its end. Runs the event loop meanwhile,
    // so that the windows paint; the caller keeps input away.
    virtual Outcome play(const PcmClip& pcm) = 0;

    // Whether a stream in the format of a Russian clip opens now; asked afresh every time, so a
    // sound server that has come up since the last question is found.
    virtual bool canOpen() = 0;
};

} // namespace morvantide
