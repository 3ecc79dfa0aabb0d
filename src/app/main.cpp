#include "about_window.h"
#include "frame.h"
#include "program_setup.h"
#include "qt_user_dialogs.h"
#include "voice/audio_clip_player.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    morvantide::setUpProgram(application);

    morvantide::AudioClipPlayer voice;
    morvantide::QtUserDialogs dialogs;
    morvantide::TFrame frame(voice, dialogs);
    frame.show();

    morvantide::TForm1 about(&frame);
    frame.setAboutWindow(&about);

    return application.exec();
}
