#include "voice/clip_store.h"

#include "voice/wav_decoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace morvantide {

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

QStringList ClipStore::names() const {
    QStringList list;
    list.reserve(qsizetype(entries_.size()));
    for (const auto& [name, entry] : entries_) {
        list.append(name);
    }
    return list;
}

bool ClipStore::contains(const QString& name) const {
    return entries_.find(key(name)) != entries_.end();
}

const PcmClip* ClipStore::clip(const QString& name) {
    const auto found = entries_.find(key(name));
    if (found == entries_.end()) {
        return nullptr;
    }
    Entry& entry = found->second;
    if (!entry.loaded) {
        entry.loaded = true;
        QFile file(entry.path);
        if (!file.open(QIODevice::ReadOnly)) {
            entry.error = QStringLiteral("%1: %2").arg(entry.path, file.errorString());
        } else {
            QString why;
            entry.clip = DecodeWav(file.readAll(), &why);
            if (!entry.clip) {
                entry.error = QStringLiteral("%1: %2").arg(entry.path, why);
            }
        }
    }
    return entry.clip ? &*entry.clip : nullptr;
}

QString ClipStore::error(const QString& name) const {
    const auto found = entries_.find(key(name));
    if (found == entries_.end()) {
        return QStringLiteral("no clip named \"%1\"").arg(name);
    }
    return found->second.error;
}

} // namespace morvantide
