#include "voice/wav_decoder.h"

#include <QSysInfo>
#include <QtEndian>

namespace morvantide {

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;
// "RIFF", the size of the rest of the file, "WAVE".
constexpr qint64 kRiffHeaderSize = 12;

quint16 ReadLe16(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 ReadLe32(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

// A chunk id for an error message; ids are four ASCII characters in a well-formed file.
QString PrintableId(QByteArrayView id) {
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

// The chunks a clip is made of; the last of each kind counts.
struct WavChunks {
    std::optional<FormatChunk> format;
    std::optional<QByteArrayView> data;
};

// Where the RIFF form ends, as its header announces.
qint64 RiffEnd(QByteArrayView bytes) {
    return 8 + qint64(ReadLe32(bytes, 4));
}

// What is wrong with the RIFF header, or an empty text when it starts a WAVE form that `bytes`
// hold whole.
QString HeaderProblem(QByteArrayView bytes) {
    if (bytes.size() < kRiffHeaderSize) {
        return QStringLiteral("too short for a RIFF header (%1 bytes)").arg(bytes.size());
    }
    if (bytes.first(4) != QByteArrayView("RIFF")) {
        return QStringLiteral("not a RIFF file");
    }
    if (bytes.sliced(8, 4) != QByteArrayView("WAVE")) {
        return QStringLiteral("a RIFF file, but not a WAVE file");
    }
    if (RiffEnd(bytes) > bytes.size()) {
        return QStringLiteral("cut short: the RIFF header announces %1 bytes, there are %2")
            .arg(RiffEnd(bytes))
            .arg(bytes.size());
    }
    return {};
}

// Walks the chunks of a WAVE form whose header is sound, keeping the fmt and data chunks in
// `chunks`; what is wrong with the first chunk that is malformed, or an empty text.
QString ChunksProblem(QByteArrayView bytes, WavChunks* chunks) {
    const qint64 riffEnd = RiffEnd(bytes);
    // Chunks: a four-character id, a 32-bit size, the body, and a pad byte after an odd size.
    qint64 at = kRiffHeaderSize;
    while (at + 8 <= riffEnd) {
        const QByteArrayView id = bytes.sliced(at, 4);
        const qint64 size = ReadLe32(bytes, at + 4);
        const qint64 body = at + 8;
        if (size > riffEnd - body) {
            return QStringLiteral("the chunk \"%1\" runs past the end of the file")
                .arg(PrintableId(id));
        }
        if (id == QByteArrayView("fmt ")) {
            if (size < 16) {
                return QStringLiteral("the fmt chunk is too short (%1 bytes)").arg(size);
            }
            chunks->format = FormatChunk{ReadLe16(bytes, body),      ReadLe16(bytes, body + 2),
                                         ReadLe32(bytes, body + 4),  ReadLe32(bytes, body + 8),
                                         ReadLe16(bytes, body + 12), ReadLe16(bytes, body + 14)};
        } else if (id == QByteArrayView("data")) {
            chunks->data = bytes.sliced(body, size);
        }
        at = body + size + (size & 1);
    }
    return {};
}

// What keeps the samples from being 16-bit mono PCM, or an empty text.
QString FormatProblem(const std::optional<FormatChunk>& format) {
    if (!format) {
        return QStringLiteral("no fmt chunk");
    }
    if (format->formatTag != kFormatPcm) {
        return QStringLiteral("not uncompressed PCM (format tag %1)").arg(format->formatTag);
    }
    if (format->channels != 1) {
        return QStringLiteral("%1 channels, expected mono").arg(format->channels);
    }
    if (format->bitsPerSample != 16) {
        return QStringLiteral("%1 bits per sample, expected 16").arg(format->bitsPerSample);
    }
    if (format->sampleRate < kMinSampleRate || format->sampleRate > kMaxSampleRate) {
        return QStringLiteral("an implausible sample rate of %1 Hz").arg(format->sampleRate);
    }
    if (format->blockAlign != 2 || format->byteRate != format->sampleRate * 2) {
        return QStringLiteral("inconsistent fmt chunk (block align %1, byte rate %2)")
            .arg(format->blockAlign)
            .arg(format->byteRate);
    }
    return {};
}

// What keeps the data chunk from holding whole 16-bit samples, or an empty text.
QString DataProblem(const std::optional<QByteArrayView>& data) {
    if (!data) {
        return QStringLiteral("no data chunk");
    }
    if (data->isEmpty()) {
        return QStringLiteral("the data chunk holds no samples");
    }
    if (data->size() % 2 != 0) {
        return QStringLiteral("the data chunk ends inside a sample");
    }
    return {};
}

// What keeps `bytes` from being a clip, in the order a reader meets it, or an empty text; fills
// `chunks` on the way.
QString Problem(QByteArrayView bytes, WavChunks* chunks) {
    QString problem = HeaderProblem(bytes);
    if (problem.isEmpty()) {
        problem = ChunksProblem(bytes, chunks);
    }
    if (problem.isEmpty()) {
        problem = FormatProblem(chunks->format);
    }
    if (problem.isEmpty()) {
        problem = DataProblem(chunks->data);
    }
    return problem;
}

PcmClip ClipOf(const FormatChunk& format, QByteArrayView data) {
    PcmClip clip;
    clip.sampleRate = int(format.sampleRate);
    clip.channelCount = 1;
    clip.bitsPerSample = 16;
    clip.samples = data.toByteArray();
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        auto* samples = reinterpret_cast<qint16*>(clip.samples.data());
        qFromLittleEndian<qint16>(samples, clip.samples.size() / 2, samples);
    }
    return clip;
}

} // namespace

std::optional<PcmClip> DecodeWav(QByteArrayView bytes, QString* error) {
    WavChunks chunks;
    const QString problem = Problem(bytes, &chunks);
    if (!problem.isEmpty()) {
        if (error != nullptr) {
            *error = problem;
        }
        return std::nullopt;
    }
    return ClipOf(*chunks.format, *chunks.data);
}

} // namespace morvantide
