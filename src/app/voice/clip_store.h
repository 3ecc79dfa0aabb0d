#pragma once

#include "voice/pcm_clip.h"

#include <QString>
#include <map>
#include <optional>

namespace morvantide {

// The clips of one folder, by default the program's built-in set (":/clips"). Every "*.wav" file
// there is a clip named after the file without its extension, in upper case; names are looked up
// without regard to case. A clip is read and decoded the first time it is asked for, and kept.
class ClipStore {
public:
    explicit ClipStore(const QString& folder = QStringLiteral(":/clips"));

    // The decoded clip, or nullptr when there is no such clip or its file cannot be decoded; a
    // file that cannot be decoded is named on standard error with the reason, once. The pointer
    // stays valid for the life of the store.
    const PcmClip* clip(const QString& name);

private:
    struct Entry {
        QString path;
        bool loaded = false;
        std::optional<PcmClip> clip;
    };

    static QString key(const QString& name) { return name.toUpper(); }

    std::map<QString, Entry> entries_;
};

} // namespace morvantide
