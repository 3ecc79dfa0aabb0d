#include "qt_user_dialogs.h"

#include "application_title.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace morvantide {

namespace {

void runBox(QWidget* owner, QMessageBox::Icon icon, const QString& text,
            const QString& caption = applicationTitle()) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    // Message boxes stand in the middle of the screen, not of the window.
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        box.move(screen->geometry().center() - box.rect().center());
    box.exec();
}

QString runFileDialog(QWidget* owner, const QString& filter, const QString& lastName,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, QString(), QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    // A typed name need not exist, for opening too: the command reports a missing file.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!lastName.isEmpty())
        dialog.selectFile(lastName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtUserDialogs::showMessage(QWidget* owner, const QString& text) {
    runBox(owner, QMessageBox::NoIcon, text);
}

void QtUserDialogs::showFileError(QWidget* owner, const QString& text) {
    runBox(owner, QMessageBox::Critical, text);
}

void QtUserDialogs::showInformation(QWidget* owner, const QString& caption, const QString& text) {
    runBox(owner, QMessageBox::Information, text, caption);
}

QString QtUserDialogs::chooseOpenFile(QWidget* owner, const QString& filter,
                                      const QString& lastName) {
    return runFileDialog(owner, filter, lastName, QFileDialog::AcceptOpen);
}

QString QtUserDialogs::chooseSaveFile(QWidget* owner, const QString& filter,
                                      const QString& lastName) {
    return runFileDialog(owner, filter, lastName, QFileDialog::AcceptSave);
}

} // namespace morvantide
