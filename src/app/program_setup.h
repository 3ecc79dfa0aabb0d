#pragma once

#include <QColor>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class QApplication;
class QWidget;

namespace morvantide {

class InstanceLock;
class UserDialogs;

// The grey margin around the board picture; the windows' background.
inline const QColor kBoardMarginGrey{212, 208, 200};

// What the program sets up before its first window: Russian for Qt's own dialogs and the
// numbers and dates they show, stand-ins for the layout's fonts where they are not installed,
// the windows' background and the icon.
void SetUpProgram(QApplication& application);

// The per-user lock that tells running copies of the program from a first start.
inline constexpr const char* kInstanceLockName = "vRUMKordelis5";

// This copy's part of the single-instance lock; null when the lock cannot be made, and the
// copy then runs as the first one.
std::unique_ptr<InstanceLock> TakeInstanceLock();

// The program's arguments: the command line after the program name.
std::vector<std::string> ProgramArguments();

// Another copy held the lock when this one took it, and this one was started without "x".
bool MustRefuseToStart(const InstanceLock* lock, const std::vector<std::string>& arguments);

// Tells the user that the program runs already, in a box owned by the main window, which
// exists but is never shown; returns when the box has been closed.
void ShowRefusal(UserDialogs& dialogs, QWidget& mainWindow);

// What the program needs before its window shows, that may be prepared on another thread:
// fontconfig's configuration, which needs nothing of Qt's and may be read before the
// application object exists, and, once it exists, the pictures of the normal-density screen,
// decoded. Both must have ended before the window is made.
void PrepareFontsAhead();
void PreparePicturesAhead();

} // namespace morvantide
