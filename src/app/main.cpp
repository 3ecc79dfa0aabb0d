#include "frame.h"
#include "morvantide/instance_lock.h"
#include "program_setup.h"
#include "qt_user_dialogs.h"
#include "voice/loaded_clip_player.h"

#include <QApplication>
#include <thread>

namespace {

// On a Wayland session Qt cannot place a window, so the window's place from the settings file
// would be ignored; through the session's X server it can. An explicit platform choice wins.
void preferX11OnWayland() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11OnWayland();
    // fontconfig reads its configuration (some 10 ms) and the pictures are decoded while Qt
    // connects to the display; the window needs both next.
    std::thread ahead(morvantide::prepareAhead);
    QApplication application(argc, argv);
    // The lock comes first: whether this copy may run is known before anything else happens.
    std::unique_ptr<morvantide::InstanceLock> instanceLock = morvantide::takeInstanceLock();
    const bool refused =
        morvantide::mustRefuseToStart(instanceLock.get(), morvantide::programArguments());
    ahead.join();
    morvantide::setUpProgram(application);

    // The voice starts switched off; its module is loaded with the first clip.
    morvantide::LoadedClipPlayer voice;
    morvantide::QtUserDialogs dialogs;
    morvantide::TFrame frame(voice, dialogs, std::move(instanceLock));
    if (refused) {
        // The box belongs to the main window, which is never shown; the copy ends when the box
        // is closed.
        morvantide::showRefusal(dialogs, frame);
        return 0;
    }
    frame.show();
    return application.exec();
}
