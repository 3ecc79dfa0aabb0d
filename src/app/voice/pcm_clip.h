#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace morvantide {

// A decoded clip: uncompressed PCM samples, in the host's byte order, ready for the audio output.
struct PcmClip {
    int sampleRate = 0;
    int channelCount = 0;
    int bitsPerSample = 0;
    QByteArray samples;

    qint64 bytesPerFrame() const { return qint64(channelCount) * bitsPerSample / 8; }
    qint64 frameCount() const { return bytesPerFrame() > 0 ? samples.size() / bytesPerFrame() : 0; }
    qint64 durationUs() const { return sampleRate > 0 ? frameCount() * 1'000'000 / sampleRate : 0; }
};

} // namespace morvantide
