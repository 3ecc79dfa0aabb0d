#pragma once

#include "user_dialogs.h"

namespace morvantide {

// The real boxes and file dialogs: Qt's own widgets, so they look the same on every desktop
// and speak Russian with Qt's translations.
class QtUserDialogs : public UserDialogs {
public:
    void showMessage(QWidget* owner, const QString& text) override;
    void showFileError(QWidget* owner, const QString& text) override;
    void showInformation(QWidget* owner, const QString& caption, const QString& text) override;
    QString chooseOpenFile(QWidget* owner, const QString& filter, const QString& lastName) override;
    QString chooseSaveFile(QWidget* owner, const QString& filter, const QString& lastName) override;
};

} // namespace morvantide
