#include "main_window.h"
#include "morvantide/instance_lock.h"
#include "morvantide/saved_game_file.h"
#include "morvantide/settings.h"
#include "morvantide/settings_file.h"
#include "program_setup.h"
#include "qt_user_dialogs.h"
#include "voice/loaded_clip_player.h"
#include "window_placement.h"

#include <QApplication>
#include <QFile>
#include <latch>
#include <thread>

namespace {

// On a Wayland session Qt cannot place a window, so the window's place from the settings file
// would be ignored; through the session's X server it can. An explicit platform choice wins.
void PreferX11OnWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace morvantide;
    PreferX11OnWayland();
    IgnoreFileSizeLimitSignal();
    // fontconfig reads its configuration (some 10 ms) while Qt connects to the display, and
    // the pictures are decoded while this copy takes the lock; the window needs both next. The
    // helper touches nothing of Qt's before the application object exists: Qt takes the first
    // thread that makes a Qt object for its main thread, and is not to be used by two threads
    // while that object is being made.
    std::latch applicationMade(1);
    std::thread ahead([&applicationMade] {
        PrepareFontsAhead();
        applicationMade.wait();
        PreparePicturesAhead();
    });
    QApplication application(argc, argv);
    applicationMade.count_down();
    // The lock comes first: whether this copy may run is known before anything else happens.
    // This copy holds its part of it until the process ends.
    const std::unique_ptr<InstanceLock> instanceLock = TakeInstanceLock();
    const bool refused = MustRefuseToStart(instanceLock.get(), ProgramArguments());
    ahead.join();
    SetUpProgram(application);

    // The voice starts switched off; its module is loaded with the first clip.
    LoadedClipPlayer voice;
    QtUserDialogs dialogs;
    MainWindow window(voice, dialogs);
    if (refused) {
        // The box belongs to the main window, which is never shown; the copy ends when the box
        // is closed.
        ShowRefusal(dialogs, window);
        return 0;
    }
    const SettingsFile settings(
        SettingsPathFor(QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString()));
    PlaceWindowFromSettings(window, settings);
    window.show();
    return application.exec();
}
