#include "program_setup.h"

#include "about_window.h"
#include "frame.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QTranslator>

namespace morvantide {

namespace {

// The interface is Russian whatever the locale settings say (LANG may be unset or C): Qt's own
// texts, and the numbers, dates and file types its dialogs show.
void installRussianTranslation(QApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
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

// Both windows stand on the grey of the board picture's margin, the button face the layout was
// drawn for, so the board has no seam. Every other role keeps the desktop's colour.
void useBoardMarginGrey() {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, kBoardMarginGrey);
    for (const QMetaObject& window : {TFrame::staticMetaObject, TForm1::staticMetaObject})
        QApplication::setPalette(palette, window.className());
}

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/morvantide-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

void setUpProgram(QApplication& application) {
    installRussianTranslation(application);
    substituteLayoutFonts();
    useBoardMarginGrey();
    QApplication::setWindowIcon(windowIcon());
}

} // namespace morvantide
