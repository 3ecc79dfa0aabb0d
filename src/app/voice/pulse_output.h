#pragma once

#include "voice/sound_output.h"

namespace morvantide {

// The sound server through its own simple client library (PulseAudio's, which PipeWire serves
// too). Every phrase and every question makes a new connection, so a server that has come up
// since the program started is found, and one that has gone away costs only a refused connection.
//
// The library blocks until the server has played the samples out, the speaker's delay included;
// it does so on a thread of its own while the caller's event loop goes on painting. A server that
// stops answering holds the call until the library gives up on it.
class PulseOutput final : public SoundOutput {
public:
    Outcome play(const PcmClip& pcm) override;
    bool canOpen() override;
};

} // namespace morvantide
