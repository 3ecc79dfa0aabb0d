#include "voice/wav_decoder.h"

#include <QSysInfo>
#include <QtEndian>

namespace morvantide {

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;

quint16 le16(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 le32(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

// A chunk id for an error message; ids are four ASCII characters in a well-formed file.
QString printableId(QByteArrayView id) {
    QString text;
    for (char c : id) {
        text += (c >= 0x20 && c < 0x7f) ? QChar::fromLatin1(c) : QChar(u'?');
    }
    return text;
}

struct FormatChunk {
    quint16 formatTag = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bitsPerSample = 0;
};

} // namespace

std::optional<PcmClip> decodeWav(QByteArrayView bytes, QString* error) {
    auto reject = [error](const QString& why) -> std::optional<PcmClip> {
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };

    if (bytes.size() < 12) {
        return reject(QStringLiteral("too short for a RIFF header (%1 bytes)").arg(bytes.size()));
    }
    if (bytes.first(4) != QByteArrayView("RIFF")) {
        return reject(QStringLiteral("not a RIFF file"));
    }
    if (bytes.sliced(8, 4) != QByteArrayView("WAVE")) {
        return reject(QStringLiteral("a RIFF file, but not a WAVE file"));
    }
    const qint64 riffEnd = 8 + qint64(le32(bytes, 4));
    if (riffEnd > bytes.size()) {
        return reject(QStringLiteral("cut short: the RIFF header announces %1 bytes, there are %2")
                          .arg(riffEnd)
                          .arg(bytes.size()));
    }

    std::optional<FormatChunk> format;
    std::optional<QByteArrayView> data;
    // Chunks: a four-character id, a 32-bit size, the body, and a pad byte after an odd size.
    qint64 at = 12;
    while (at + 8 <= riffEnd) {
        const QByteArrayView id = bytes.sliced(at, 4);
        const qint64 size = le32(bytes, at + 4);
        const qint64 body = at + 8;
        if (size > riffEnd - body) {
            return reject(QStringLiteral("the chunk \"%1\" runs past the end of the file")
                              .arg(printableId(id)));
        }
        if (id == QByteArrayView("fmt ")) {
            if (size < 16) {
                return reject(QStringLiteral("the fmt chunk is too short (%1 bytes)").arg(size));
            }
            format =
                FormatChunk{le16(bytes, body),     le16(bytes, body + 2),  le32(bytes, body + 4),
                            le32(bytes, body + 8), le16(bytes, body + 12), le16(bytes, body + 14)};
        } else if (id == QByteArrayView("data")) {
            data = bytes.sliced(body, size);
        }
        at = body + size + (size & 1);
    }

    if (!format) {
        return reject(QStringLiteral("no fmt chunk"));
    }
    if (format->formatTag != kFormatPcm) {
        return reject(
            QStringLiteral("not uncompressed PCM (format tag %1)").arg(format->formatTag));
    }
    if (format->channels != 1) {
        return reject(QStringLiteral("%1 channels, expected mono").arg(format->channels));
    }
    if (format->bitsPerSample != 16) {
        return reject(QStringLiteral("%1 bits per sample, expected 16").arg(format->bitsPerSample));
    }
    if (format->sampleRate < kMinSampleRate || format->sampleRate > kMaxSampleRate) {
        return reject(
            QStringLiteral("an implausible sample rate of %1 Hz").arg(format->sampleRate));
    }
    if (format->blockAlign != 2 || format->byteRate != format->sampleRate * 2) {
        return reject(QStringLiteral("inconsistent fmt chunk (block align %1, byte rate %2)")
                          .arg(format->blockAlign)
                          .arg(format->byteRate));
    }
    if (!data) {
        return reject(QStringLiteral("no data chunk"));
    }
    if (data->isEmpty()) {
        return reject(QStringLiteral("the data chunk holds no samples"));
    }
    if (data->size() % 2 != 0) {
        return reject(QStringLiteral("the data chunk ends inside a sample"));
    }

    PcmClip clip;
    clip.sampleRate = int(format->sampleRate);
    clip.channelCount = 1;
    clip.bitsPerSample = 16;
    clip.samples = data->toByteArray();
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        auto* samples = reinterpret_cast<qint16*>(clip.samples.data());
        qFromLittleEndian<qint16>(samples, clip.samples.size() / 2, samples);
    }
    return clip;
}

} // namespace morvantide
