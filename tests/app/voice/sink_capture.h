#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

// What the private PulseAudio daemon of with-pulse.sh has played: its sink writes raw signed
// 32-bit little-endian frames into a capture file, in real time.
class SinkCapture {
public:
    // Reads the capture's place and format from the environment that with-pulse.sh sets;
    // isValid() is false outside it.
    SinkCapture();

    bool isValid() const { return !path_.isEmpty() && rate_ > 0 && channels_ > 0; }
    QString path() const { return path_; }
    int sampleRate() const { return rate_; }

    // Frames written so far.
    qint64 frameCount() const;
    // The first channel of the frames from `firstFrame` on, narrowed back to 16 bits.
    QVector<qint16> samplesFrom(qint64 firstFrame) const;

private:
    QString path_;
    int rate_ = 0;
    int channels_ = 0;
};
