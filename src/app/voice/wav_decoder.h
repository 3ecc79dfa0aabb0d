#pragma once

#include "voice/pcm_clip.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace morvantide {

// Decodes a RIFF WAVE file of uncompressed 16-bit mono PCM, the one format the built-in clips
// use. Anything else (another encoding, more channels, another sample size, a file cut short, a
// chunk that runs past the end, no samples) is rejected: the result is empty and `error`, when
// given, says why.
std::optional<PcmClip> DecodeWav(QByteArrayView bytes, QString* error = nullptr);

} // namespace morvantide
