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
#include <QThread>
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
    // Qt takes the first thread that asks for its thread data for its main thread. The helper
    // below makes Qt objects (an image reader's file) before the application exists, so this
    // thread asks first: a copy whose Qt main thread had ended with the helper would never
    // end when its window closed.
    QThread::currentThread();
    // fontconfig reads its configuration (some 10 ms) and the pictures are decoded while Qt
    // connects to the display; the window needs both next.
    std::thread ahead(PrepareAhead);
    QApplication application(argc, argv);
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
