#include "voice/qt_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace morvantide {

namespace {

// Extra time the samples may take beyond their length before playback is abandoned.
constexpr int kGuardMarginMs = 2000;
// Bounds of the wait between two looks at the sink's progress.
constexpr qint64 kMinCheckMs = 2;
constexpr qint64 kMaxCheckMs = 40;

QAudioFormat FormatOf(int sampleRate, int channelCount) {
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channelCount);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

QAudioFormat FormatOf(const PcmClip& clip) {
    return FormatOf(clip.sampleRate, clip.channelCount);
}

// Starts the sink for `clipBytes` of samples; the device to write them into, or nullptr when
// the stream does not open.
QIODevice* StartSink(QAudioSink& sink, qint64 clipBytes) {
    QIODevice* output = sink.start();
    if (output != nullptr && sink.bufferSize() > clipBytes) {
        // The server starts playing once its buffer is full; a clip shorter than the buffer
        // would never fill it and never be heard.
        sink.stop();
        sink.setBufferSize(clipBytes);
        output = sink.start();
    }
    if (output == nullptr || sink.state() == QAudio::StoppedState) {
        return nullptr;
    }
    return output;
}

// Hands a clip to a started sink as the sink makes room for it, and tells when it has been heard
// to its end.
//
// The clip has ended when all of it has been handed over, the sink has gone idle (the server has
// drained its buffer: stopping earlier would lose the last few milliseconds) and the sink's
// played-out time (processedUSecs, which allows for the server's latency) has reached the clip's
// length. Between looks, wait about as long as is left, so that the end is noticed promptly, but
// while samples are still to be handed over, no longer than half of what the server's buffer
// holds.
class ClipFeed {
public:
    ClipFeed(const PcmClip& clip, QAudioSink& sink, QIODevice& output)
        : pcm_(clip.samples), sink_(sink), output_(output), lengthUs_(clip.durationUs()),
          feedingMs_(std::clamp(sink.bufferSize() * 1000 /
                                    (qint64(clip.sampleRate) * clip.bytesPerFrame()) / 2,
                                kMinCheckMs, kMaxCheckMs)) {}

    // Writes as much of the rest of the clip as the sink has room for.
    void feed() {
        const qint64 room = std::min<qint64>(sink_.bytesFree(), pcm_.size() - written_);
        if (room > 0) {
            const qint64 taken = output_.write(pcm_.constData() + written_, room);
            written_ += std::max<qint64>(taken, 0);
        }
    }

    // Feeds the sink; how long to wait before the next look, or nothing once the clip has ended
    // or the sink has stopped.
    std::optional<int> look() {
        feed();
        if (sink_.state() == QAudio::StoppedState) {
            return std::nullopt;
        }
        const qint64 played = sink_.processedUSecs();
        if (written_ == pcm_.size() && sink_.state() == QAudio::IdleState && played >= lengthUs_) {
            return std::nullopt;
        }
        return nextCheckMs(played);
    }

    int nextCheckMs(qint64 playedUs) const {
        const qint64 most = written_ < pcm_.size() ? feedingMs_ : kMaxCheckMs;
        return int(std::clamp((lengthUs_ - playedUs) / 1000, kMinCheckMs, most));
    }

private:
    const QByteArray& pcm_;
    QAudioSink& sink_;
    QIODevice& output_;
    const qint64 lengthUs_;
    const qint64 feedingMs_;
    qint64 written_ = 0;
};

// Feeds the clip into the started sink and runs the event loop until the clip has been heard to
// its end, the sink stops, or the guard runs out; then stops the sink.
void PlayToEnd(const PcmClip& clip, QAudioSink& sink, QIODevice& output) {
    ClipFeed feed(clip, sink, output);
    feed.feed();
    QEventLoop loop;
    QTimer check;
    check.setSingleShot(true);
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (const std::optional<int> waitMs = feed.look()) {
            check.start(*waitMs);
        } else {
            loop.quit();
        }
    });
    QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State state) {
        if (state == QAudio::StoppedState) {
            loop.quit();
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);

    guard.start(int(clip.durationUs() / 1000) + kGuardMarginMs);
    check.start(feed.nextCheckMs(0));
    loop.exec();
    sink.stop();
}

} // namespace

SoundOutput::Outcome QtAudioOutput::play(const PcmClip& pcm) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return Outcome::NotOpened;
    // Fed by hand rather than pulled from a QBuffer: a pulling sink waits for its first 20 ms
    // tick before it takes any data.
    QAudioSink sink(device, FormatOf(pcm));
    QIODevice* output = StartSink(sink, pcm.samples.size());
    if (output == nullptr)
        return Outcome::NotOpened;
    PlayToEnd(pcm, sink, *output);
    return Outcome::Heard;
}

bool QtAudioOutput::canOpen() {
    // Without a sound server Qt lists no device at all.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    // A listed device may still refuse a stream (a server that turns clients away, a card in
    // use).
    QAudioSink sink(device, FormatOf(22050, 1));
    const QIODevice* output = sink.start();
    const bool opened = output != nullptr && sink.state() != QAudio::StoppedState;
    sink.stop();
    return opened;
}

} // namespace morvantide
