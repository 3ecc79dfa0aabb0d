#pragma once

#include <QColor>

class QApplication;

namespace morvantide {

// The grey margin around the board picture; the windows' background.
inline const QColor kBoardMarginGrey{212, 208, 200};

// What the program sets up before its first window: Russian for Qt's own dialogs and the
// numbers and dates they show, stand-ins for the layout's fonts where they are not installed,
// the windows' background and the icon.
void setUpProgram(QApplication& application);

} // namespace morvantide
