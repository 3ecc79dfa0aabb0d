#include "voice/clip_store.h"

#include "voice/wav_decoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

namespace morvantide {

namespace {

// The clip in the file at `path`, or nothing, with the reason on standard error.
std::optional<PcmClip> ReadClip(const QString& path) {
    QFile file(path);
    QString why;
    std::optional<PcmClip> clip;
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
    } else {
        clip = DecodeWav(file.readAll(), &why);
    }
    if (!clip) {
        qWarning().noquote() << "A clip cannot be played:"
                             << QStringLiteral("%1: %2").arg(path, why);
    }
    return clip;
}

} // namespace

ClipStore::ClipStore(const QString& folder) {
    const QDir dir(folder);
    const QStringList files =
        dir.entryList({QStringLiteral("*.wav")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& file : files) {
        const QString name = key(QFileInfo(file).completeBaseName());
        // Two files that differ only in case would share a name: the first one is kept.
        Entry entry;
        entry.path = dir.filePath(file);
        entries_.try_emplace(name, std::move(entry));
    }
}

const PcmClip* ClipStore::clip(const QString& name) {
    const auto found = entries_.find(key(name));
    if (found == entries_.end()) {
        return nullptr;
    }
    Entry& entry = found->second;
    if (!entry.loaded) {
        entry.loaded = true;
        entry.clip = ReadClip(entry.path);
    }
    return entry.clip ? &*entry.clip : nullptr;
}

} // namespace morvantide
