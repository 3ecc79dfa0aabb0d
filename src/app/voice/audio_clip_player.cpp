#include "voice/audio_clip_player.h"

#include "voice/input_blocker.h"
#include "voice/qt_audio_output.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

#ifdef MORVANTIDE_HAVE_PULSE
#include "voice/pulse_output.h"
#endif

namespace morvantide {

AudioClipPlayer::AudioClipPlayer() : AudioClipPlayer(ClipStore()) {}

AudioClipPlayer::AudioClipPlayer(ClipStore store) : store_(std::move(store)) {
#ifdef MORVANTIDE_HAVE_PULSE
    outputs_.push_back(std::make_unique<PulseOutput>());
#endif
    outputs_.push_back(std::make_unique<QtAudioOutput>());
}

AudioClipPlayer::~AudioClipPlayer() = default;

std::optional<QString> AudioClipPlayer::unavailableReason() {
    const InputBlocker blocker;
    for (const std::unique_ptr<SoundOutput>& output : outputs_) {
        if (output->canOpen())
            return std::nullopt;
    }
    return QStringLiteral("нет вывода звука");
}

std::vector<PcmClip> AudioClipPlayer::join(const QStringList& names) {
    std::vector<PcmClip> runs;
    for (const QString& name : names) {
        const PcmClip* clip = store_.clip(name);
        if (clip == nullptr)
            continue;
        const bool sameFormat = !runs.empty() && runs.back().sampleRate == clip->sampleRate &&
                                runs.back().channelCount == clip->channelCount &&
                                runs.back().bitsPerSample == clip->bitsPerSample;
        if (sameFormat)
            runs.back().samples += clip->samples;
        else
            runs.push_back(*clip);
    }
    return runs;
}

void AudioClipPlayer::play(const PcmClip& pcm) {
    for (const std::unique_ptr<SoundOutput>& output : outputs_) {
        if (output->play(pcm) == SoundOutput::Outcome::Heard)
            return;
    }
}

void AudioClipPlayer::playPhrase(const QStringList& names) {
    if (playing_)
        return;
    const std::vector<PcmClip> runs = join(names);
    if (runs.empty())
        return;
    const QScopedValueRollback busy(playing_, true);
    // Declared before the outputs' streams: a sink's destructor runs pending events, and input
    // among them must still be swallowed.
    const InputBlocker blocker;
    for (const PcmClip& pcm : runs)
        play(pcm);
    // Input that reached the application while the phrase played but has not been delivered yet
    // is dropped here too, not handed to the window afterwards.
    QCoreApplication::processEvents();
}

} // namespace morvantide
