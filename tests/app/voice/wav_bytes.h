#pragma once

#include <QByteArray>
#include <QtGlobal>

// Builders of WAV files for the voice tests, well-formed or, piece by piece, not.

QByteArray LittleEndian16(quint16 value);
QByteArray LittleEndian32(quint32 value);

// A RIFF chunk, padded to an even length.
QByteArray Chunk(const QByteArray& id, const QByteArray& body);

// A "fmt " chunk; by default 16-bit mono PCM at 11025 Hz.
QByteArray FmtChunk(quint16 tag = 1, quint16 channels = 1, quint32 rate = 11025, quint16 bits = 16);

// The RIFF file around `chunks`.
QByteArray Riff(const QByteArray& chunks, const QByteArray& form = "WAVE");

// A 16-bit mono PCM file of these little-endian samples at `rate`, as the clips are.
QByteArray MonoWav(quint32 rate, const QByteArray& samples);
