#include "voice/audio_clip_player.h"

#include "voice/input_blocker.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMediaDevices>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>

namespace morvantide {

namespace {

// Extra time a clip may take beyond its length before playback is abandoned.
constexpr int kGuardMarginMs = 2000;
// Bounds of the wait between two looks at the sink's progress.
constexpr qint64 kMinCheckMs = 2;
constexpr qint64 kMaxCheckMs = 40;

QAudioFormat formatOf(int sampleRate, int channelCount) {
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channelCount);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

QAudioFormat formatOf(const PcmClip& clip) {
    return formatOf(clip.sampleRate, clip.channelCount);
}

} // namespace

AudioClipPlayer::AudioClipPlayer() : AudioClipPlayer(ClipStore()) {}

AudioClipPlayer::AudioClipPlayer(ClipStore store) : store_(std::move(store)) {}

std::optional<QString> AudioClipPlayer::unavailableReason() {
    const QString noOutput = QStringLiteral("нет вывода звука");
    // Without a sound server Qt lists no device at all.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return noOutput;
    }
    // A listed device may still refuse a stream (a server that turns clients away, a card in
    // use): open one as a Russian clip would.
    const InputBlocker blocker;
    QAudioSink sink(device, formatOf(22050, 1));
    const QIODevice* output = sink.start();
    const bool opened = output != nullptr && sink.state() != QAudio::StoppedState;
    sink.stop();
    if (!opened) {
        return noOutput;
    }
    return std::nullopt;
}

void AudioClipPlayer::playClip(const QString& name) {
    if (playing_) {
        return;
    }
    const PcmClip* clip = store_.clip(name);
    if (clip == nullptr) {
        return;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return;
    }
    const QScopedValueRollback busy(playing_, true);

    // Declared before the sink: the sink's destructor runs pending events, and input among them
    // must still be swallowed.
    const InputBlocker blocker;

    // A fresh sink per clip: reusing one across clips makes Qt shrink its buffer on every start,
    // and opening a stream costs only a few milliseconds.
    QAudioSink sink(device, formatOf(*clip));
    // Fed by hand rather than pulled from a QBuffer: a pulling sink waits for its first 20 ms
    // tick before it takes any data, which would be heard as a longer pause between clips.
    QIODevice* output = sink.start();
    const QByteArray& pcm = clip->samples;
    if (output != nullptr && sink.bufferSize() > pcm.size()) {
        // The server starts playing once its buffer is full; a clip shorter than the buffer
        // would never fill it and never be heard.
        sink.stop();
        sink.setBufferSize(pcm.size());
        output = sink.start();
    }
    if (output == nullptr || sink.state() == QAudio::StoppedState) {
        return;
    }
    const qint64 bytesPerSecond = qint64(clip->sampleRate) * clip->bytesPerFrame();
    qint64 written = 0;
    auto feed = [&] {
        const qint64 room = std::min<qint64>(sink.bytesFree(), pcm.size() - written);
        if (room > 0) {
            const qint64 taken = output->write(pcm.constData() + written, room);
            written += std::max<qint64>(taken, 0);
        }
    };
    feed();

    // The clip has ended when all of it has been handed over, the sink has gone idle (the server
    // has drained its buffer: stopping earlier would lose the last few milliseconds) and the
    // sink's played-out time (processedUSecs, which allows for the server's latency) has reached
    // the clip's length. Between looks, wait about as long as is left, so that the end is noticed
    // promptly, but while samples are still to be handed over, no longer than half of what the
    // server's buffer holds.
    const qint64 lengthUs = clip->durationUs();
    const qint64 bufferMs = sink.bufferSize() * 1000 / bytesPerSecond;
    const qint64 feedingMs = std::clamp(bufferMs / 2, kMinCheckMs, kMaxCheckMs);
    auto nextCheckMs = [&](qint64 playedUs) {
        const qint64 most = written < pcm.size() ? feedingMs : kMaxCheckMs;
        return int(std::clamp((lengthUs - playedUs) / 1000, kMinCheckMs, most));
    };
    QEventLoop loop;
    QTimer check;
    check.setSingleShot(true);
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        feed();
        if (sink.state() == QAudio::StoppedState) {
            loop.quit();
            return;
        }
        const qint64 played = sink.processedUSecs();
        if (written == pcm.size() && sink.state() == QAudio::IdleState && played >= lengthUs) {
            loop.quit();
            return;
        }
        check.start(nextCheckMs(played));
    });
    QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State state) {
        if (state == QAudio::StoppedState) {
            loop.quit();
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);

    guard.start(int(lengthUs / 1000) + kGuardMarginMs);
    check.start(nextCheckMs(0));
    loop.exec();
    sink.stop();

    // Input that reached the application while the clip played but has not been delivered yet
    // is dropped here too, not handed to the window afterwards.
    QCoreApplication::processEvents();
}

} // namespace morvantide
