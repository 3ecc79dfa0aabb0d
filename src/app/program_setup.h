#pragma once

#include <QStringList>

class QApplication;

namespace morvantide {

// What the program sets up before its first window: the Russian translation of Qt's own
// dialogs, stand-ins for the layout's fonts where they are not installed, and the icon.
void setUpProgram(QApplication& application);

// What the program needs before its window shows, that may be prepared on another thread while
// the application object connects to the display: fontconfig's configuration and the pictures
// of the normal-density screen, decoded. It must have ended before the window is made.
void prepareAhead();

} // namespace morvantide
