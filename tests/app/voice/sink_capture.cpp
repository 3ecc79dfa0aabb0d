#include "sink_capture.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

SinkCapture::SinkCapture()
    : path_(qEnvironmentVariable("MORVANTIDE_SINK_CAPTURE")),
      rate_(qEnvironmentVariableIntValue("MORVANTIDE_SINK_RATE")),
      channels_(qEnvironmentVariableIntValue("MORVANTIDE_SINK_CHANNELS")) {}

qint64 SinkCapture::frameCount() const {
    return QFileInfo(path_).size() / (4 * qint64(channels_));
}

QVector<qint16> SinkCapture::samplesFrom(qint64 firstFrame) const {
    QVector<qint16> samples;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(firstFrame * 4 * channels_)) {
        return samples;
    }
    const QByteArray bytes = file.readAll();
    const qint64 frameBytes = 4 * qint64(channels_);
    samples.reserve(bytes.size() / frameBytes);
    for (qint64 at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
        // The server widens a 16-bit sample by about 2^16, possibly through floating point
        // (off by one in the low bits), so round rather than shift.
        const qint64 wide = qFromLittleEndian<qint32>(bytes.constData() + at);
        samples.append(qint16(std::clamp<qint64>((wide + 0x8000) >> 16, -32768, 32767)));
    }
    return samples;
}
