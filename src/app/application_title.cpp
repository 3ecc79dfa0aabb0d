#include "application_title.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace morvantide {

QString ApplicationTitle(const QString& executablePath) {
    QString name = QFileInfo(executablePath).fileName();
    name.truncate(name.indexOf(QLatin1Char('.')) >= 0 ? name.indexOf(QLatin1Char('.'))
                                                      : name.size());
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString ApplicationTitle() {
    return ApplicationTitle(QCoreApplication::applicationFilePath());
}

} // namespace morvantide
