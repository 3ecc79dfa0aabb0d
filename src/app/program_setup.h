#pragma once

class QApplication;

namespace morvantide {

// What the program sets up before its first window: the Russian translation of Qt's own
// dialogs, stand-ins for the layout's fonts where they are not installed, and the icon.
void setUpProgram(QApplication& application);

} // namespace morvantide
