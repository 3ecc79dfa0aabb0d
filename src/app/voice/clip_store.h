#pragma once

#include "voice/pcm_clip.h"

#include <QString>
#include <QStringList>
#include <map>
#include <optional>

namespace morvantide {

// The clips of one folder, by default the program's built-in set (":/clips"). Every "*.wav" file
// there is a clip named after the file without its extension, in upper case; names are looked up
// without regard to case. A clip is read and decoded the first time it is asked for, and kept.
class ClipStore {
public:
    explicit ClipStore(const QString& folder = QStringLiteral(":/clips"));

    // The clip names in upper case, sorted.
    QStringList names() const;
    bool contains(const QString& name) const;

    // The decoded clip, or nullptr when there is no such clip or its file cannot be decoded;
    // error() then says why. The pointer stays valid for the life of the store.
    const PcmClip* clip(const QString& name);
    QString error(const QString& name) const;

private:
    struct Entry {
        QString path;
        bool loaded = false;
        std::optional<PcmClip> clip;
        QString error;
    };

    static QString key(const QString& name) { return name.toUpper(); }

    std::map<QString, Entry> entries_;
};

} // namespace morvantide
