#pragma once

#include "app_test_seam.h"
#include "flat_button.h"
#include "main_window.h"
#include "morvantide/board_geometry.h"
#include "piece_picture.h"
#include "square_point.h"
#include "test_doubles.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <initializer_list>
#include <memory>
#include <utility>

namespace morvantide {

// A main window with stand-ins for the voice and the dialogs, and the moves a player makes
// with the mouse on its piece pictures.
class WindowDriver {
public:
    WindowDriver()
        : window((useOwnRuntimeFolder(), std::make_unique<MainWindow>(voice, dialogs))) {}

    // Each test program takes the single-instance lock in a runtime folder of its own, so
    // tests running side by side, or a copy of the program in use, never refuse each other.
    static void useOwnRuntimeFolder() {
        static QTemporaryDir folder;
        if (qgetenv("XDG_RUNTIME_DIR") != QFile::encodeName(folder.path()))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.path()));
    }

    // Shows the window and waits for its first activation, which plays the new game.
    bool start() {
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }

    // A control of the window, by its name.
    template <class T = QWidget> T* child(const QString& name) const {
        T* found = window->findChild<T*>(name);
        Q_ASSERT(found);
        return found;
    }
    PiecePicture* picture(int slot) const {
        return child<PiecePicture>(QStringLiteral("im%1").arg(slot));
    }
    bool flipped() const { return child<QCheckBox>(QStringLiteral("cbInvert"))->isChecked(); }
    // The side to move, as its turn label says ("Ход" under "Черные").
    bool blackToMove() const {
        return child<QLabel>(QStringLiteral("Label2"))->text() == QStringLiteral("Ход");
    }

    // The window point where the centre of `square` ("e4") is drawn, flipped or not.
    QPoint squareCentre(const char* square) const { return placeOf(square) + QPoint(20, 20); }
    // Where every picture stands, slot 1 first, and which of them are on the board.
    QList<QPoint> places() const {
        QList<QPoint> all;
        for (int slot = 1; slot <= 32; ++slot)
            all << picture(slot)->pos();
        return all;
    }
    QList<bool> shown() const {
        QList<bool> all;
        for (int slot = 1; slot <= 32; ++slot)
            all << picture(slot)->isVisible();
        return all;
    }
    // Where the picture of a piece on `square` stands.
    QPoint placeOf(const char* square) const {
        const BoardMetrics board{child(QStringLiteral("imBoard1"))->x()};
        const PicturePlace place = PicturePlaceFor(CentreOf(square), flipped(), board);
        return {place.left, place.top};
    }

    // Stands the listed pieces on their squares, every other one off the board, as after a
    // series of moves; for Black to move, White first plays e2-e4 from the new game.
    void arrange(std::initializer_list<std::pair<int, const char*>> pieces,
                 bool blackToMoveNext = false) {
        if (blackToMoveNext && !blackToMove())
            move(21, "e4");
        Position table;
        for (const auto& [slot, square] : pieces)
            table[Slot(slot)] = CentreOf(square);
        setUp(table);
        dialogs.messages.clear();
        voice.clips.clear();
    }

    // Sets a position up without playing up to it; the turn and the columns stay as they are.
    void setUp(const Position& position) { AppTestSeam::setUpPosition(*window, position); }

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
    std::unique_ptr<MainWindow> window;
};

} // namespace morvantide
