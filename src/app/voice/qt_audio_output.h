#pragma once

#include "voice/sound_output.h"

namespace morvantide {

// The default audio output as Qt Multimedia sees it. Qt connects to the sound server once per
// process: when none runs at that moment, this output stays closed until the program is restarted,
// which is why it only stands in where the sound server's own library cannot be used. A guard of
// the phrase's length plus two seconds bounds every call, whatever the audio system does.
class QtAudioOutput final : public SoundOutput {
public:
    Outcome play(const PcmClip& pcm) override;
    bool canOpen() override;
};

} // namespace morvantide
