#include "wav_bytes.h"

#include <QtEndian>

QByteArray LittleEndian16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray LittleEndian32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray Chunk(const QByteArray& id, const QByteArray& body) {
    QByteArray bytes = id + LittleEndian32(quint32(body.size())) + body;
    if (body.size() % 2 != 0)
        bytes += '\0';
    return bytes;
}

QByteArray FmtChunk(quint16 tag, quint16 channels, quint32 rate, quint16 bits) {
    const quint16 blockAlign = quint16(channels * bits / 8);
    return Chunk("fmt ", LittleEndian16(tag) + LittleEndian16(channels) + LittleEndian32(rate) +
                             LittleEndian32(rate * blockAlign) + LittleEndian16(blockAlign) +
                             LittleEndian16(bits));
}

QByteArray Riff(const QByteArray& chunks, const QByteArray& form) {
    return "RIFF" + LittleEndian32(quint32(4 + chunks.size())) + form + chunks;
}

QByteArray MonoWav(quint32 rate, const QByteArray& samples) {
    return Riff(FmtChunk(1, 1, rate) + Chunk("data", samples));
}
