#include "russian_file_columns.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QLocale>

namespace morvantide {

namespace {

enum Column { kSize = 1, kType, kDate };

const QLocale& russian() {
    static const QLocale locale(QLocale::Russian, QLocale::Russia);
    return locale;
}

// "1 байт", "2 байта", "5 байт", "12 байт", "22 байта".
QString bytesWord(qint64 count) {
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
        return russian().toString(bytes) + QLatin1Char(' ') + bytesWord(bytes);
    return russian().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QVariant RussianFileColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::DisplayRole)
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    switch (index.column()) {
    case kSize:
        return files->isDir(source) ? QString() : sizeText(files->size(source));
    case kType:
        // Qt's translations do not cover the folder's type; files are named by their MIME
        // type's comment in the default (Russian) locale, except this program's own files,
        // which the MIME database takes for SPSS data.
        if (files->isDir(source))
            return QStringLiteral("Папка");
        if (files->fileInfo(source).fileName().endsWith(QStringLiteral(".sav"),
                                                        Qt::CaseInsensitive))
            return QStringLiteral("Сохраненная игра");
        return files->type(source);
    case kDate:
        return russian().toString(files->lastModified(source), QLocale::ShortFormat);
    default:
        return QIdentityProxyModel::data(index, role);
    }
}

} // namespace morvantide
