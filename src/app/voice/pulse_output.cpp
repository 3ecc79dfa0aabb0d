#include "voice/pulse_output.h"

#include <QEventLoop>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <pulse/simple.h>
#include <thread>

namespace morvantide {

namespace {

// The most a speaker is believed to hold after the server has played a stream out.
constexpr pa_usec_t kMostHeldUs = 3'000'000;

// A connection with one playback stream, closed when it goes out of scope.
class PulseStream {
public:
    // A stream whose buffer in the server holds `bytes` (the whole phrase) at once.
    PulseStream(const PcmClip& format, qint64 bytes) {
        const pa_sample_spec sampleFormat = {PA_SAMPLE_S16NE, quint32(format.sampleRate),
                                             quint8(format.channelCount)};
        // The whole phrase goes to the server before it plays, so that nothing is left to hand
        // over while it plays, however busy the machine. Playback starts when the samples are
        // drained; the other values are the server's choice.
        const auto unset = static_cast<quint32>(-1);
        const pa_buffer_attr buffer = {unset, quint32(std::max<qint64>(bytes, 1)), unset, unset,
                                       unset};
        stream_ = pa_simple_new(nullptr, "Morvantide", PA_STREAM_PLAYBACK, nullptr, "voice",
                                &sampleFormat, nullptr, &buffer, nullptr);
    }
    ~PulseStream() {
        if (stream_ != nullptr)
            pa_simple_free(stream_);
    }
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    bool isOpen() const { return stream_ != nullptr; }

    // Hands all of `pcm` to the server and waits until it has been played out, and then for
    // what the speaker still holds.
    void playToEnd(const QByteArray& pcm) {
        if (pa_simple_write(stream_, pcm.constData(), size_t(pcm.size()), nullptr) != 0 ||
            pa_simple_drain(stream_, nullptr) != 0)
            return;
        const pa_usec_t heldUs = pa_simple_get_latency(stream_, nullptr);
        if (heldUs != static_cast<pa_usec_t>(-1))
            std::this_thread::sleep_for(
                std::chrono::microseconds(std::min<pa_usec_t>(heldUs, kMostHeldUs)));
    }

private:
    pa_simple* stream_ = nullptr;
};

} // namespace

SoundOutput::Outcome PulseOutput::play(const PcmClip& pcm) {
    PulseStream stream(pcm, pcm.samples.size());
    if (!stream.isOpen())
        return Outcome::NotOpened;
    // The write and the drain block; they run beside the event loop, which ends with them.
    QEventLoop loop;
    std::thread player([&] {
        stream.playToEnd(pcm.samples);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    player.join();
    return Outcome::Heard;
}

bool PulseOutput::canOpen() {
    PcmClip russian;
    russian.sampleRate = 22050;
    russian.channelCount = 1;
    return PulseStream(russian, 0).isOpen();
}

} // namespace morvantide
