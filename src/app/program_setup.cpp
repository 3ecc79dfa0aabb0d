#include "program_setup.h"

#include "about_window.h"
#include "layout_fonts.h"
#include "main_window.h"
#include "morvantide/command_line.h"
#include "morvantide/instance_lock.h"
#include "piece_picture.h"
#include "user_dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QTranslator>
#include <QWidget>
#include <fontconfig/fontconfig.h>

namespace morvantide {

namespace {

// The interface is Russian whatever the locale settings say (LANG may be unset or C): Qt's own
// texts, and the numbers, dates and file types its dialogs show.
void InstallRussianTranslation(QApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_ru"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

// Both windows stand on the grey of the board picture's margin, the button face the layout was
// drawn for, so the board has no seam. Every other role keeps the desktop's colour.
void UseBoardMarginGrey() {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, kBoardMarginGrey);
    for (const QMetaObject& window : {MainWindow::staticMetaObject, AboutWindow::staticMetaObject})
        QApplication::setPalette(palette, window.className());
}

constexpr int kIconSizes[] = {16, 24, 32, 48, 64};

QString IconFile(int size) {
    return QStringLiteral(":/icons/morvantide-%1.png").arg(size);
}

QIcon WindowIcon() {
    QIcon icon;
    for (int size : kIconSizes)
        icon.addPixmap(LoadPicture(IconFile(size), false));
    return icon;
}

} // namespace

void PrepareFontsAhead() {
    FcInit();
}

void PreparePicturesAhead() {
    QStringList pictures;
    QDirIterator files(QStringLiteral(":/images"), {QStringLiteral("*.png")}, QDir::Files);
    while (files.hasNext()) {
        const QString path = files.next();
        // The window starts unflipped; the flipped board is read when it is first flipped.
        if (!path.endsWith(QStringLiteral("@2x.png")) && path != kFlippedBoardPicture)
            pictures.append(path);
    }
    for (int size : kIconSizes)
        pictures.append(IconFile(size));
    DecodePicturesAhead(pictures);
}

void SetUpProgram(QApplication& application) {
    InstallRussianTranslation(application);
    SubstituteLayoutFonts();
    UseBoardMarginGrey();
    QApplication::setWindowIcon(WindowIcon());
}

std::unique_ptr<InstanceLock> TakeInstanceLock() {
    auto lock = std::make_unique<InstanceLock>(kInstanceLockName);
    if (!lock->isHeld())
        return nullptr;
    return lock;
}

std::vector<std::string> ProgramArguments() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(all[i].toStdString());
    return arguments;
}

bool MustRefuseToStart(const InstanceLock* lock, const std::vector<std::string>& arguments) {
    return lock && lock->alreadyExisted() && !HasCommandLineSwitch(arguments, "x");
}

void ShowRefusal(UserDialogs& dialogs, QWidget& mainWindow) {
    dialogs.showInformation(&mainWindow, mainWindow.windowTitle(),
                            QStringLiteral("Программа уже запущена! "));
}

} // namespace morvantide
