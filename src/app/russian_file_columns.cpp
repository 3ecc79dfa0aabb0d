#include "russian_file_columns.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QLocale>

namespace morvantide {

namespace {

enum Column { KSize = 1, KType, KDate };

const QLocale& Russian() {
    static const QLocale kLocale(QLocale::Russian, QLocale::Russia);
    return kLocale;
}

// "1 байт", "2 байта", "5 байт", "12 байт", "22 байта".
QString BytesWord(qint64 count) {
    const qint64 lastTwo = count % 100;
    const qint64 last = count % 10;
    if (lastTwo < 11 || lastTwo > 14) {
        if (last >= 2 && last <= 4)
            return QStringLiteral("байта");
    }
    return QStringLiteral("байт");
}

} // namespace

QString RussianFileColumns::sizeText(qint64 bytes) {
    if (bytes < 1024)
        return Russian().toString(bytes) + QLatin1Char(' ') + BytesWord(bytes);
    return Russian().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QVariant RussianFileColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole)
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    switch (index.column()) {
    case KSize:
        return files->isDir(source) ? QString() : sizeText(files->size(source));
    case KType:
        // Qt's translations do not cover the folder's type; files are named by their MIME
        // type's comment in the default (Russian) locale, except this program's own files,
        // which the MIME database takes for SPSS data.
        if (files->isDir(source))
            return QStringLiteral("Папка");
        if (files->fileInfo(source).fileName().endsWith(QStringLiteral(".sav"),
                                                        Qt::CaseInsensitive))
            return QStringLiteral("Сохраненная игра");
        return files->type(source);
    case KDate:
        return Russian().toString(files->lastModified(source), QLocale::ShortFormat);
    default:
        return QIdentityProxyModel::data(index, role);
    }
}

} // namespace morvantide
