#pragma once

#include "user_dialogs.h"

class QFont;

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

// The font window managers draw captions in, as well as the desktop lets us know it: its title
// font, bold as most themes draw it.
QFont CaptionFont();

// The narrowest box in which the window manager shows `caption` whole beside the frame's
// buttons (icon, minimise, maximise, close).
int BoxWidthForCaption(const QString& caption);

} // namespace morvantide
