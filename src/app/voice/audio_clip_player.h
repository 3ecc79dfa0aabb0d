#pragma once

#include "voice/clip_player.h"
#include "voice/clip_store.h"
#include "voice/sound_output.h"

#include <memory>
#include <vector>

namespace morvantide {

// Plays phrases of clips from a clip store through the sound outputs, one phrase at a time:
// playPhrase() joins the phrase's clips into one run of samples, plays it in one stream and
// returns once it has been heard to its end. While a phrase plays the application paints but
// takes no input; input made meanwhile is dropped.
//
// The outputs are tried in order for every phrase: the sound server's own library first (where
// the program was built with it), then Qt Multimedia. Without a sound server or an output device
// a call returns at once and prints nothing; unavailableReason() then says "нет вывода звука". A
// call made while a phrase is playing (from a timer, say) is dropped, so phrases never overlap.
class AudioClipPlayer final : public ClipPlayer {
public:
    // Plays the program's built-in clips.
    AudioClipPlayer();
    explicit AudioClipPlayer(ClipStore store);
    ~AudioClipPlayer() override;

    void playPhrase(const QStringList& names) override;
    // Opens a stream on each output in turn, until one opens, and closes it again at once.
    std::optional<QString> unavailableReason() override;

private:
    // The phrase's clips joined into runs of one format each (one run for a phrase of one
    // language); clips that are not in the store are left out.
    std::vector<PcmClip> join(const QStringList& names);
    void play(const PcmClip& pcm);

    ClipStore store_;
    std::vector<std::unique_ptr<SoundOutput>> outputs_;
    bool playing_ = false;
};

} // namespace morvantide
