#pragma once

#include <QString>

class QWidget;

namespace morvantide {

// The modal boxes and file dialogs the window opens. Tests answer them through this interface.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // The plain message box: the text, one OK button, no icon, the application title.
    virtual void showMessage(QWidget* owner, const QString& text) = 0;
    // A file error: the text, a stop icon, the application title.
    virtual void showFileError(QWidget* owner, const QString& text) = 0;
    // The system's box for a notice: the text, one OK button, an information icon and the
    // given caption. Returns when it has been closed.
    virtual void showInformation(QWidget* owner, const QString& caption, const QString& text) = 0;
    // The chosen full file name, or an empty string when the dialog was cancelled.
    virtual QString chooseOpenFile(QWidget* owner, const QString& filter,
                                   const QString& lastName) = 0;
    virtual QString chooseSaveFile(QWidget* owner, const QString& filter,
                                   const QString& lastName) = 0;
};

} // namespace morvantide
