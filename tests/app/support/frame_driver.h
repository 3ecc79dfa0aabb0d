#pragma once

#include "flat_button.h"
#include "frame.h"
#include "piece_picture.h"
#include "test_doubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace morvantide {

// A main window with stand-ins for the voice and the dialogs, and the moves a player makes
// with the mouse on its piece pictures.
class FrameDriver {
public:
    FrameDriver() : frame((useOwnRuntimeFolder(), std::make_unique<TFrame>(voice, dialogs))) {}

    // Each test program takes the single-instance lock in a runtime folder of its own, so
    // tests running side by side, or a copy of the program in use, never refuse each other.
    static void useOwnRuntimeFolder() {
        static QTemporaryDir folder;
        if (qgetenv("XDG_RUNTIME_DIR") != QFile::encodeName(folder.path()))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    }

    // Shows the window and waits for its first activation, which plays the new game.
    bool start() {
        frame->show();
        return QTest::qWaitForWindowActive(frame.get());
    }

    PiecePicture* picture(int slot) const { return frame->PieceImages[std::size_t(slot)]; }

    // The window point where the centre of `square` ("e4") is drawn, flipped or not.
    QPoint squareCentre(const char* square) const {
        const int x = 52 + 40 * (square[0] - 'a');
        const int y = 52 + 40 * ('8' - square[1]);
        if (frame->cbInvert->isChecked())
            return {frame->BoardLeft + 385 - x, 385 - y};
        return {frame->BoardLeft + x, y};
    }

    // Presses the piece at its centre, moves the mouse by `offset` and releases it.
    void drag(int slot, QPoint offset, Qt::MouseButton button = Qt::LeftButton) {
        PiecePicture* p = picture(slot);
        const QPoint grab(20, 20);
        QTest::mousePress(p, button, {}, grab);
        QTest::mouseMove(p, grab + offset);
        QTest::mouseRelease(p, button, {}, p->mapFromGlobal(p->mapToGlobal(grab)));
    }

    // Drags the piece of `slot` so that its centre ends on the centre of `square`.
    void move(int slot, const char* square) {
        const QPoint centre = picture(slot)->geometry().topLeft() + QPoint(20, 20);
        drag(slot, squareCentre(square) - centre);
    }

    // Sends one mouse event with the given buttons and keys, as the window system would.
    static void send(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                     Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
        QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, modifiers);
        QApplication::sendEvent(target, &event);
    }

    RecordingClipPlayer voice;
    ScriptedDialogs dialogs;
    std::unique_ptr<TFrame> frame;
};

} // namespace morvantide
