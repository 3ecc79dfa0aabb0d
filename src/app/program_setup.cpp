#include "program_setup.h"

#include "piece_picture.h"

#include <QApplication>
#include <QDirIterator>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <fontconfig/fontconfig.h>

namespace morvantide {

namespace {

void installRussianTranslation(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

// The layout names Windows fonts; these are the nearest faces that Debian ships.
void substituteLayoutFonts() {
    QFont::insertSubstitutions(QStringLiteral("Courier"),
                               {QStringLiteral("Nimbus Mono PS"), QStringLiteral("Courier New"),
                                QStringLiteral("Liberation Mono"),
                                QStringLiteral("DejaVu Sans Mono")});
    for (const QString& family : {QStringLiteral("MS Sans Serif"), QStringLiteral("Arial")})
        QFont::insertSubstitutions(family,
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Bastarda"),
                               {QStringLiteral("Gamaliel"), QStringLiteral("Blankenburg"),
                                QStringLiteral("DejaVu Serif")});
}

constexpr int kIconSizes[] = {16, 24, 32, 48, 64};

QString iconFile(int size) {
    return QStringLiteral(":/icons/morvantide-%1.png").arg(size);
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : kIconSizes)
        icon.addPixmap(loadPicture(iconFile(size), false));
    return icon;
}

} // namespace

void prepareAhead() {
    FcInit();
    QStringList pictures;
    QDirIterator files(QStringLiteral(":/images"), {QStringLiteral("*.png")}, QDir::Files);
    while (files.hasNext()) {
        const QString path = files.next();
        if (!path.endsWith(QStringLiteral("@2x.png")))
            pictures.append(path);
    }
    for (int size : kIconSizes)
        pictures.append(iconFile(size));
    decodePicturesAhead(pictures);
}

void setUpProgram(QApplication& application) {
    installRussianTranslation(application);
    substituteLayoutFonts();
    QApplication::setWindowIcon(windowIcon());
}

} // namespace morvantide
